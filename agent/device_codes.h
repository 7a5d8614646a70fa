#pragma once
// How the mouse's memory encodes the settings of a profile: the report layouts, the memory
// map, the resolution code table, the lighting modes and the button function codes. Pure
// functions only; MouseProtocol puts them on the wire.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "settings/profile_set.h"

// Report layouts, commands and the memory map: the names the virtual mouse uses for the same
// map stay apart from these.
namespace device_map {

// Report ids and their lengths.
inline constexpr std::uint8_t kShortReportId = 2;  // commands, accesses of up to 8 bytes
inline constexpr std::uint8_t kLongReportId = 3;   // accesses of up to 56 bytes
inline constexpr std::uint8_t kMacroReportId = 4;  // one macro area
inline constexpr std::size_t kShortReportLength = 16;
inline constexpr std::size_t kLongReportLength = 64;
inline constexpr std::size_t kMacroReportLength = 1024;
inline constexpr std::size_t kReportDataOffset = 8;  // data bytes of writes and answers

// Commands (report byte 1).
inline constexpr std::uint8_t kCommandApply = 0xF1;
inline constexpr std::uint8_t kCommandRead = 0xF2;
inline constexpr std::uint8_t kCommandWrite = 0xF3;
inline constexpr std::uint8_t kCommandTransfer = 0xF5;
inline constexpr std::uint8_t kTransferBegin = 0;
inline constexpr std::uint8_t kTransferEnd = 1;
inline constexpr std::uint8_t kApplyArgument = 0x02;

// Sections of the apply command.
inline constexpr std::uint8_t kApplyActiveProfile = 0x01;
inline constexpr std::uint8_t kApplyResolution = 0x02;
inline constexpr std::uint8_t kApplyLighting = 0x04;
inline constexpr std::uint8_t kApplyPollingRate = 0x08;
inline constexpr std::uint8_t kApplyStageIndices = 0x10;

// The memory map.
inline constexpr std::uint16_t kWheelLinesAddress = 0x020;
inline constexpr std::uint16_t kActiveProfileAddress = 0x02C;
inline constexpr std::uint16_t kPollingRateAddress = 0x032;
inline constexpr std::uint16_t kPollingRateTailAddress = 0x038;  // profiles 3 and 4
inline constexpr std::uint16_t kClearBlockAddress = 0x03E;
inline constexpr std::uint16_t kLightingClearAddress = 0x446;
inline constexpr std::uint16_t kMacroAreaBase = 0x478;
inline constexpr std::uint16_t kMacroAreaSize = 200;
inline constexpr std::uint16_t kMacroReadChunk = 50;
inline constexpr std::uint8_t kStageReadLength = 0x20;
inline constexpr int kButtonSlotOfLastButton = 22;  // button 9 lives in slot 22

std::uint16_t ProfileBlockAddress(int profile);  // P(i)
std::uint16_t StageIndexAddress(int profile);    // P(i) + 2
std::uint16_t StageAddress(int profile, int stage);
std::uint16_t ButtonAddress(int profile, int button);
std::uint16_t LightingAddress(int profile);
std::uint16_t LightingLevelAddress(int profile);
std::uint16_t MacroAreaAddress(int area);

}  // namespace device_map

// Resolution code table T: the register value of resolution index 0..50.
extern const std::array<std::uint8_t, 51> kResolutionCodes;

struct ResolutionCode {
  std::uint8_t Code;
  std::uint8_t RangeFlag;  // 1: the value is Code's index + 25
};
// A resolution value outside 1..75 is sent as the nearer of 1 and 75.
ResolutionCode EncodeResolution(std::int32_t value);
// The value of a code read back; nullopt for a code not in T[1..50] (0 included).
std::optional<std::int32_t> DecodeResolution(std::uint8_t code, std::uint8_t rangeFlag);

struct LightingModeEntry {
  std::uint8_t Effect;
  std::uint8_t Option;
  std::int8_t SpeedSource;  // level entry whose Rate is the speed; -1: speed 0
  std::uint8_t MaxSpeed;
};
extern const std::array<LightingModeEntry, kLedModeCount> kLightingModes;

// The lighting mode of an effect and option as the mouse reports them.
int DecodeLightingMode(std::uint8_t effect, std::uint8_t option);

// The six lighting bytes of a profile (colour 0-2, effect, speed, option) and its level byte.
// A speed above the mode's largest is replaced by it in the record as well.
struct LightingBytes {
  std::array<std::uint8_t, 6> Setting;
  std::uint8_t Level;
};
LightingBytes EncodeLighting(ProfileRecord& record);

using ButtonCode = std::array<std::uint8_t, 4>;

struct ButtonCodeRow {
  std::uint8_t Function;  // "ButtonFunc"
  ButtonCode Code;
};
extern const std::array<ButtonCodeRow, 49> kButtonCodes;

inline constexpr std::uint8_t kFunctionSingleKey = 6;
inline constexpr std::uint8_t kFunctionKeyCombination = 7;
inline constexpr std::uint8_t kFunctionFireKey = 12;
inline constexpr std::uint8_t kFunctionMacro = 100;

// The table row of a function; 00 00 00 00 for one that is not in the table.
ButtonCode TableButtonCode(std::uint8_t function);

// Modifier mask (8 Windows, 4 Alt, 2 Shift, 1 Ctrl) and key usage of a key combination,
// from the first ten steps of its key block.
struct KeyCombination {
  std::uint8_t Mask;
  std::uint8_t Key;
};
KeyCombination KeyCombinationOf(const ButtonAssignment& button);
// The key block of a combination read back: the modifier presses, the key, the releases in
// reverse order. Returns the number of steps.
int BuildKeyCombination(ButtonAssignment& button, std::uint8_t mask, std::uint8_t key);

// Fire keys name the mouse buttons 0xF0..0xF2 in files and 0x81, 0x82, 0x84 in the mouse.
std::uint8_t DeviceFireKey(std::uint8_t storedKey);
std::uint8_t StoredFireKey(std::uint8_t deviceKey);

// The code of a button for every function but the macro. A fire key's stored mouse button
// is turned into the mouse's numbering in the record as well.
ButtonCode EncodeButton(ButtonAssignment& button);
// The code of a macro button playing library slot `slot` with the macro's playback settings.
struct Macro;
ButtonCode MacroButtonCode(int slot, const Macro& macro);

// Applies the four code bytes read back from a button slot to the assignment. A code of no
// known function leaves the assignment unchanged.
void DecodeButton(ButtonAssignment& button, std::span<const std::uint8_t, 4> code);
