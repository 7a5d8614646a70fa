#pragma once
// The profile set: every setting of the five mouse profiles in one fixed-size, plain-data value
// that both programs copy whole and whose stage, lighting-level and key blocks go to the profile
// files byte for byte.
//
// The layout is exactly the fields below, each naturally aligned, with no implicit padding
// anywhere (checked below), so sets can be copied and compared as bytes and no uninitialised byte
// ever reaches a file. The only byte that is not a setting is ButtonAssignment::Reserved, which
// puts MacroName on an even offset: a one-byte packing would leave MacroName and, in every other
// profile, all 32-bit fields unaligned, which breaks plain references and pointers to them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "settings/button_functions.h"

inline constexpr int kProfileCount = 5;
inline constexpr int kButtonCount = 10;
inline constexpr int kDpiStageCount = 6;
inline constexpr int kLedModeCount = 8;   // modes 0..7, one colour each
inline constexpr int kLedLevelCount = 7;  // modes 0..6; mode 7 has no level entry
inline constexpr int kKeyStepCount = 63;
inline constexpr std::size_t kKeyBlockSize = 3 * kKeyStepCount;  // 189 bytes
inline constexpr std::size_t kMacroNameUnits = 260;              // 259 units + terminator
inline constexpr int kDpiStagesInCycle = 5;

struct DpiStage {
  std::int32_t Enabled;  // 1 = part of the resolution cycle
  std::int32_t X;        // resolution units, 1..75
  std::int32_t Y;
  std::int32_t Linked;  // 1 = X and Y are set together
};

struct LedLevelEntry {
  std::int32_t Level;  // 1, 2 or 3
  std::int32_t Rate;
};

struct ButtonAssignment {
  std::uint8_t ButtonID;    // 1..10
  std::uint8_t ButtonFunc;  // function code (button_functions.h), kFunctionUnset when unset
  std::uint8_t LoopNumber;
  std::uint8_t KeyNumber;
  std::uint8_t KeyBlock[kKeyBlockSize];  // 63 key steps of 3 bytes
  std::uint8_t Reserved;                 // always 0; aligns MacroName, never stored in files
  char16_t MacroName[kMacroNameUnits];   // zero-terminated
};

struct ProfileRecord {
  std::int32_t Group;
  std::int32_t PollingRate;
  std::int32_t DoubleClickSpeed;
  std::int32_t WheelScrollLines;
  std::int32_t UniversalScrollEnabled;
  std::int32_t MouseSensitivity;
  std::int32_t Acceleration;
  std::int32_t XYSensitivityEnabled;
  std::int32_t OFASensitivity;
  std::int32_t MouseSpeedX;
  std::int32_t MouseSpeedY;
  std::int32_t LedMode1;  // may hold anything a file held: read it through LightingMode()
  std::int32_t LedState1;
  std::int32_t BreathState1;
  std::int32_t FlashState1;
  std::int32_t LedColor[kLedModeCount];  // COLORREF 0x00BBGGRR per lighting mode, -1 = unset
  std::int32_t ANGLE;
  std::int32_t LIFT;
  std::int32_t DPI;  // index of the stage in use
  std::int32_t DPICurrentX;
  std::int32_t DPICurrentY;
  std::int32_t DPIStageNum;
  DpiStage DpiStages[kDpiStageCount];
  LedLevelEntry LedLevels[kLedLevelCount];
  ButtonAssignment Buttons[kButtonCount];
};

struct ProfileSet {
  std::int32_t CurrentProfile;  // 0..4
  ProfileRecord Profiles[kProfileCount];
};

static_assert(sizeof(DpiStage) == 16);
static_assert(sizeof(LedLevelEntry) == 8);
static_assert(sizeof(ButtonAssignment) == 4 + 189 + 1 + 2 * 260);
static_assert(offsetof(ButtonAssignment, KeyBlock) == 4);
static_assert(offsetof(ButtonAssignment, MacroName) == 194);
static_assert(offsetof(ProfileRecord, LedColor) == 15 * 4);
static_assert(offsetof(ProfileRecord, ANGLE) == 23 * 4);
static_assert(offsetof(ProfileRecord, DPIStageNum) == 28 * 4);
static_assert(offsetof(ProfileRecord, DpiStages) == 29 * 4);
static_assert(offsetof(ProfileRecord, LedLevels) == 29 * 4 + 96);
static_assert(offsetof(ProfileRecord, Buttons) == 29 * 4 + 96 + 56);
static_assert(sizeof(ProfileRecord) == 29 * 4 + 96 + 56 + 10 * sizeof(ButtonAssignment));
static_assert(offsetof(ProfileSet, Profiles) == 4);
static_assert(sizeof(ProfileSet) == 4 + 5 * sizeof(ProfileRecord));
static_assert(std::is_trivially_copyable_v<ProfileSet> && std::is_standard_layout_v<ProfileSet>);
static_assert(std::has_unique_object_representations_v<ProfileSet>, "no padding bytes");

// Default tables of validation and of the factory state that are not one value per field; the
// rest is in the field table (profile_fields.h).
inline constexpr std::int32_t kDefaultLedColors[kProfileCount] = {
    0xFF,      // red
    0xFF0000,  // blue
    0xFF00,    // green
    0xFF00FF,  // magenta
    0xFFFF,    // yellow
};
// Resolution units; the sixth stage has none and is replaced again at every validation.
inline constexpr std::int32_t kDefaultDpiStageValues[kDpiStageCount] = {5, 10, 20, 30, 50, 0};
inline constexpr std::uint8_t kDefaultButtonFunctions[kButtonCount] = {1, 2,    3,    6,    6,
                                                                       6, 0x30, 0x31, 0x34, 0x35};
// Factory keys of buttons 4, 5 and 6 (single-key function): left Alt, left Control, left Shift.
inline constexpr std::uint8_t kFactorySingleKeys[3] = {0xE2, 0xE0, 0xE1};
// The factory lighting level and rate of every mode.
inline constexpr LedLevelEntry kFactoryLedLevel = {2, 8};

// The unloaded state: integers -1 (LedMode1 0), stages and levels zero, buttons numbered with
// their function unset.
void ResetProfileSet(ProfileSet& set);

// Copies source into target whole, then replaces unset and out-of-range values. Returns true
// when anything was replaced. Target and source may be the same set.
bool ValidateProfileSet(ProfileSet& target, const ProfileSet& source);

// Puts one profile (0..4) into its factory state; other indexes are ignored.
void ApplyFactoryDefaults(ProfileSet& set, int profileIndex);

// The lighting mode to act on: LedMode1 when it is 0..7, otherwise mode 0, so a stray value from
// a file never indexes the colours or level entries.
int LightingMode(const ProfileRecord& record);
std::int32_t LightingColor(const ProfileRecord& record);
// The level entry of the lighting mode; none for mode 7.
std::optional<LedLevelEntry> LightingLevel(const ProfileRecord& record);

// The name up to its terminator (at most 260 units when the terminator is missing).
std::u16string MacroNameOf(const ButtonAssignment& button);
// Clears the whole field and stores at most 259 units plus the terminator; a surrogate pair is
// never split at the cut.
void SetMacroName(ButtonAssignment& button, std::u16string_view name);
