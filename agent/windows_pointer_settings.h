#pragma once
// What a profile's pointer settings become in Windows: the double-click time, the three-value
// mouse setting (two thresholds and an acceleration level) and the pointer speed. The stored
// thresholds are the user's own, read from "HKEY_CURRENT_USER\Control Panel\Mouse" as decimal
// texts; the lowest acceleration step keeps them and only switches acceleration off.

#include <cstdint>
#include <optional>
#include <string>

#include "settings/profile_set.h"

// In the order of the array SPI_SETMOUSE takes.
struct MouseAcceleration {
  std::int32_t Threshold1 = 0;
  std::int32_t Threshold2 = 0;
  std::int32_t Speed = 0;
  friend bool operator==(const MouseAcceleration&, const MouseAcceleration&) = default;
};

// The registry texts of "MouseSpeed", "MouseThreshold2" and "MouseThreshold1"; nullopt for a
// value that could not be read (missing, not a string, longer than the 260-byte buffer).
struct StoredMouseTexts {
  std::optional<std::u16string> Speed;
  std::optional<std::u16string> Threshold2;
  std::optional<std::u16string> Threshold1;
};

struct WindowsPointerSettings {
  std::uint32_t DoubleClickTimeMs = 0;
  MouseAcceleration Mouse;
  std::int32_t PointerSpeed = 0;
};

inline constexpr std::int32_t kMaxMouseAccelerationLevel = 2;

// 900 - 70 x step: step 0 is 900 ms, step 10 is 200 ms. A step outside 0..10 is held at the
// nearer end, so a damaged profile never sets an absurd or wrapped-around time.
std::uint32_t DoubleClickTimeOf(std::int32_t doubleClickSpeed);

// The stored values as numbers. An unreadable text, or a number Windows would not hold there
// (a negative threshold, a level other than 0..2), reads as 0 like a missing value.
MouseAcceleration StoredMouseAccelerationOf(const StoredMouseTexts& texts);

// "Acceleration" 1..4 replaces some of the stored values; any other step keeps them all.
MouseAcceleration MouseAccelerationFor(std::int32_t acceleration, const MouseAcceleration& stored);

// The pointer speed Windows accepts is 1..20; a value outside is held at the nearer end.
std::int32_t PointerSpeedFor(std::int32_t mouseSensitivity);

WindowsPointerSettings WindowsPointerSettingsFor(const ProfileRecord& profile,
                                                 const StoredMouseTexts& stored);
