#include "agent/windows_pointer_settings.h"

#include <algorithm>
#include <limits>

#include "agent/pointer_speed.h"
#include "settings/profile_fields.h"

namespace {

constexpr std::int32_t kSlowestDoubleClickMs = 900;
constexpr std::int32_t kDoubleClickStepMs = 70;

// A stored text as the number it names, or 0 when it is missing or outside [low, high].
std::int32_t StoredValue(const std::optional<std::u16string>& text, std::int32_t low,
                         std::int32_t high) {
  if (!text) return 0;
  const std::int32_t value = ParseRegistryInteger(*text);
  return value >= low && value <= high ? value : 0;
}

}  // namespace

std::uint32_t DoubleClickTimeOf(std::int32_t doubleClickSpeed) {
  const std::int32_t step = RangeOf(ProfileField::DoubleClickSpeed).Clamp(doubleClickSpeed);
  return static_cast<std::uint32_t>(kSlowestDoubleClickMs - kDoubleClickStepMs * step);
}

MouseAcceleration StoredMouseAccelerationOf(const StoredMouseTexts& texts) {
  constexpr std::int32_t kAnyThreshold = std::numeric_limits<std::int32_t>::max();
  MouseAcceleration stored;
  stored.Speed = StoredValue(texts.Speed, 0, kMaxMouseAccelerationLevel);
  stored.Threshold2 = StoredValue(texts.Threshold2, 0, kAnyThreshold);
  stored.Threshold1 = StoredValue(texts.Threshold1, 0, kAnyThreshold);
  return stored;
}

MouseAcceleration MouseAccelerationFor(std::int32_t acceleration, const MouseAcceleration& stored) {
  switch (acceleration) {
    case 1:
      return {stored.Threshold1, stored.Threshold2, 0};
    case 2:
      return {8, stored.Threshold2, 1};
    case 3:
      return {4, stored.Threshold2, 1};
    case 4:
      return {2, 8, 2};
    default:
      return stored;
  }
}

std::int32_t PointerSpeedFor(std::int32_t mouseSensitivity) {
  return RangeOf(ProfileField::MouseSensitivity).Clamp(mouseSensitivity);
}

WindowsPointerSettings WindowsPointerSettingsFor(const ProfileRecord& profile,
                                                 const StoredMouseTexts& stored) {
  WindowsPointerSettings settings;
  settings.DoubleClickTimeMs = DoubleClickTimeOf(profile.DoubleClickSpeed);
  settings.Mouse = MouseAccelerationFor(profile.Acceleration, StoredMouseAccelerationOf(stored));
  settings.PointerSpeed = PointerSpeedFor(profile.MouseSensitivity);
  return settings;
}
