#include "settings/profile_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>

#include "tests/unit/support/sample_profiles.h"

namespace {

bool SameBytes(const void* a, const void* b, std::size_t size) {
  return std::memcmp(a, b, size) == 0;
}

ProfileSet ResetSet() {
  ProfileSet set;
  std::memset(&set, 0x5A, sizeof set);  // reset must not depend on the memory it starts from
  ResetProfileSet(set);
  return set;
}

ProfileSet ValidatedResetSet() {
  ProfileSet source = ResetSet();
  ProfileSet target;
  ValidateProfileSet(target, source);
  return target;
}

TEST(ProfileSetReset, GivesTheUnloadedState) {
  const ProfileSet set = ResetSet();
  EXPECT_EQ(set.CurrentProfile, -1);
  for (const ProfileRecord& r : set.Profiles) {
    for (std::int32_t v : {r.Group,
                           r.PollingRate,
                           r.DoubleClickSpeed,
                           r.WheelScrollLines,
                           r.UniversalScrollEnabled,
                           r.MouseSensitivity,
                           r.Acceleration,
                           r.XYSensitivityEnabled,
                           r.OFASensitivity,
                           r.MouseSpeedX,
                           r.MouseSpeedY,
                           r.LedState1,
                           r.BreathState1,
                           r.FlashState1,
                           r.ANGLE,
                           r.LIFT,
                           r.DPI,
                           r.DPICurrentX,
                           r.DPICurrentY,
                           r.DPIStageNum}) {
      EXPECT_EQ(v, -1);
    }
    EXPECT_EQ(r.LedMode1, 0);
    for (int c = 0; c < kLedModeCount; ++c) EXPECT_EQ(r.LedColor[c], -1);
    const DpiStage zeroStages[kDpiStageCount] = {};
    const LedLevelEntry zeroLevels[kLedLevelCount] = {};
    EXPECT_TRUE(SameBytes(r.DpiStages, zeroStages, sizeof zeroStages));
    EXPECT_TRUE(SameBytes(r.LedLevels, zeroLevels, sizeof zeroLevels));
    for (int b = 0; b < kButtonCount; ++b) {
      const ButtonAssignment& button = r.Buttons[b];
      EXPECT_EQ(button.ButtonID, b + 1);
      EXPECT_EQ(button.ButtonFunc, 0xFF);
      EXPECT_EQ(button.LoopNumber, 1);
      EXPECT_EQ(button.KeyNumber, 0);
      const std::uint8_t zeroBlock[kKeyBlockSize] = {};
      EXPECT_TRUE(SameBytes(button.KeyBlock, zeroBlock, kKeyBlockSize));
      const char16_t zeroName[kMacroNameUnits] = {};
      EXPECT_TRUE(SameBytes(&button.MacroName, zeroName, sizeof zeroName));
    }
  }
}

TEST(ProfileSetValidation, OfAResetSetGivesTheDocumentedTable) {
  ProfileSet source = ResetSet();
  ProfileSet target;
  EXPECT_TRUE(ValidateProfileSet(target, source));
  EXPECT_EQ(target.CurrentProfile, 0);

  const std::int32_t colours[kProfileCount] = {0xFF, 0xFF0000, 0xFF00, 0xFF00FF, 0xFFFF};
  const DpiStage stages[kDpiStageCount] = {{1, 5, 5, 1},   {1, 10, 10, 1}, {1, 20, 20, 1},
                                           {1, 30, 30, 1}, {1, 50, 50, 1}, {1, 0, 0, 1}};
  const std::uint8_t functions[kButtonCount] = {1, 2, 3, 6, 6, 6, 0x30, 0x31, 0x34, 0x35};
  for (int p = 0; p < kProfileCount; ++p) {
    SCOPED_TRACE(p);
    const ProfileRecord& r = target.Profiles[p];
    EXPECT_EQ(r.Group, p == 0 ? 1 : 0);
    EXPECT_EQ(r.PollingRate, 2);
    EXPECT_EQ(r.MouseSensitivity, 10);
    EXPECT_EQ(r.DoubleClickSpeed, 5);
    EXPECT_EQ(r.WheelScrollLines, 1);
    EXPECT_EQ(r.Acceleration, 1);
    EXPECT_EQ(r.UniversalScrollEnabled, 0);
    EXPECT_EQ(r.XYSensitivityEnabled, 0);
    EXPECT_EQ(r.OFASensitivity, 10);
    EXPECT_EQ(r.MouseSpeedX, 10);
    EXPECT_EQ(r.MouseSpeedY, 10);
    EXPECT_EQ(r.LedState1, 2);
    EXPECT_EQ(r.BreathState1, 8);
    EXPECT_EQ(r.FlashState1, 5);
    for (int c = 0; c < kLedModeCount; ++c) EXPECT_EQ(r.LedColor[c], colours[p]);
    EXPECT_EQ(r.DPI, p);
    EXPECT_EQ(r.ANGLE, 0);
    EXPECT_EQ(r.LIFT, 3);
    EXPECT_EQ(r.DPICurrentX, 14);
    EXPECT_EQ(r.DPICurrentY, 14);
    EXPECT_EQ(r.DPIStageNum, 5);
    EXPECT_TRUE(SameBytes(r.DpiStages, stages, sizeof stages));
    for (int b = 0; b < kButtonCount; ++b) EXPECT_EQ(r.Buttons[b].ButtonFunc, functions[b]);
    EXPECT_EQ(r.LedMode1, 0);
    const LedLevelEntry zeroLevels[kLedLevelCount] = {};
    EXPECT_TRUE(SameBytes(r.LedLevels, zeroLevels, sizeof zeroLevels));
  }
  // The source is only read.
  const ProfileSet freshReset = ResetSet();
  EXPECT_TRUE(SameBytes(&source, &freshReset, sizeof source));
}

struct FieldCase {
  const char* field;
  std::function<void(ProfileRecord&, std::int32_t)> set;
  std::function<std::int32_t(const ProfileRecord&)> get;
  std::int32_t input;
  std::int32_t expected;
};

#define FIELD(name)                                                     \
#name, [](ProfileRecord & r,                                          \
            std::int32_t v) { r.name = v; }, [](const ProfileRecord& r) \
                                                  -> std::int32_t { return r.name; }

TEST(ProfileSetValidation, KeepsBoundsAndReplacesWhatLiesOutside) {
  const FieldCase cases[] = {
      {FIELD(PollingRate), -1, 2},
      {FIELD(PollingRate), 0, 0},
      {FIELD(PollingRate), 8, 8},
      {FIELD(PollingRate), 9, 2},
      {FIELD(MouseSensitivity), 0, 10},
      {FIELD(MouseSensitivity), 1, 1},
      {FIELD(MouseSensitivity), 20, 20},
      {FIELD(MouseSensitivity), 21, 10},
      {FIELD(OFASensitivity), -1, 10},
      {FIELD(OFASensitivity), 0, 0},
      {FIELD(OFASensitivity), 11, 10},
      {FIELD(MouseSpeedX), -2, 10},
      {FIELD(MouseSpeedX), 10, 10},
      {FIELD(MouseSpeedY), 11, 10},
      {FIELD(MouseSpeedY), 0, 0},
      {FIELD(DoubleClickSpeed), -1, 5},
      {FIELD(DoubleClickSpeed), 0, 0},
      {FIELD(DoubleClickSpeed), 10, 10},
      {FIELD(DoubleClickSpeed), 11, 5},
      {FIELD(WheelScrollLines), 0, 1},
      {FIELD(WheelScrollLines), 63, 63},
      {FIELD(WheelScrollLines), 64, 1},
      {FIELD(UniversalScrollEnabled), 1, 1},
      {FIELD(UniversalScrollEnabled), 2, 0},
      {FIELD(Acceleration), 0, 1},
      {FIELD(Acceleration), 4, 4},
      {FIELD(Acceleration), 5, 1},
      {FIELD(XYSensitivityEnabled), 1, 1},
      {FIELD(XYSensitivityEnabled), -1, 0},
      {FIELD(LedState1), 0, 2},
      {FIELD(LedState1), 44, 44},
      {FIELD(LedState1), 45, 2},
      {FIELD(BreathState1), 0, 8},
      {FIELD(BreathState1), 10, 10},
      {FIELD(BreathState1), 11, 8},
      {FIELD(FlashState1), 1, 1},
      {FIELD(FlashState1), 11, 5},
      {FIELD(DPI), 5, 5},
      {FIELD(DPI), 6, 3},
      {FIELD(DPI), -1, 3},
      {FIELD(ANGLE), 1, 1},
      {FIELD(ANGLE), 2, 0},
      {FIELD(LIFT), 0, 3},
      {FIELD(LIFT), 5, 5},
      {FIELD(LIFT), 6, 3},
      {FIELD(DPICurrentX), 0, 14},
      {FIELD(DPICurrentX), 75, 75},
      {FIELD(DPICurrentX), 76, 14},
      {FIELD(DPICurrentY), 1, 1},
      {FIELD(DPICurrentY), 76, 14},
      {FIELD(DPIStageNum), 4, 5},
      {FIELD(DPIStageNum), 6, 5},
      {FIELD(Group), -1, 0},
      {FIELD(Group), 7, 7},
      {FIELD(LedMode1), -1, -1},
      {FIELD(LedMode1), 99, 99},
  };
  const ProfileSet valid = MakeSampleProfileSet();
  for (const FieldCase& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " = " + std::to_string(c.input));
    ProfileSet source = valid;
    c.set(source.Profiles[3], c.input);
    ProfileSet target;
    const bool changed = ValidateProfileSet(target, source);
    EXPECT_EQ(c.get(target.Profiles[3]), c.expected);
    EXPECT_EQ(changed, c.input != c.expected);
    // Nothing else moves.
    c.set(target.Profiles[3], c.input);
    EXPECT_TRUE(SameBytes(&target, &source, sizeof target));
  }
}

TEST(ProfileSetValidation, CurrentProfileComparesUnsigned) {
  for (auto [input, expected] : {std::pair{-1, 0}, {0, 0}, {4, 4}, {5, 0}, {-5, 0}}) {
    ProfileSet set = MakeSampleProfileSet();
    set.CurrentProfile = input;
    ValidateProfileSet(set, set);
    EXPECT_EQ(set.CurrentProfile, expected) << input;
  }
}

TEST(ProfileSetValidation, ReplacesOnlyTheColourThatIsUnset) {
  ProfileSet set = MakeSampleProfileSet();
  ProfileRecord& r = set.Profiles[4];
  r.LedColor[0] = 0;
  r.LedColor[1] = -1;
  r.LedColor[2] = 0x00FFFFFF;
  r.LedColor[3] = -2;
  EXPECT_TRUE(ValidateProfileSet(set, set));
  EXPECT_EQ(r.LedColor[0], 0);
  EXPECT_EQ(r.LedColor[1], 0xFFFF);  // profile 4's default
  EXPECT_EQ(r.LedColor[2], 0x00FFFFFF);
  EXPECT_EQ(r.LedColor[3], -2);
}

TEST(ProfileSetValidation, ReplacesAStageWithoutXEntirely) {
  ProfileSet source = MakeSampleProfileSet();
  source.Profiles[1].DpiStages[2] = {0, 0, 40, 0};
  source.Profiles[1].DpiStages[3] = {0, 7, 0, 0};  // X set: kept, even with Y 0
  ProfileSet target;
  EXPECT_TRUE(ValidateProfileSet(target, source));
  const DpiStage& replaced = target.Profiles[1].DpiStages[2];
  EXPECT_EQ(replaced.Enabled, 1);
  EXPECT_EQ(replaced.X, 20);
  EXPECT_EQ(replaced.Y, 20);
  EXPECT_EQ(replaced.Linked, 1);
  const DpiStage& kept = target.Profiles[1].DpiStages[3];
  EXPECT_EQ(kept.Enabled, 0);
  EXPECT_EQ(kept.X, 7);
  EXPECT_EQ(kept.Y, 0);
  EXPECT_EQ(kept.Linked, 0);
}

TEST(ProfileSetValidation, GivesUnsetButtonsTheirDefaultAndLeavesTheRest) {
  ProfileSet source = MakeSampleProfileSet();
  ButtonAssignment& unset = source.Profiles[2].Buttons[8];
  unset.ButtonFunc = 0xFF;
  source.Profiles[2].Buttons[0].ButtonFunc = 0;  // a code of 0 is not "unset"
  ProfileSet target;
  EXPECT_TRUE(ValidateProfileSet(target, source));
  EXPECT_EQ(target.Profiles[2].Buttons[8].ButtonFunc, 0x34);
  EXPECT_EQ(target.Profiles[2].Buttons[0].ButtonFunc, 0);
  target.Profiles[2].Buttons[8].ButtonFunc = 0xFF;
  EXPECT_TRUE(SameBytes(&target, &source, sizeof target));
}

TEST(ProfileSetValidation, LeavesAValidSetAsItIsAndIsIdempotent) {
  const ProfileSet sample = MakeSampleProfileSet();
  ProfileSet target;
  EXPECT_FALSE(ValidateProfileSet(target, sample));
  EXPECT_TRUE(SameBytes(&target, &sample, sizeof target));

  // The sixth default stage has no X; putting it back again is no change.
  ProfileSet once = ValidatedResetSet();
  ProfileSet twice;
  EXPECT_FALSE(ValidateProfileSet(twice, once));
  EXPECT_TRUE(SameBytes(&twice, &once, sizeof once));
}

TEST(ProfileSetFactoryDefaults, SetOnlyTheGivenProfile) {
  const ProfileSet before = MakeSampleProfileSet();
  ProfileSet set = before;
  ApplyFactoryDefaults(set, 2);

  EXPECT_EQ(set.CurrentProfile, before.CurrentProfile);
  for (int p : {0, 1, 3, 4}) {
    EXPECT_TRUE(SameBytes(&set.Profiles[p], &before.Profiles[p], sizeof(ProfileRecord))) << p;
  }

  const ProfileRecord& r = set.Profiles[2];
  const ProfileRecord& old = before.Profiles[2];
  EXPECT_EQ(r.Group, old.Group);
  EXPECT_EQ(r.PollingRate, 2);
  EXPECT_EQ(r.DoubleClickSpeed, 5);
  EXPECT_EQ(r.WheelScrollLines, 1);
  EXPECT_EQ(r.UniversalScrollEnabled, 0);
  EXPECT_EQ(r.MouseSensitivity, 10);
  EXPECT_EQ(r.Acceleration, 1);
  EXPECT_EQ(r.XYSensitivityEnabled, 0);
  EXPECT_EQ(r.OFASensitivity, 10);
  EXPECT_EQ(r.MouseSpeedX, 10);
  EXPECT_EQ(r.MouseSpeedY, 10);
  EXPECT_EQ(r.LedMode1, 3);
  EXPECT_EQ(r.LedState1, 2);
  EXPECT_EQ(r.BreathState1, 8);
  EXPECT_EQ(r.FlashState1, 5);
  for (int c = 0; c < kLedModeCount; ++c) EXPECT_EQ(r.LedColor[c], 0xFF00);
  EXPECT_EQ(r.ANGLE, 0);
  EXPECT_EQ(r.LIFT, 3);
  EXPECT_EQ(r.DPI, 2);
  EXPECT_EQ(r.DPICurrentX, 14);
  EXPECT_EQ(r.DPICurrentY, 14);
  EXPECT_EQ(r.DPIStageNum, 5);
  const DpiStage stages[5] = {
      {1, 5, 5, 1}, {1, 10, 10, 1}, {1, 20, 20, 1}, {1, 30, 30, 1}, {1, 50, 50, 1}};
  EXPECT_TRUE(SameBytes(r.DpiStages, stages, sizeof stages));
  EXPECT_TRUE(SameBytes(&r.DpiStages[5], &old.DpiStages[5], sizeof(DpiStage)));
  for (const LedLevelEntry& level : r.LedLevels) {
    EXPECT_EQ(level.Level, 2);
    EXPECT_EQ(level.Rate, 8);
  }
  const std::uint8_t functions[kButtonCount] = {1, 2, 3, 6, 6, 6, 0x30, 0x31, 0x34, 0x35};
  for (int b = 0; b < kButtonCount; ++b) {
    SCOPED_TRACE(b);
    const ButtonAssignment& button = r.Buttons[b];
    EXPECT_EQ(button.ButtonID, old.Buttons[b].ButtonID);
    EXPECT_EQ(button.LoopNumber, old.Buttons[b].LoopNumber);
    EXPECT_EQ(button.ButtonFunc, functions[b]);
    EXPECT_EQ(button.KeyNumber, 0);
    std::uint8_t block[kKeyBlockSize] = {};
    if (b == 3) block[0] = 0xE2;
    if (b == 4) block[0] = 0xE0;
    if (b == 5) block[0] = 0xE1;
    EXPECT_TRUE(SameBytes(button.KeyBlock, block, kKeyBlockSize));
    const char16_t zeroName[kMacroNameUnits] = {};
    EXPECT_TRUE(SameBytes(&button.MacroName, zeroName, sizeof zeroName));
  }
}

TEST(ProfileSetFactoryDefaults, IgnoreAnIndexOutsideTheSet) {
  const ProfileSet before = MakeSampleProfileSet();
  ProfileSet set = before;
  ApplyFactoryDefaults(set, -1);
  ApplyFactoryDefaults(set, 5);
  EXPECT_TRUE(SameBytes(&set, &before, sizeof set));
}

TEST(ProfileSetLighting, ModeOutsideTheRangeActsAsModeZero) {
  ProfileRecord r = MakeSampleProfileSet().Profiles[0];
  for (int c = 0; c < kLedModeCount; ++c) r.LedColor[c] = 0x100 + c;
  for (int m = 0; m < kLedLevelCount; ++m) r.LedLevels[m] = {m + 1, 10 * m};

  for (std::int32_t stray : {-1, 8, 1000, INT32_MIN}) {
    r.LedMode1 = stray;
    EXPECT_EQ(LightingMode(r), 0) << stray;
    EXPECT_EQ(LightingColor(r), 0x100) << stray;
    ASSERT_TRUE(LightingLevel(r).has_value());
    EXPECT_EQ(LightingLevel(r)->Level, 1);
  }
  r.LedMode1 = 6;
  EXPECT_EQ(LightingMode(r), 6);
  EXPECT_EQ(LightingColor(r), 0x106);
  ASSERT_TRUE(LightingLevel(r).has_value());
  EXPECT_EQ(LightingLevel(r)->Rate, 60);
  r.LedMode1 = 7;
  EXPECT_EQ(LightingMode(r), 7);
  EXPECT_EQ(LightingColor(r), 0x107);
  EXPECT_FALSE(LightingLevel(r).has_value());
}

TEST(ProfileSetMacroName, IsStoredBoundedAndTerminated) {
  ButtonAssignment button = {};
  SetMacroName(button, std::u16string(300, u'x'));
  EXPECT_EQ(MacroNameOf(button), std::u16string(259, u'x'));
  EXPECT_EQ(button.MacroName[259], 0);

  // A shorter name clears what the longer one left behind.
  SetMacroName(button, u"Größe");
  EXPECT_EQ(MacroNameOf(button), u"Größe");
  for (std::size_t i = 5; i < kMacroNameUnits; ++i) ASSERT_EQ(button.MacroName[i], 0) << i;

  // A character outside the BMP whose halves straddle the cut is dropped whole.
  std::u16string straddling(258, u'a');
  straddling += u"\U0001F5B1";
  SetMacroName(button, straddling);
  EXPECT_EQ(MacroNameOf(button), std::u16string(258, u'a'));
  std::u16string fitting(257, u'a');
  fitting += u"\U0001F5B1";
  SetMacroName(button, fitting);
  EXPECT_EQ(MacroNameOf(button), fitting);

  // A field without terminator reads no further than its end.
  std::fill(std::begin(button.MacroName), std::end(button.MacroName), u'z');
  EXPECT_EQ(MacroNameOf(button), std::u16string(kMacroNameUnits, u'z'));
}

}  // namespace
