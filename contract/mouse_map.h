#pragma once
// What the Vireo mouse itself defines: its identity and collections, its reports and commands,
// where each setting lives in its memory, and how resolutions and lighting modes are coded
// there. The agent writes and reads by these; the virtual mouse models the same memory.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace device_map {

// --- identity and collections ---

inline constexpr std::uint16_t kVendorId = 0x04D9;
inline constexpr std::uint16_t kProductId = 0xFC5D;
// Media keys arrive through the consumer collection; commands, answers, status and function
// reports go through the vendor collection.
inline constexpr std::uint16_t kConsumerUsagePage = 0x000C;
inline constexpr std::uint16_t kVendorUsagePage = 0xFFA0;
inline constexpr std::uint16_t kCollectionUsage = 1;  // both collections

// --- output reports and commands ---

inline constexpr std::uint8_t kShortReportId = 2;  // commands, accesses of up to 8 bytes
inline constexpr std::uint8_t kLongReportId = 3;   // accesses of up to 56 bytes
inline constexpr std::uint8_t kMacroReportId = 4;  // one macro area
inline constexpr std::size_t kShortReportLength = 16;
inline constexpr std::size_t kLongReportLength = 64;
inline constexpr std::size_t kMacroReportLength = 1024;
// Byte 1 the command, bytes 2-3 the address (low byte first), byte 4 the length; data (and an
// answer's data) from byte 8.
inline constexpr std::size_t kReportDataOffset = 8;

inline constexpr std::uint8_t kCommandApply = 0xF1;
inline constexpr std::uint8_t kCommandRead = 0xF2;
inline constexpr std::uint8_t kCommandWrite = 0xF3;
inline constexpr std::uint8_t kCommandTransfer = 0xF5;
inline constexpr std::uint8_t kTransferBegin = 0;
inline constexpr std::uint8_t kTransferEnd = 1;
inline constexpr std::uint8_t kApplyArgument = 0x02;

// Sections of the apply command, one bit each.
inline constexpr std::uint8_t kApplyActiveProfile = 0x01;
inline constexpr std::uint8_t kApplyResolution = 0x02;
inline constexpr std::uint8_t kApplyLighting = 0x04;
inline constexpr std::uint8_t kApplyPollingRate = 0x08;
inline constexpr std::uint8_t kApplyStageIndices = 0x10;

// --- input reports the mouse sends by itself ---

// Status and function reports: id 8, 16 bytes. Byte 1 is the status kind (value in byte 2), or
// kFunctionReportMarker with the button's function code in byte 2.
inline constexpr std::uint8_t kStatusReportId = 8;
inline constexpr std::size_t kStatusReportLength = 16;
inline constexpr std::uint8_t kStatusProfile = 1;
inline constexpr std::uint8_t kStatusStage = 2;
inline constexpr std::uint8_t kStatusPollingRate = 6;
inline constexpr std::uint8_t kStatusLighting = 9;  // bytes 3 and 5: effect and option
inline constexpr std::uint8_t kFunctionReportMarker = 0xFF;
// Media keys: id 1, 3 bytes (consumer usage, low byte first).
inline constexpr std::uint8_t kConsumerReportId = 1;

// --- the memory ---

inline constexpr int kMouseProfileCount = 5;
inline constexpr int kMouseStageCount = 5;
inline constexpr int kMouseButtonCount = 10;
inline constexpr int kMouseMacroAreaCount = 20;

inline constexpr std::uint16_t kWheelLinesAddress = 0x020;  // 2 bytes a profile
inline constexpr std::uint16_t kActiveProfileAddress = 0x02C;
inline constexpr std::uint16_t kPollingRateAddress = 0x032;      // 2 bytes a profile
inline constexpr std::uint16_t kPollingRateTailAddress = 0x038;  // profiles 3 and 4
inline constexpr std::uint16_t kClearBlockAddress = 0x03E;
inline constexpr std::uint16_t kLightingClearAddress = 0x446;
inline constexpr std::uint16_t kLightingAddress = 0x449;  // 8 bytes a profile
inline constexpr std::uint16_t kMacroAreaBase = 0x478;
inline constexpr std::uint16_t kMacroAreaSize = 200;
inline constexpr std::uint16_t kMacroReadChunk = 50;
// The memory ends with the last macro area.
inline constexpr std::size_t kMouseMemorySize =
    kMacroAreaBase + kMacroAreaSize * kMouseMacroAreaCount;

inline constexpr std::array<std::uint16_t, kMouseProfileCount> kProfileBlocks{0x040, 0x100, 0x1B0,
                                                                              0x260, 0x310};
inline constexpr std::uint16_t kProfileBlockSize = 0xB0;  // up to the next block's start
// A profile block: the stage index at +2, six bytes a stage from +4 (enabled, X code and range
// flag, Y code and range flag, one unused), four bytes a button slot from +66.
inline constexpr std::uint16_t kStageOffset = 4;
inline constexpr std::uint16_t kStageSize = 6;
inline constexpr std::uint16_t kButtonSlotOffset = 66;
inline constexpr std::uint8_t kStageReadLength = 0x20;  // stage index to the last stage
inline constexpr int kButtonSlotOfLastButton = 22;      // button 9 (wheel down) uses slot 22

// A profile outside 0-4 is held to the nearer end, so no address leaves the map.
constexpr std::uint16_t ProfileBlockAddress(int profile) {
  return kProfileBlocks[static_cast<std::size_t>(std::clamp(profile, 0, kMouseProfileCount - 1))];
}
constexpr std::uint16_t StageIndexAddress(int profile) {
  return ProfileBlockAddress(profile) + 2;
}
constexpr std::uint16_t StageAddress(int profile, int stage) {
  return ProfileBlockAddress(profile) + kStageOffset + kStageSize * stage;
}
constexpr int ButtonSlot(int button) {
  return button == kMouseButtonCount - 1 ? kButtonSlotOfLastButton : button;
}
constexpr std::uint16_t ButtonAddress(int profile, int button) {
  return ProfileBlockAddress(profile) + kButtonSlotOffset + 4 * ButtonSlot(button);
}
constexpr std::uint16_t WheelLinesAddress(int profile) {
  return kWheelLinesAddress + 2 * profile;
}
constexpr std::uint16_t PollingRateAddress(int profile) {
  return kPollingRateAddress + 2 * profile;
}
// Colour (3 bytes), effect, speed, option; the level byte follows.
constexpr std::uint16_t LightingAddress(int profile) {
  return kLightingAddress + 8 * profile;
}
constexpr std::uint16_t LightingLevelAddress(int profile) {
  return LightingAddress(profile) + 6;
}
constexpr std::uint16_t MacroAreaAddress(int area) {
  return kMacroAreaBase + kMacroAreaSize * area;
}

// --- resolutions ---

// A resolution value v (1-75) means v x 100 dots per inch up to 50 and (v - 25) x 200 above,
// so the range covers 100 to 10000.
inline constexpr int kMinResolution = 1;
inline constexpr int kMaxResolution = 75;
inline constexpr int kResolutionStepLimit = 50;  // the last value in steps of 100

constexpr int DotsPerInchOfResolution(int value) {
  return value <= kResolutionStepLimit ? value * 100 : (value - 25) * 200;
}
// The resolution value nearest to `dotsPerInch` within 1-75 (the lower one on a tie).
int ResolutionOfDotsPerInch(int dotsPerInch);

// The register value of resolution index 0..50; a value above 50 is coded as index value - 25
// with the range flag set.
extern const std::array<std::uint8_t, 51> kResolutionCodes;

struct ResolutionCode {
  std::uint8_t Code;
  std::uint8_t RangeFlag;  // 1: the value is Code's index + 25
};
// A value outside 1..75 is coded as the nearer of 1 and 75.
ResolutionCode EncodeResolution(std::int32_t value);
// The value of a code read back; nullopt for a code not in the table's indexes 1..50 (0 too).
std::optional<std::int32_t> DecodeResolution(std::uint8_t code, std::uint8_t rangeFlag);

// --- lighting modes ---

inline constexpr int kLightingModeCount = 8;

// How the mouse stores each of the eight lighting modes: the effect and option bytes, and the
// fastest speed it takes (0: the mode has no speed).
struct LightingModeCode {
  std::uint8_t Effect;
  std::uint8_t Option;
  std::uint8_t MaxSpeed;
};
inline constexpr std::array<LightingModeCode, kLightingModeCount> kLightingModes{{
    {1, 0x04, 9},
    {1, 0x08, 9},
    {1, 0x02, 0},
    {2, 0, 9},
    {6, 0, 9},
    {7, 0, 8},
    {1, 0x10, 8},
    {0, 0, 0},
}};
// The mode an effect and option stand for; pairs the mouse does not define count as mode 0.
int DecodeLightingMode(std::uint8_t effect, std::uint8_t option);

}  // namespace device_map
