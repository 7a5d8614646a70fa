// Fill bar arithmetic: the fill width of a position and the position under the pointer.
#include <gtest/gtest.h>

#include <climits>

#include "skin/core/marker_math.h"

namespace {

TEST(MarkerMath, FillWidthOfAThreeHundredPixelBar) {
  EXPECT_EQ(MarkerFillWidth(0, 300, 0, 0, 100), 0);
  EXPECT_EQ(MarkerFillWidth(0, 300, 50, 0, 100), 150);
  EXPECT_EQ(MarkerFillWidth(0, 300, 100, 0, 100), 300);
  EXPECT_EQ(MarkerFillWidth(0, 300, 33, 0, 100), 99);
  // The bar's place in the parent does not matter, only its width.
  EXPECT_EQ(MarkerFillWidth(40, 340, 50, 0, 100), 150);
  // A range that does not start at 0.
  EXPECT_EQ(MarkerFillWidth(0, 300, 15, 10, 20), 150);
}

TEST(MarkerMath, OutOfRangePositionsShowTheMinimum) {
  EXPECT_EQ(MarkerPositionInRange(150, 0, 100), 0);
  EXPECT_EQ(MarkerPositionInRange(-1, 0, 100), 0);
  EXPECT_EQ(MarkerPositionInRange(100, 0, 100), 100);
  EXPECT_EQ(MarkerFillWidth(0, 300, 150, 0, 100), 0);
  EXPECT_EQ(MarkerFillWidth(0, 300, -5, 0, 100), 0);
}

TEST(MarkerMath, EmptyRangeOrBarShowsTheMinimum) {
  EXPECT_EQ(MarkerFillWidth(0, 300, 7, 7, 7), 0);
  EXPECT_EQ(MarkerFillWidth(0, 300, 7, 9, 3), 0);
  EXPECT_EQ(MarkerFillWidth(10, 10, 5, 0, 10), 0);
  EXPECT_EQ(MarkerPositionForPointer(200, 0, 300, 7, 7), 7);
  EXPECT_EQ(MarkerPositionForPointer(200, 10, 10, 0, 10), 0);
}

TEST(MarkerMath, PointerPositions) {
  // Bar from 20 to 320 in the parent, range 0-100.
  EXPECT_EQ(MarkerPositionForPointer(20, 20, 320, 0, 100), 0);
  EXPECT_EQ(MarkerPositionForPointer(170, 20, 320, 0, 100), 50);
  EXPECT_EQ(MarkerPositionForPointer(320, 20, 320, 0, 100), 100);
  EXPECT_EQ(MarkerPositionForPointer(22, 20, 320, 0, 100), 0);
  EXPECT_EQ(MarkerPositionForPointer(23, 20, 320, 0, 100), 1);
  // Left of the bar counts as its left edge; past its right end as the maximum.
  EXPECT_EQ(MarkerPositionForPointer(-500, 20, 320, 0, 100), 0);
  EXPECT_EQ(MarkerPositionForPointer(1000, 20, 320, 0, 100), 100);
  EXPECT_EQ(MarkerPositionForPointer(INT_MAX, 20, 320, 0, 100), 100);
  EXPECT_EQ(MarkerPositionForPointer(INT_MIN, 20, 320, 5, 15), 5);
}

}  // namespace
