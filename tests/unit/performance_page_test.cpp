#include "configurator/performance_page.h"

#include <gtest/gtest.h>

#include <cstring>

#include "configurator/tuner_ids.h"

namespace {

ProfileRecord DefaultRecord() {
  ProfileSet set{};
  ResetProfileSet(set);
  ValidateProfileSet(set, set);
  return set.Profiles[0];
}

TEST(PollingButtonsTest, EachButtonShowsItsRateAndOtherCodesFallBackDifferently) {
  for (int button = 0; button < kPollingButtonCount; ++button) {
    EXPECT_EQ(PollingButtonOfRate(PollingRateOfButton(button)), button);
  }
  EXPECT_EQ(PollingRateOfButton(0), 8);
  EXPECT_EQ(PollingRateOfButton(3), 1);
  // A profile's unknown code shows the second button and stays as it is.
  EXPECT_EQ(PollingButtonOfRate(3), 1);
  EXPECT_EQ(PollingButtonOfRate(0), 1);
  // The mouse reporting an unknown code stores 2, shown by the third button.
  EXPECT_EQ(PollingRateReported(3).Rate, 2);
  EXPECT_EQ(PollingRateReported(3).Button, 2);
  EXPECT_EQ(PollingRateReported(4).Rate, 4);
  EXPECT_EQ(PollingRateReported(4).Button, 1);
}

TEST(ResolutionSlidersTest, TheTopOfASliderIsTheHighestResolution) {
  ProfileRecord record = DefaultRecord();
  const DpiStage before = record.DpiStages[2];
  SliderChange change = ApplySliderValue(record, tuner_id::kFirstLinkedSlider + 1, 1);
  EXPECT_EQ(change.What, SliderChange::kStage);
  EXPECT_EQ(change.Stage, 1);
  EXPECT_TRUE(change.X && change.Y);
  EXPECT_EQ(record.DpiStages[1].X, 75);
  EXPECT_EQ(record.DpiStages[1].Y, 75);
  EXPECT_EQ(DotsPerInchText(record.DpiStages[1].X), u"10000");
  EXPECT_EQ(DotsPerInchText(ResolutionOfSliderValue(2)), u"9800");
  EXPECT_EQ(DotsPerInchText(ResolutionOfSliderValue(26)), u"5000");
  EXPECT_EQ(DotsPerInchText(ResolutionOfSliderValue(25)), u"5200");

  // The separate sliders move one axis each.
  change = ApplySliderValue(record, tuner_id::kFirstXSlider + 2, 46);
  EXPECT_TRUE(change.X && !change.Y);
  EXPECT_EQ(record.DpiStages[2].X, 30);
  EXPECT_EQ(record.DpiStages[2].Y, before.Y);
  change = ApplySliderValue(record, tuner_id::kFirstYSlider + 4, 75);
  EXPECT_TRUE(!change.X && change.Y);
  EXPECT_EQ(record.DpiStages[4].Y, 1);

  // Shown back: values outside 1-75 sit at the top.
  EXPECT_EQ(SliderValueOfResolution(75), 1);
  EXPECT_EQ(SliderValueOfResolution(1), 75);
  EXPECT_EQ(SliderValueOfResolution(0), 1);
  EXPECT_EQ(SliderValueOfResolution(80), 1);
}

TEST(ResolutionSlidersTest, PointerSlidersStoreTheirFieldAndForeignValuesChangeNothing) {
  ProfileRecord record = DefaultRecord();
  EXPECT_EQ(ApplySliderValue(record, tuner_id::kWheelLinesSlider, 63).What, SliderChange::kPointer);
  EXPECT_EQ(record.WheelScrollLines, 63);
  EXPECT_EQ(ApplySliderValue(record, tuner_id::kAccelerationSlider, 4).What,
            SliderChange::kPointer);
  EXPECT_EQ(record.Acceleration, 4);
  EXPECT_EQ(ApplySliderValue(record, tuner_id::kDoubleClickSlider, 1).What, SliderChange::kPointer);
  EXPECT_EQ(record.DoubleClickSpeed, 1);

  // A value the slider cannot give (another program's message) and unknown ids do nothing.
  const ProfileRecord kept = record;
  EXPECT_EQ(ApplySliderValue(record, tuner_id::kPointerSpeedSlider, 21).What, SliderChange::kNone);
  EXPECT_EQ(ApplySliderValue(record, tuner_id::kFirstLinkedSlider, 0).What, SliderChange::kNone);
  EXPECT_EQ(ApplySliderValue(record, tuner_id::kFirstLinkedSlider, 76).What, SliderChange::kNone);
  EXPECT_EQ(ApplySliderValue(record, tuner_id::kFirstLinkedSlider + 5, 10).What,
            SliderChange::kNone);
  EXPECT_EQ(ApplySliderValue(record, 10003, 2).What, SliderChange::kNone);
  EXPECT_EQ(std::memcmp(&kept, &record, sizeof record), 0);
}

TEST(StageGuardTest, TheLastEnabledStageRefusesToBeSwitchedOff) {
  ProfileRecord record = DefaultRecord();
  for (int s = 0; s < 3; ++s) EXPECT_TRUE(SetStageEnabled(record, s, false));
  // Three off: the fourth may still go.
  EXPECT_TRUE(SetStageEnabled(record, 3, false));
  EXPECT_EQ(record.DpiStages[3].Enabled, 0);
  // Four off: the remaining one stays on.
  EXPECT_FALSE(SetStageEnabled(record, 4, false));
  EXPECT_EQ(record.DpiStages[4].Enabled, 1);
  // The sixth stage is not in the cycle and does not count.
  record.DpiStages[5].Enabled = 1;
  EXPECT_FALSE(SetStageEnabled(record, 4, false));
  // Switching on is always allowed.
  EXPECT_TRUE(SetStageEnabled(record, 0, true));
  EXPECT_EQ(record.DpiStages[0].Enabled, 1);
  EXPECT_TRUE(SetStageEnabled(record, 4, false));
}

}  // namespace
