// Rows of the owner-drawn list: icons and text positions by row data, the delay rows it edits
// in place, the number parsing of the editor, and the macro list's panel texture.
#include <gtest/gtest.h>

#include <climits>

#include "skin/core/list_rows.h"

namespace {

TEST(ListRows, RowDataChoosesIconAndTextPosition) {
  EXPECT_EQ(IconOfRowData(0), ListRowIcon::kNone);
  EXPECT_EQ(IconOfRowData(1), ListRowIcon::kBlankCell);
  EXPECT_EQ(IconOfRowData(137), ListRowIcon::kRelease);
  EXPECT_EQ(IconOfRowData(138), ListRowIcon::kPress);
  EXPECT_EQ(IconOfRowData(139), ListRowIcon::kResourceBitmap);
  // A blank icon cell still moves the text past the icon column.
  EXPECT_EQ(RowTextOffset(1, false), 32);
  EXPECT_EQ(RowTextOffset(138, true), 16);
  EXPECT_EQ(RowTextOffset(0, false), 8);
  EXPECT_EQ(RowTextOffset(0, true), 0);
}

TEST(ListRows, OnlyRowsWithoutIconsAreDelayRows) {
  EXPECT_TRUE(IsDelayRow(0));
  EXPECT_FALSE(IsDelayRow(137));
  EXPECT_FALSE(IsDelayRow(138));
  EXPECT_FALSE(IsDelayRow(1));
}

TEST(ListRows, DelayRowTextIsFortySixSpacesAndTheValue) {
  const std::u16string text = DelayRowText(250);
  EXPECT_EQ(text, std::u16string(46, u' ') + u"250");
  EXPECT_EQ(NumberAfterLastSpace(text), 250);
  EXPECT_EQ(NumberAfterLastSpace(DelayRowText(0)), 0);
  EXPECT_EQ(NumberAfterLastSpace(DelayRowText(-5)), -5);
}

TEST(ListRows, NumberAfterLastSpaceReadsOnlyTheLastWord) {
  EXPECT_EQ(NumberAfterLastSpace(u"               Left Shift"), 0);
  EXPECT_EQ(NumberAfterLastSpace(u"a 12 34"), 34);
  EXPECT_EQ(NumberAfterLastSpace(u"120"), 120);
  EXPECT_EQ(NumberAfterLastSpace(u"x 120ms"), 120);
  EXPECT_EQ(NumberAfterLastSpace(u"trailing "), 0);
  EXPECT_EQ(NumberAfterLastSpace(u""), 0);
}

TEST(ListRows, ParseDecimalStopsAtTheFirstOtherCharacterAndStaysInRange) {
  EXPECT_EQ(ParseDecimal(u"  42"), 42);
  EXPECT_EQ(ParseDecimal(u"+7x"), 7);
  EXPECT_EQ(ParseDecimal(u"-00310"), -310);
  EXPECT_EQ(ParseDecimal(u"abc"), 0);
  EXPECT_EQ(ParseDecimal(u"-"), 0);
  EXPECT_EQ(ParseDecimal(u"99999999999999999999"), INT_MAX);
  EXPECT_EQ(ParseDecimal(u"-99999999999999999999"), INT_MIN);
  EXPECT_EQ(ParseDecimal(u"2147483647"), INT_MAX);
}

TEST(ListRows, PanelTextureIsFlatGreyInADarkFrame) {
  const auto pixels = PanelTexturePixels();
  ASSERT_EQ(pixels.size(), static_cast<size_t>(kPanelWidth * kPanelHeight));
  auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y * kPanelWidth + x)]; };
  EXPECT_EQ(at(kPanelWidth / 2, kPanelHeight / 2), 0x555454u);
  EXPECT_EQ(at(2, 1), 0x555454u);
  EXPECT_EQ(at(kPanelWidth - 3, kPanelHeight - 2), 0x555454u);
  EXPECT_EQ(at(50, 0), 0x151515u);
  EXPECT_EQ(at(50, kPanelHeight - 1), 0x070707u);
  for (int y = 1; y < kPanelHeight - 1; ++y) {
    for (int x : {0, 1, kPanelWidth - 2, kPanelWidth - 1}) {
      const std::uint32_t c = at(x, y);
      const int r = static_cast<int>(c >> 16), g = static_cast<int>((c >> 8) & 0xFF),
                b = static_cast<int>(c & 0xFF);
      ASSERT_TRUE(r == g && g == b && r >= 3 && r <= 21) << x << "," << y;
    }
  }
}

}  // namespace
