// Image slider arithmetic: the vertical 181-pixel bar with a 21-pixel thumb and range 1-11,
// out-of-range values, and sliders that cannot move.
#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "skin/core/slider_math.h"

namespace {

// Track 0-181, thumb 21, range 1-11: step 18, thumb positions 0, 16, 32 ... 160.
constexpr SliderTrack kTrack{0, 181, 21, 1, 11};

TEST(SliderMath, ValuesPutTheThumbOnSixteenPixelSteps) {
  EXPECT_EQ(SliderPositionForValue(kTrack, 1), 0);
  EXPECT_EQ(SliderPositionForValue(kTrack, 2), 16);
  EXPECT_EQ(SliderPositionForValue(kTrack, 6), 80);
  EXPECT_EQ(SliderPositionForValue(kTrack, 11), 160);
  // A track that does not start at 0 shifts every position.
  SliderTrack shifted = kTrack;
  shifted.trackStart = 10;
  shifted.trackEnd = 191;
  EXPECT_EQ(SliderPositionForValue(shifted, 6), 90);
}

TEST(SliderMath, OutOfRangeValuesShowTheMinimum) {
  for (int value : {0, -1, 12, INT_MAX, INT_MIN}) {
    EXPECT_EQ(SliderValueInRange(value, 1, 11), 1) << value;
    EXPECT_EQ(SliderPositionForValue(kTrack, value), 0) << value;
  }
  EXPECT_EQ(SliderValueInRange(11, 1, 11), 11);
  EXPECT_EQ(SliderValueInRange(1, 1, 11), 1);
}

TEST(SliderMath, ReleasePositionsRoundToTheNearerStep) {
  EXPECT_EQ(SliderValueForPosition(kTrack, 0), 1);
  EXPECT_EQ(SliderValueForPosition(kTrack, 9), 1);
  EXPECT_EQ(SliderValueForPosition(kTrack, 10), 2);
  EXPECT_EQ(SliderValueForPosition(kTrack, 95), 6);
  EXPECT_EQ(SliderValueForPosition(kTrack, 96), 7);
  EXPECT_EQ(SliderValueForPosition(kTrack, 160), 11);
}

// A thumb released where a value put it reports that value, and moving the thumb down the track
// never reports a smaller value: for every bar, thumb and range the configurator uses.
TEST(SliderMath, EveryValueSurvivesARoundTripAndReleasesNeverGoBackwards) {
  struct Bar {
    int length;
    int maximum;
  };
  for (const Bar bar :
       {Bar{181, 11}, Bar{181, 75}, Bar{210, 4}, Bar{210, 10}, Bar{210, 20}, Bar{210, 63}}) {
    for (int thumb = 3; thumb <= 30; ++thumb) {
      const SliderTrack track{0, bar.length, thumb, 1, bar.maximum};
      for (int v = track.minimum; v <= track.maximum; ++v) {
        EXPECT_EQ(SliderValueForPosition(track, SliderPositionForValue(track, v)), v)
            << "bar " << bar.length << " thumb " << thumb << " range " << bar.maximum;
      }
      int previous = track.minimum;
      for (int p = track.trackStart; p <= track.trackEnd - track.thumbSize; ++p) {
        const std::optional<int> v = SliderValueForPosition(track, p);
        ASSERT_TRUE(v.has_value());
        EXPECT_GE(*v, previous) << "bar " << bar.length << " thumb " << thumb << " at " << p;
        EXPECT_LE(*v, track.maximum);
        previous = *v;
      }
      EXPECT_EQ(previous, track.maximum);
    }
  }
}

TEST(SliderMath, BarClicks) {
  EXPECT_EQ(SliderValueForBarClick(9, 0, 181, 1, 11), 1);
  EXPECT_EQ(SliderValueForBarClick(10, 0, 181, 1, 11), 2);
  EXPECT_EQ(SliderValueForBarClick(99, 0, 181, 1, 11), 6);
  EXPECT_EQ(SliderValueForBarClick(100, 0, 181, 1, 11), 7);
  EXPECT_EQ(SliderValueForBarClick(180, 0, 181, 1, 11), 11);
  // In parent coordinates: the same bar placed at 258.
  EXPECT_EQ(SliderValueForBarClick(258 + 100, 258, 258 + 181, 1, 11), 7);
  // Clicks outside the bar (a release after the pointer left it) stay in range.
  EXPECT_EQ(SliderValueForBarClick(-50, 0, 181, 1, 11), 1);
  EXPECT_EQ(SliderValueForBarClick(500, 0, 181, 1, 11), 11);
}

TEST(SliderMath, DraggedThumbStopsAtTheEnds) {
  EXPECT_EQ(ClampThumbPosition(kTrack, -40), 0);
  EXPECT_EQ(ClampThumbPosition(kTrack, 77), 77);
  EXPECT_EQ(ClampThumbPosition(kTrack, 160), 160);
  EXPECT_EQ(ClampThumbPosition(kTrack, 161), 160);
  EXPECT_EQ(ClampThumbPosition(kTrack, 900), 160);
}

TEST(SliderMath, EmptyRangeOrShortTrackShowsTheMinimumAndReportsNothing) {
  const SliderTrack emptyRange{0, 181, 21, 5, 5};
  EXPECT_FALSE(SliderIsUsable(emptyRange));
  EXPECT_EQ(SliderPositionForValue(emptyRange, 5), 0);
  EXPECT_EQ(SliderValueForPosition(emptyRange, 50), std::nullopt);
  EXPECT_EQ(SliderValueForBarClick(50, 0, 181, 5, 5), std::nullopt);

  const SliderTrack reversed{0, 181, 21, 11, 1};
  EXPECT_EQ(SliderValueForPosition(reversed, 50), std::nullopt);
  EXPECT_EQ(SliderValueForBarClick(50, 0, 181, 11, 1), std::nullopt);

  for (int length : {21, 20, 0}) {
    const SliderTrack shortTrack{0, length, 21, 1, 11};
    EXPECT_FALSE(SliderIsUsable(shortTrack)) << length;
    EXPECT_EQ(SliderPositionForValue(shortTrack, 6), 0);
    EXPECT_EQ(SliderValueForPosition(shortTrack, 0), std::nullopt);
    EXPECT_EQ(ClampThumbPosition(shortTrack, 5), 0);
  }
  EXPECT_EQ(SliderValueForBarClick(0, 10, 10, 1, 11), std::nullopt);
}

TEST(SliderMath, WideRangesDoNotOverflow) {
  const SliderTrack wide{0, 2000000000, 10, INT_MIN, INT_MAX};
  EXPECT_EQ(SliderPositionForValue(wide, INT_MIN), 0);
  EXPECT_EQ(SliderPositionForValue(wide, INT_MAX), 2000000000 - 10);
  EXPECT_EQ(SliderValueForPosition(wide, 2000000000 - 10), INT_MAX);
  EXPECT_EQ(SliderValueForBarClick(2000000000, 0, 2000000000, INT_MIN, INT_MAX), INT_MAX);
}

}  // namespace
