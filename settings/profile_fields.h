#pragma once
// The rules of the profile settings in one table: the values each field can mean, what
// validation puts in place of anything else after a load, the factory value, and what the
// settings window offers. ValidateProfileSet, ApplyFactoryDefaults, the agent's limits before a
// value goes to the mouse or Windows, and the configurator's sliders all read it, so a range is
// written down once.
//
// Units: a resolution value's dots per inch and back are the mouse's own unit
// (device_map::DotsPerInchOfResolution and ResolutionOfDotsPerInch, contract/mouse_map.h); a
// macro's repeat count and a button's LoopNumber byte convert in settings/macro.h.

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "contract/mouse_map.h"
#include "settings/profile_set.h"

enum class ProfileField : std::uint8_t {
  CurrentProfile,  // of the set, not of a profile
  Group,
  PollingRate,
  DoubleClickSpeed,
  WheelScrollLines,
  UniversalScrollEnabled,
  MouseSensitivity,
  Acceleration,
  XYSensitivityEnabled,
  OFASensitivity,
  MouseSpeedX,
  MouseSpeedY,
  LedMode1,
  LedState1,
  BreathState1,
  FlashState1,
  LedColor,  // all eight
  ANGLE,
  LIFT,
  DPI,
  DPICurrentX,
  DPICurrentY,
  DPIStageNum,
  // The fields of each DpiStage.
  StageEnabled,
  StageResolution,  // X and Y
  StageLinked,
};

struct FieldRange {
  std::int32_t Min;
  std::int32_t Max;

  constexpr bool Contains(std::int32_t value) const { return value >= Min && value <= Max; }
  constexpr std::int32_t Clamp(std::int32_t value) const { return std::clamp(value, Min, Max); }
  friend constexpr bool operator==(const FieldRange&, const FieldRange&) = default;
};

// What validation keeps of a loaded value.
enum class FieldCheck : std::uint8_t {
  None,      // everything: the field is not validated
  NotUnset,  // everything but -1 (unset)
  InRange,   // only values in the field's range
};

// A value that may depend on the index of the profile it is for.
struct FieldValue {
  enum Kind : std::uint8_t {
    kFixed,         // Value
    kProfileIndex,  // the profile's own index
    kFirstProfile,  // 1 for profile 0, else 0
    kProfileColour  // the profile's default colour
  };
  Kind Of = kFixed;
  std::int32_t Value = 0;

  constexpr std::int32_t For(int profile) const {
    switch (Of) {
      case kProfileIndex:
        return profile;
      case kFirstProfile:
        return profile == 0 ? 1 : 0;
      case kProfileColour:
        return kDefaultLedColors[std::clamp(profile, 0, kProfileCount - 1)];
      case kFixed:
        break;
    }
    return Value;
  }
};

struct ProfileFieldRule {
  ProfileField Field;
  // The field's integers in a record (Count of them); null for fields outside the record's
  // integer fields (the set's current profile, the stages).
  std::int32_t* (*Values)(ProfileRecord&);
  int Count;
  FieldRange Range;    // the values the field can mean
  FieldRange Offered;  // what the settings window offers (a slider's minimum and maximum)
  FieldCheck Check;
  FieldValue Default;                 // validation's replacement
  std::optional<FieldValue> Factory;  // none: the factory reset leaves the field
};

namespace profile_fields_detail {
constexpr FieldValue Fixed(std::int32_t value) {
  return {FieldValue::kFixed, value};
}
constexpr FieldRange Range(std::int32_t min, std::int32_t max) {
  return {min, max};
}
constexpr FieldRange kResolutionRange{device_map::kMinResolution, device_map::kMaxResolution};
}  // namespace profile_fields_detail

// In the order of the record.
inline constexpr auto kProfileFieldRules = [] {
  using namespace profile_fields_detail;
  using enum ProfileField;
  using enum FieldCheck;
  constexpr FieldValue kIndex{FieldValue::kProfileIndex, 0};
  constexpr FieldValue kFirst{FieldValue::kFirstProfile, 0};
  constexpr FieldValue kColour{FieldValue::kProfileColour, 0};
  // clang-format off
  return std::array<ProfileFieldRule, 26>{{
    {CurrentProfile, nullptr, 0, Range(0, 4), Range(0, 4), InRange, Fixed(0), std::nullopt},
    {Group, [](ProfileRecord& r) { return &r.Group; }, 1,
     Range(0, 1), Range(0, 1), NotUnset, kFirst, std::nullopt},
    {PollingRate, [](ProfileRecord& r) { return &r.PollingRate; }, 1,
     Range(0, 8), Range(0, 8), InRange, Fixed(2), Fixed(2)},
    {DoubleClickSpeed, [](ProfileRecord& r) { return &r.DoubleClickSpeed; }, 1,
     Range(0, 10), Range(1, 10), InRange, Fixed(5), Fixed(5)},
    {WheelScrollLines, [](ProfileRecord& r) { return &r.WheelScrollLines; }, 1,
     Range(1, 63), Range(1, 63), InRange, Fixed(1), Fixed(1)},
    {UniversalScrollEnabled, [](ProfileRecord& r) { return &r.UniversalScrollEnabled; }, 1,
     Range(0, 1), Range(0, 1), InRange, Fixed(0), Fixed(0)},
    {MouseSensitivity, [](ProfileRecord& r) { return &r.MouseSensitivity; }, 1,
     Range(1, 20), Range(1, 20), InRange, Fixed(10), Fixed(10)},
    {Acceleration, [](ProfileRecord& r) { return &r.Acceleration; }, 1,
     Range(1, 4), Range(1, 4), InRange, Fixed(1), Fixed(1)},
    {XYSensitivityEnabled, [](ProfileRecord& r) { return &r.XYSensitivityEnabled; }, 1,
     Range(0, 1), Range(0, 1), InRange, Fixed(0), Fixed(0)},
    {OFASensitivity, [](ProfileRecord& r) { return &r.OFASensitivity; }, 1,
     Range(0, 10), Range(0, 10), InRange, Fixed(10), Fixed(10)},
    {MouseSpeedX, [](ProfileRecord& r) { return &r.MouseSpeedX; }, 1,
     Range(0, 10), Range(0, 10), InRange, Fixed(10), Fixed(10)},
    {MouseSpeedY, [](ProfileRecord& r) { return &r.MouseSpeedY; }, 1,
     Range(0, 10), Range(0, 10), InRange, Fixed(10), Fixed(10)},
    {LedMode1, [](ProfileRecord& r) { return &r.LedMode1; }, 1,
     Range(0, kLedModeCount - 1), Range(0, kLedModeCount - 1), None, Fixed(0), Fixed(3)},
    {LedState1, [](ProfileRecord& r) { return &r.LedState1; }, 1,
     Range(1, 44), Range(1, 44), InRange, Fixed(2), Fixed(2)},
    {BreathState1, [](ProfileRecord& r) { return &r.BreathState1; }, 1,
     Range(1, 10), Range(1, 10), InRange, Fixed(8), Fixed(8)},
    {FlashState1, [](ProfileRecord& r) { return &r.FlashState1; }, 1,
     Range(1, 10), Range(1, 10), InRange, Fixed(5), Fixed(5)},
    {LedColor, [](ProfileRecord& r) { return r.LedColor; }, kLedModeCount,
     Range(0, 0xFFFFFF), Range(0, 0xFFFFFF), NotUnset, kColour, kColour},
    {ANGLE, [](ProfileRecord& r) { return &r.ANGLE; }, 1,
     Range(0, 1), Range(0, 1), InRange, Fixed(0), Fixed(0)},
    {LIFT, [](ProfileRecord& r) { return &r.LIFT; }, 1,
     Range(1, 5), Range(1, 5), InRange, Fixed(3), Fixed(3)},
    {DPI, [](ProfileRecord& r) { return &r.DPI; }, 1,
     Range(0, kDpiStageCount - 1), Range(0, kDpiStagesInCycle - 1), InRange, kIndex, kIndex},
    {DPICurrentX, [](ProfileRecord& r) { return &r.DPICurrentX; }, 1,
     kResolutionRange, kResolutionRange, InRange, Fixed(14), Fixed(14)},
    {DPICurrentY, [](ProfileRecord& r) { return &r.DPICurrentY; }, 1,
     kResolutionRange, kResolutionRange, InRange, Fixed(14), Fixed(14)},
    {DPIStageNum, [](ProfileRecord& r) { return &r.DPIStageNum; }, 1,
     Range(kDpiStagesInCycle, kDpiStagesInCycle), Range(kDpiStagesInCycle, kDpiStagesInCycle),
     InRange, Fixed(kDpiStagesInCycle), Fixed(kDpiStagesInCycle)},
    // A stage without X is replaced whole by validation; the factory values are per stage
    // (kDefaultDpiStageValues).
    {StageEnabled, nullptr, 0, Range(0, 1), Range(0, 1), None, Fixed(1), Fixed(1)},
    {StageResolution, nullptr, 0, kResolutionRange, kResolutionRange, None, Fixed(0),
     std::nullopt},
    {StageLinked, nullptr, 0, Range(0, 1), Range(0, 1), None, Fixed(1), Fixed(1)},
  }};
  // clang-format on
}();

constexpr const ProfileFieldRule& RuleOf(ProfileField field) {
  return kProfileFieldRules[static_cast<std::size_t>(field)];
}
static_assert(
    [] {
      for (std::size_t i = 0; i < kProfileFieldRules.size(); ++i) {
        if (static_cast<std::size_t>(kProfileFieldRules[i].Field) != i) return false;
      }
      return true;
    }(),
    "one rule per field, in the order of ProfileField");

// The values a field can mean: validation keeps only these (where it checks the range), and
// the agent holds a value to them before it goes to the mouse or to Windows.
constexpr FieldRange RangeOf(ProfileField field) {
  return RuleOf(field).Range;
}
// A slider's minimum and maximum for the field.
constexpr FieldRange OfferedRangeOf(ProfileField field) {
  return RuleOf(field).Offered;
}
