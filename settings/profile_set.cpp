#include "settings/profile_set.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

// Validation compares unsigned where only an upper bound is given, so -1 (unset) fails.
bool AtMost(std::int32_t value, std::uint32_t limit) {
  return static_cast<std::uint32_t>(value) <= limit;
}

bool InRange(std::int32_t value, std::int32_t low, std::int32_t high) {
  return value >= low && value <= high;
}

// Notes whether any field was replaced.
class Replacer {
 public:
  template <typename Keep>
  std::int32_t Check(std::int32_t value, Keep keep, std::int32_t replacement) {
    if (keep(value)) return value;
    m_changed = true;
    return replacement;
  }
  bool Changed() const { return m_changed; }
  void Note() { m_changed = true; }

 private:
  bool m_changed = false;
};

void ValidateProfile(ProfileRecord& r, int p, Replacer& fix) {
  auto atMost = [](std::uint32_t limit) {
    return [limit](std::int32_t v) { return AtMost(v, limit); };
  };
  auto between = [](std::int32_t low, std::int32_t high) {
    return [low, high](std::int32_t v) { return InRange(v, low, high); };
  };
  auto notUnset = [](std::int32_t v) { return v != -1; };

  r.Group = fix.Check(r.Group, notUnset, p == 0 ? 1 : 0);
  r.PollingRate = fix.Check(r.PollingRate, atMost(8), 2);
  r.OFASensitivity = fix.Check(r.OFASensitivity, atMost(10), 10);
  r.MouseSpeedX = fix.Check(r.MouseSpeedX, atMost(10), 10);
  r.MouseSpeedY = fix.Check(r.MouseSpeedY, atMost(10), 10);
  r.MouseSensitivity = fix.Check(r.MouseSensitivity, between(1, 20), 10);
  r.DoubleClickSpeed = fix.Check(r.DoubleClickSpeed, atMost(10), 5);
  r.WheelScrollLines = fix.Check(r.WheelScrollLines, between(1, 63), 1);
  r.UniversalScrollEnabled = fix.Check(r.UniversalScrollEnabled, between(0, 1), 0);
  r.Acceleration = fix.Check(r.Acceleration, between(1, 4), 1);
  r.XYSensitivityEnabled = fix.Check(r.XYSensitivityEnabled, between(0, 1), 0);
  r.LedState1 = fix.Check(r.LedState1, between(1, 44), 2);
  r.BreathState1 = fix.Check(r.BreathState1, between(1, 10), 8);
  r.FlashState1 = fix.Check(r.FlashState1, between(1, 10), 5);
  for (int c = 0; c < kLedModeCount; ++c) {
    r.LedColor[c] = fix.Check(r.LedColor[c], notUnset, kDefaultLedColors[p]);
  }
  r.DPI = fix.Check(r.DPI, atMost(5), p);
  r.ANGLE = fix.Check(r.ANGLE, atMost(1), 0);
  r.LIFT = fix.Check(r.LIFT, between(1, 5), 3);
  r.DPICurrentX = fix.Check(r.DPICurrentX, between(1, 75), 14);
  r.DPICurrentY = fix.Check(r.DPICurrentY, between(1, 75), 14);
  r.DPIStageNum = fix.Check(
      r.DPIStageNum, [](std::int32_t v) { return v == kDpiStagesInCycle; }, 5);

  for (int k = 0; k < kDpiStageCount; ++k) {
    DpiStage& stage = r.DpiStages[k];
    if (stage.X != 0) continue;
    stage.Enabled = 1;
    stage.X = kDefaultDpiStageValues[k];
    stage.Y = kDefaultDpiStageValues[k];
    stage.Linked = 1;
    fix.Note();
  }

  for (int b = 0; b < kButtonCount; ++b) {
    ButtonAssignment& button = r.Buttons[b];
    if (button.ButtonFunc != kButtonFuncUnset) continue;
    button.ButtonFunc = kDefaultButtonFunctions[b];
    fix.Note();
  }
}

}  // namespace

void ResetProfileSet(ProfileSet& set) {
  std::memset(&set, 0, sizeof set);
  set.CurrentProfile = -1;
  for (ProfileRecord& r : set.Profiles) {
    r.Group = r.PollingRate = r.DoubleClickSpeed = r.WheelScrollLines = -1;
    r.UniversalScrollEnabled = r.MouseSensitivity = r.Acceleration = -1;
    r.XYSensitivityEnabled = r.OFASensitivity = r.MouseSpeedX = r.MouseSpeedY = -1;
    r.LedMode1 = 0;
    r.LedState1 = r.BreathState1 = r.FlashState1 = -1;
    for (int c = 0; c < kLedModeCount; ++c) r.LedColor[c] = -1;
    r.ANGLE = r.LIFT = r.DPI = r.DPICurrentX = r.DPICurrentY = r.DPIStageNum = -1;
    for (int b = 0; b < kButtonCount; ++b) {
      ButtonAssignment& button = r.Buttons[b];
      button.ButtonID = static_cast<std::uint8_t>(b + 1);
      button.ButtonFunc = kButtonFuncUnset;
      button.LoopNumber = 1;
    }
  }
}

bool ValidateProfileSet(ProfileSet& target, const ProfileSet& source) {
  if (&target != &source) std::memcpy(&target, &source, sizeof target);
  Replacer fix;
  target.CurrentProfile = fix.Check(
      target.CurrentProfile, [](std::int32_t v) { return AtMost(v, 4); }, 0);
  for (int p = 0; p < kProfileCount; ++p) ValidateProfile(target.Profiles[p], p, fix);
  return fix.Changed();
}

void ApplyFactoryDefaults(ProfileSet& set, int profileIndex) {
  if (profileIndex < 0 || profileIndex >= kProfileCount) return;
  const int p = profileIndex;
  ProfileRecord& r = set.Profiles[p];
  r.PollingRate = 2;
  r.DoubleClickSpeed = 5;
  r.WheelScrollLines = 1;
  r.UniversalScrollEnabled = 0;
  r.MouseSensitivity = 10;
  r.Acceleration = 1;
  r.XYSensitivityEnabled = 0;
  r.OFASensitivity = r.MouseSpeedX = r.MouseSpeedY = 10;
  r.LedMode1 = 3;
  r.LedState1 = 2;
  r.BreathState1 = 8;
  r.FlashState1 = 5;
  for (int c = 0; c < kLedModeCount; ++c) r.LedColor[c] = kDefaultLedColors[p];
  r.ANGLE = 0;
  r.LIFT = 3;
  r.DPI = p;
  r.DPICurrentX = r.DPICurrentY = 14;
  r.DPIStageNum = kDpiStagesInCycle;
  for (int k = 0; k < kDpiStagesInCycle; ++k) {
    DpiStage& stage = r.DpiStages[k];
    stage.Enabled = 1;
    stage.X = stage.Y = kDefaultDpiStageValues[k];
    stage.Linked = 1;
  }
  for (LedLevelEntry& level : r.LedLevels) {
    level.Level = 2;
    level.Rate = 8;
  }
  for (int b = 0; b < kButtonCount; ++b) {
    ButtonAssignment& button = r.Buttons[b];
    button.ButtonFunc = kDefaultButtonFunctions[b];
    button.KeyNumber = 0;
    std::memset(button.KeyBlock, 0, sizeof button.KeyBlock);
    std::memset(button.MacroName, 0, sizeof button.MacroName);
  }
  for (int i = 0; i < 3; ++i) {
    ButtonAssignment& button = r.Buttons[3 + i];
    if (button.ButtonFunc == 6) button.KeyBlock[0] = kFactorySingleKeys[i];
  }
}

int LightingMode(const ProfileRecord& record) {
  const std::int32_t mode = record.LedMode1;
  return InRange(mode, 0, kLedModeCount - 1) ? mode : 0;
}

std::int32_t LightingColor(const ProfileRecord& record) {
  return record.LedColor[LightingMode(record)];
}

std::optional<LedLevelEntry> LightingLevel(const ProfileRecord& record) {
  const int mode = LightingMode(record);
  if (mode >= kLedLevelCount) return std::nullopt;
  return record.LedLevels[mode];
}

std::u16string MacroNameOf(const ButtonAssignment& button) {
  std::size_t length = 0;
  while (length < kMacroNameUnits && button.MacroName[length] != 0) ++length;
  return std::u16string(button.MacroName, length);
}

void SetMacroName(ButtonAssignment& button, std::u16string_view name) {
  std::size_t length = name.size() < kMacroNameUnits - 1 ? name.size() : kMacroNameUnits - 1;
  // Cutting between the halves of a surrogate pair would leave half a character behind.
  if (length < name.size() && length > 0 && name[length - 1] >= 0xD800 &&
      name[length - 1] <= 0xDBFF) {
    --length;
  }
  std::fill(std::begin(button.MacroName), std::end(button.MacroName), u'\0');
  name.copy(button.MacroName, length);
}
