#include "configurator/picker_field.h"

#include <gtest/gtest.h>

namespace {

int Red(PickerColour c) {
  return c & 0xFF;
}
int Green(PickerColour c) {
  return (c >> 8) & 0xFF;
}
int Blue(PickerColour c) {
  return (c >> 16) & 0xFF;
}

TEST(PickerFieldTest, TheRedFieldRunsFromWhiteThroughGreyToTheRedAndDownToBlack) {
  PickerField field;
  field.Build(PickerRgb(255, 0, 0));
  EXPECT_EQ(field.Base(), PickerRgb(255, 0, 0));
  // Row 60 holds the base colour at its right end; its grey is 135.
  EXPECT_EQ(field.At(0, 60), PickerRgb(135, 134, 134));
  EXPECT_EQ(field.At(125, 60), PickerRgb(253, 3, 3));
  // The top row is white all along, the corners of the bottom row almost black.
  EXPECT_EQ(field.At(0, 0), PickerRgb(255, 255, 255));
  EXPECT_EQ(field.At(125, 0), PickerRgb(255, 255, 255));
  EXPECT_EQ(field.At(125, 119), PickerRgb(1, 1, 1));
  // Clicks map to entries from the field's top-left corner.
  EXPECT_EQ(field.AtPoint(331 + 125, 294 + 60), field.At(125, 60));
}

TEST(PickerFieldTest, RowColoursTruncateInTheDescribedOrder) {
  // With a black base, 255 - 4.25 * i: row 1 is 250 (250.75 truncated), not a rounded 251.
  const PickerColour black = PickerRgb(0, 0, 0);
  EXPECT_EQ(PickerRowColour(black, 1), PickerRgb(250, 250, 250));
  EXPECT_EQ(PickerRowColour(black, 12), PickerRgb(204, 204, 204));
  EXPECT_EQ(PickerRowColour(black, 60), PickerRgb(0, 0, 0));
  // Below row 60 the base colour fades to black (half of 253 is 126.5); row 119 is black
  // whatever the base.
  EXPECT_EQ(PickerRowColour(PickerRgb(0, 0, 253), 89), PickerRgb(0, 0, 126));
  EXPECT_EQ(PickerRowColour(PickerRgb(255, 255, 255), 119), black);
}

TEST(PickerFieldTest, TheLastRowFallsFromItsGreyToNearlyBlack) {
  PickerField field;
  field.Build(PickerRgb(10, 200, 90));
  EXPECT_EQ(PickerRowGrey(119), 17);
  for (int column : {0, 1, 7, 8, 64, 124, 125}) {
    SCOPED_TRACE(column);
    // 17 + trunc((column + 1) * -17 / 128), toward zero: 17 down to 1.
    const int expected = 17 - (column + 1) * 17 / 128;
    EXPECT_EQ(Red(field.At(column, 119)), expected);
    EXPECT_EQ(Green(field.At(column, 119)), expected);
    EXPECT_EQ(Blue(field.At(column, 119)), expected);
  }
  EXPECT_EQ(Red(field.At(0, 119)), 17);
  EXPECT_EQ(Red(field.At(125, 119)), 1);
  // The painted row starts one step left of column 0 with the plain grey.
  EXPECT_EQ(PickerShade(17, 0, 0), PickerRgb(17, 17, 17));
  EXPECT_EQ(PickerShade(17, 0, 1), field.At(0, 119));
}

TEST(PickerFieldTest, ClicksCountFromTheFieldsCornerToOneShortOfItsPaintedEdges) {
  EXPECT_TRUE(picker::Contains(331, 294));
  EXPECT_TRUE(picker::Contains(456, 410));
  EXPECT_FALSE(picker::Contains(457, 294));
  EXPECT_FALSE(picker::Contains(330, 300));
  EXPECT_FALSE(picker::Contains(400, 293));
  EXPECT_FALSE(picker::Contains(400, 411));
}

}  // namespace
