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

// Distinct names, so a wrong pick shows which file it was.
constexpr ImageFile Png(const char16_t* name) {
  return {SkinFolder::kButtons, name};
}
constexpr FaceFiles kTabFaces{Png(u"tab-1"), Png(u"tab-2"), Png(u"tab-3"), Png(u"tab-4")};
constexpr FaceFiles kPlainFaces{Png(u"plain-1"), Png(u"plain-2"), Png(u"plain-3"), Png(u"plain-4")};
constexpr ControlRow kPagedRows[] = {
    ButtonRow(1, {0, 0, 10, 10}, {kTabFaces}).InGroup(1),
    ButtonRow(2, {10, 0, 20, 10}, {kTabFaces}).InGroup(1),
    ButtonRow(3, {0, 20, 10, 30}, {kPlainFaces}).OnPages({1}).Disabled(),
    ButtonRow(4, {0, 40, 10, 50}, {SameFace(Png(u"page-2"))}).OnPages({2}),
    ButtonRow(5, {0, 60, 10, 70}, {kPlainFaces}).OnPages({1}).Ticked(),
    ButtonRow(6, {0, 80, 10, 90},
              {SameFace({SkinFolder::kButtons, u"turned", ImageTurn::kQuarter})}),
    SliderRow(7, {20, 0, 60, 10}, {.thumb = Png(u"thumb"), .track = Png(u"track")}).OnPages({1}),
};

TEST(ControlTables, TheFirstPaintsPicturesAreThoseOfTheFirstPageInTheStatesItStartsIn) {
  const auto names = [](const std::vector<ImageFile>& files) {
    std::vector<std::u16string> list;
    for (const ImageFile& file : files) list.emplace_back(file.file);
    return list;
  };
  // Sliders decode theirs as they are made, before any paint; each file once; a turned picture
  // is made from its upright one, not read.
  EXPECT_EQ(names(FirstPaintImages(kPagedRows, 1)),
            (std::vector<std::u16string>{u"thumb", u"track", u"tab-1", u"tab-3", u"plain-1",
                                         u"plain-4", u"plain-3"}));
  EXPECT_EQ(names(FirstPaintImages(kPagedRows, 2)),
            (std::vector<std::u16string>{u"tab-1", u"tab-3", u"page-2"}));
  EXPECT_EQ(names(FirstPaintImages(kPagedRows, 0)).size(), 8u);
}

}  // namespace
