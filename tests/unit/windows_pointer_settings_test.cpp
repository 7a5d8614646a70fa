// The pointer settings a profile gives Windows: double-click time, the acceleration table over
// the user's stored thresholds, the pointer speed, and what damaged inputs turn into.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "agent/windows_pointer_settings.h"

namespace {

constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();

ProfileRecord Profile(std::int32_t doubleClickSpeed, std::int32_t acceleration,
                      std::int32_t sensitivity) {
  ProfileRecord profile{};
  profile.DoubleClickSpeed = doubleClickSpeed;
  profile.Acceleration = acceleration;
  profile.MouseSensitivity = sensitivity;
  return profile;
}

StoredMouseTexts Stored(const char16_t* speed, const char16_t* threshold2,
                        const char16_t* threshold1) {
  StoredMouseTexts texts;
  if (speed) texts.Speed = speed;
  if (threshold2) texts.Threshold2 = threshold2;
  if (threshold1) texts.Threshold1 = threshold1;
  return texts;
}

TEST(DoubleClickTime, StepsOf70MillisecondsFrom900Down) {
  EXPECT_EQ(DoubleClickTimeOf(0), 900u);
  EXPECT_EQ(DoubleClickTimeOf(1), 830u);
  EXPECT_EQ(DoubleClickTimeOf(5), 550u);
  EXPECT_EQ(DoubleClickTimeOf(9), 270u);
  EXPECT_EQ(DoubleClickTimeOf(10), 200u);
}

TEST(DoubleClickTime, StepsOutsideTheRangeAreHeldAtTheNearerEnd) {
  // Unclamped, -1 would give 970 ms, 11 would give 130 ms, and 13 or more a time that wraps
  // around to billions of milliseconds once it is unsigned.
  EXPECT_EQ(DoubleClickTimeOf(-1), 900u);
  EXPECT_EQ(DoubleClickTimeOf(kIntMin), 900u);
  EXPECT_EQ(DoubleClickTimeOf(11), 200u);
  EXPECT_EQ(DoubleClickTimeOf(13), 200u);
  EXPECT_EQ(DoubleClickTimeOf(kIntMax), 200u);
}

TEST(AccelerationTable, EachStepReplacesItsValuesAndKeepsTheRest) {
  const MouseAcceleration stored{6, 10, 1};
  EXPECT_EQ(MouseAccelerationFor(1, stored), (MouseAcceleration{6, 10, 0}));
  EXPECT_EQ(MouseAccelerationFor(2, stored), (MouseAcceleration{8, 10, 1}));
  EXPECT_EQ(MouseAccelerationFor(3, stored), (MouseAcceleration{4, 10, 1}));
  EXPECT_EQ(MouseAccelerationFor(4, stored), (MouseAcceleration{2, 8, 2}));

  const MouseAcceleration other{3, 17, 2};
  EXPECT_EQ(MouseAccelerationFor(1, other), (MouseAcceleration{3, 17, 0}));
  EXPECT_EQ(MouseAccelerationFor(2, other), (MouseAcceleration{8, 17, 1}));
  EXPECT_EQ(MouseAccelerationFor(3, other), (MouseAcceleration{4, 17, 1}));
  EXPECT_EQ(MouseAccelerationFor(4, other), (MouseAcceleration{2, 8, 2}));
}

TEST(AccelerationTable, AnyOtherStepKeepsEveryStoredValue) {
  const MouseAcceleration stored{3, 17, 2};
  for (std::int32_t step : {0, 5, -1, 100, kIntMin, kIntMax}) {
    EXPECT_EQ(MouseAccelerationFor(step, stored), stored) << step;
  }
}

TEST(StoredMouseTexts, ReadLikeTheWideStringConversion) {
  EXPECT_EQ(StoredMouseAccelerationOf(Stored(u"1", u"10", u"6")), (MouseAcceleration{6, 10, 1}));
  EXPECT_EQ(StoredMouseAccelerationOf(Stored(u" 2", u"+12", u"\t4")),
            (MouseAcceleration{4, 12, 2}));
  // Digits followed by anything else end at the first non-digit.
  EXPECT_EQ(StoredMouseAccelerationOf(Stored(u"2x", u"12 px", u"4.5")),
            (MouseAcceleration{4, 12, 2}));
}

TEST(StoredMouseTexts, MissingGarbageAndOutOfRangeValuesReadAsZero) {
  // Missing: absent values, and texts too long for the buffer, which the key reports as failed.
  EXPECT_EQ(StoredMouseAccelerationOf(StoredMouseTexts{}), (MouseAcceleration{0, 0, 0}));
  EXPECT_EQ(StoredMouseAccelerationOf(Stored(u"", u"", u"")), (MouseAcceleration{0, 0, 0}));
  EXPECT_EQ(StoredMouseAccelerationOf(Stored(u"fast", u"ten", u"-")), (MouseAcceleration{0, 0, 0}));
  // Levels are 0..2 and thresholds are not negative.
  EXPECT_EQ(StoredMouseAccelerationOf(Stored(u"3", u"-10", u"-6")), (MouseAcceleration{0, 0, 0}));
  EXPECT_EQ(StoredMouseAccelerationOf(Stored(u"-1", u"10", u"6")), (MouseAcceleration{6, 10, 0}));
  // Each value stands on its own: one bad value does not spoil the others.
  EXPECT_EQ(StoredMouseAccelerationOf(Stored(u"1", nullptr, u"6")), (MouseAcceleration{6, 0, 1}));
  EXPECT_EQ(StoredMouseAccelerationOf(Stored(u"2", u"10", u"x")), (MouseAcceleration{0, 10, 2}));
  // A number beyond 32 bits is held at the limit, as the C library's conversion does.
  EXPECT_EQ(StoredMouseAccelerationOf(Stored(u"0", u"99999999999", u"0")).Threshold2, kIntMax);
}

TEST(PointerSpeed, IsHeldWithinWhatWindowsAccepts) {
  EXPECT_EQ(PointerSpeedFor(1), 1);
  EXPECT_EQ(PointerSpeedFor(10), 10);
  EXPECT_EQ(PointerSpeedFor(20), 20);
  EXPECT_EQ(PointerSpeedFor(0), 1);
  EXPECT_EQ(PointerSpeedFor(-7), 1);
  EXPECT_EQ(PointerSpeedFor(21), 20);
  EXPECT_EQ(PointerSpeedFor(kIntMax), 20);
}

TEST(WindowsPointerSettings, TheProfileAndTheStoredThresholdsTogether) {
  const StoredMouseTexts stored = Stored(u"1", u"10", u"6");
  WindowsPointerSettings s = WindowsPointerSettingsFor(Profile(5, 1, 20), stored);
  EXPECT_EQ(s.DoubleClickTimeMs, 550u);
  EXPECT_EQ(s.Mouse, (MouseAcceleration{6, 10, 0}));
  EXPECT_EQ(s.PointerSpeed, 20);

  // The fastest step ignores the registry, even where it holds rubbish or nothing.
  for (const StoredMouseTexts& anything :
       {stored, StoredMouseTexts{}, Stored(u"9", u"-1", u"junk")}) {
    s = WindowsPointerSettingsFor(Profile(0, 4, 1), anything);
    EXPECT_EQ(s.Mouse, (MouseAcceleration{2, 8, 2}));
    EXPECT_EQ(s.DoubleClickTimeMs, 900u);
    EXPECT_EQ(s.PointerSpeed, 1);
  }

  // A damaged profile: every value held in range, the stored thresholds applied as they are.
  s = WindowsPointerSettingsFor(Profile(-40, 0, 0), Stored(u"2", u"12", u"3"));
  EXPECT_EQ(s.DoubleClickTimeMs, 900u);
  EXPECT_EQ(s.Mouse, (MouseAcceleration{3, 12, 2}));
  EXPECT_EQ(s.PointerSpeed, 1);
}

}  // namespace
