#include "agent/pc_operation.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace {

TEST(PcOperationTest, EveryReportedCodeHasItsOwnOperation) {
  const std::vector<std::pair<std::uint8_t, PcOperation>> table = {
      {0x11, PcOperation::kCut},
      {0x12, PcOperation::kCopy},
      {0x13, PcOperation::kPaste},
      {0x14, PcOperation::kSelectAll},
      {0x15, PcOperation::kFind},
      {0x16, PcOperation::kNewDocument},
      {0x17, PcOperation::kPrint},
      {0x18, PcOperation::kSave},
      {0x19, PcOperation::kSwitchWindow},
      {0x1A, PcOperation::kCloseWindow},
      {0x1B, PcOperation::kOpenFileExplorer},
      {0x1C, PcOperation::kOpenRunDialog},
      {0x1D, PcOperation::kShowDesktop},
      {0x1E, PcOperation::kRunLockCommand},
      {0x1F, PcOperation::kOpenBrowserHome},
      {0x20, PcOperation::kBrowserBack},
      {0x21, PcOperation::kBrowserForward},
      {0x22, PcOperation::kBrowserStop},
      {0x23, PcOperation::kBrowserRefresh},
      {0x24, PcOperation::kSearch},
      {0x25, PcOperation::kBrowserFavourites},
      {0x26, PcOperation::kOpenMailClient},
  };
  std::set<PcOperation> seen;
  for (const auto& [code, operation] : table) {
    const std::optional<PcOperation> found = PcOperationForCode(code);
    ASSERT_TRUE(found.has_value()) << "code " << int{code};
    EXPECT_EQ(*found, operation) << "code " << int{code};
    seen.insert(*found);
  }
  EXPECT_EQ(seen.size(), 22u);
}

TEST(PcOperationTest, CodesOutsideTheFunctionRangeHaveNone) {
  for (int code : {0x00, 0x01, 0x0F, 0x10, 0x27, 0x28, 0x7F, 0xFF}) {
    EXPECT_FALSE(PcOperationForCode(static_cast<std::uint8_t>(code)).has_value()) << code;
  }
}

}  // namespace
