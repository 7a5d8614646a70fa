#include "settings/profile_set.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "settings/profile_fields.h"

namespace {

// Notes whether any field was replaced.
class Replacer {
 public:
  std::int32_t Check(std::int32_t value, bool keep, std::int32_t replacement) {
    if (keep) return value;
    m_changed = true;
    return replacement;
  }
  bool Changed() const { return m_changed; }
  void Note() { m_changed = true; }

 private:
  bool m_changed = false;
};

bool Keeps(const ProfileFieldRule& rule, std::int32_t value) {
  switch (rule.Check) {
    case FieldCheck::NotUnset:
      return value != -1;
    case FieldCheck::InRange:
      return rule.Range.Contains(value);
    case FieldCheck::None:
      break;
  }
  return true;
}

void ValidateProfile(ProfileRecord& r, int p, Replacer& fix) {
  for (const ProfileFieldRule& rule : kProfileFieldRules) {
    if (rule.Values == nullptr) continue;
    std::int32_t* values = rule.Values(r);
    for (int i = 0; i < rule.Count; ++i) {
      values[i] = fix.Check(values[i], Keeps(rule, values[i]), rule.Default.For(p));
    }
  }

  // A stage without X is replaced whole.
  for (int k = 0; k < kDpiStageCount; ++k) {
    DpiStage& stage = r.DpiStages[k];
    if (stage.X != 0) continue;
    const DpiStage replacement{RuleOf(ProfileField::StageEnabled).Default.For(p),
                               kDefaultDpiStageValues[k], kDefaultDpiStageValues[k],
                               RuleOf(ProfileField::StageLinked).Default.For(p)};
    // The sixth stage's default has no X itself: putting it back is no change.
    if (std::memcmp(&stage, &replacement, sizeof stage) == 0) continue;
    stage = replacement;
    fix.Note();
  }

  for (int b = 0; b < kButtonCount; ++b) {
    ButtonAssignment& button = r.Buttons[b];
    if (button.ButtonFunc != kFunctionUnset) continue;
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
      button.ButtonFunc = kFunctionUnset;
      button.LoopNumber = 1;
    }
  }
}

bool ValidateProfileSet(ProfileSet& target, const ProfileSet& source) {
  if (&target != &source) std::memcpy(&target, &source, sizeof target);
  Replacer fix;
  const ProfileFieldRule& current = RuleOf(ProfileField::CurrentProfile);
  target.CurrentProfile = fix.Check(target.CurrentProfile, Keeps(current, target.CurrentProfile),
                                    current.Default.Value);
  for (int p = 0; p < kProfileCount; ++p) ValidateProfile(target.Profiles[p], p, fix);
  return fix.Changed();
}

void ApplyFactoryDefaults(ProfileSet& set, int profileIndex) {
  if (profileIndex < 0 || profileIndex >= kProfileCount) return;
  const int p = profileIndex;
  ProfileRecord& r = set.Profiles[p];
  for (const ProfileFieldRule& rule : kProfileFieldRules) {
    if (rule.Values == nullptr || !rule.Factory) continue;
    std::int32_t* values = rule.Values(r);
    for (int i = 0; i < rule.Count; ++i) values[i] = rule.Factory->For(p);
  }
  for (int k = 0; k < kDpiStagesInCycle; ++k) {
    DpiStage& stage = r.DpiStages[k];
    stage.Enabled = RuleOf(ProfileField::StageEnabled).Factory->For(p);
    stage.X = stage.Y = kDefaultDpiStageValues[k];
    stage.Linked = RuleOf(ProfileField::StageLinked).Factory->For(p);
  }
  for (LedLevelEntry& level : r.LedLevels) level = kFactoryLedLevel;
  for (int b = 0; b < kButtonCount; ++b) {
    ButtonAssignment& button = r.Buttons[b];
    button.ButtonFunc = kDefaultButtonFunctions[b];
    button.KeyNumber = 0;
    std::memset(button.KeyBlock, 0, sizeof button.KeyBlock);
    std::memset(button.MacroName, 0, sizeof button.MacroName);
  }
  for (int i = 0; i < 3; ++i) {
    ButtonAssignment& button = r.Buttons[3 + i];
    if (button.ButtonFunc == kFunctionSingleKey) button.KeyBlock[0] = kFactorySingleKeys[i];
  }
}

int LightingMode(const ProfileRecord& record) {
  const std::int32_t mode = record.LedMode1;
  return RangeOf(ProfileField::LedMode1).Contains(mode) ? mode : 0;
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
