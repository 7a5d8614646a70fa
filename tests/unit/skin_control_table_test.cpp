// The control tables the windows are built from: each table of the programs is consistent, and
// the check finds what a mistyped row gets wrong.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/core/control_table.h"
#include "tools/layout_dump/all_layouts.h"

namespace {

TEST(ControlTables, EveryWindowsTableIsConsistent) {
  for (const WindowLayout* layout : kAllLayouts) {
    SCOPED_TRACE(layout->name);
    EXPECT_FALSE(layout->controls.empty());
    EXPECT_EQ(LayoutProblems(*layout), std::vector<std::string>{});
  }
}

constexpr ButtonStyle kButton{};
constexpr ControlRow kFaultyRows[] = {
    ButtonRow(1, {0, 0, 10, 10}, kButton).InGroup(1),
    ButtonRow(1, {10, 0, 20, 10}, kButton).InGroup(1),   // the same id again
    ButtonRow(2, {90, 90, 120, 100}, kButton),           // beyond the right edge
    ButtonRow(3, {20, 20, 20, 30}, kButton).InGroup(2),  // empty, and alone in its group
    LabelRow(4, {0, 40, 50, 50}, FixedText(u"x")).InGroup(1),
    SliderRow(5, {0, 60, 50, 70}, {.minimum = 75, .maximum = 1}),
    MarkerRow(0, {}, {}).FillingClient(),  // no place needed, but an id
};

TEST(ControlTables, TheCheckFindsWhatAMistypedRowGetsWrong) {
  const WindowLayout layout{.name = "faulty", .width = 100, .height = 100, .controls = kFaultyRows};
  EXPECT_EQ(LayoutProblems(layout), (std::vector<std::string>{
                                        "control 1: the id is used twice",
                                        "control 2: the place lies outside the window",
                                        "control 3: the place is empty",
                                        "control 4: only buttons form radio groups",
                                        "control 5: the slider's range runs backwards",
                                        "control 0: the id is not positive",
                                        "group 2: a single button",
                                    }));
}

}  // namespace
