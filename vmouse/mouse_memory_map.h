#pragma once
// The Vireo's settings memory: where each setting lives, and readable descriptions of memory
// ranges and button codes for the virtual mouse's log and dumps.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

inline constexpr int kMouseProfileCount = 5;
inline constexpr int kMouseStageCount = 5;
inline constexpr int kMouseButtonCount = 10;
inline constexpr int kMouseMacroAreaCount = 20;

inline constexpr uint32_t kWheelLinesAddress = 0x020;
inline constexpr uint32_t kActiveProfileAddress = 0x02C;
inline constexpr uint32_t kPollingRatesAddress = 0x032;
inline constexpr uint32_t kClearBlockAddress = 0x03E;
inline constexpr uint32_t kLightingClearAddress = 0x446;
inline constexpr uint32_t kLightingAddress = 0x449;
inline constexpr uint32_t kMacroAreasAddress = 0x478;
inline constexpr uint32_t kMacroAreaSize = 200;
// The memory ends with the last macro area.
inline constexpr std::size_t kMouseMemorySize =
    kMacroAreasAddress + kMacroAreaSize * kMouseMacroAreaCount;

inline constexpr std::array<uint32_t, kMouseProfileCount> kProfileBlocks{0x040, 0x100, 0x1B0, 0x260,
                                                                         0x310};
inline constexpr uint32_t kProfileBlockSize = 0xB0;  // up to the next block's start

constexpr uint32_t ProfileBase(int profile) {
  return kProfileBlocks[profile];
}
constexpr uint32_t StageIndexAddress(int profile) {
  return ProfileBase(profile) + 2;
}
constexpr uint32_t StageAddress(int profile, int stage) {
  return ProfileBase(profile) + 4 + 6 * stage;
}
// Buttons 0-8 use slots 0-8; button 9 (wheel down) uses slot 22.
constexpr int ButtonSlot(int button) {
  return button < 9 ? button : 22;
}
constexpr uint32_t ButtonAddress(int profile, int button) {
  return ProfileBase(profile) + 66 + 4 * ButtonSlot(button);
}
constexpr uint32_t WheelLinesAddress(int profile) {
  return kWheelLinesAddress + 2 * profile;
}
constexpr uint32_t PollingRateAddress(int profile) {
  return kPollingRatesAddress + 2 * profile;
}
constexpr uint32_t LightingAddress(int profile) {
  return kLightingAddress + 8 * profile;
}
constexpr uint32_t LightingLevelAddress(int profile) {
  return LightingAddress(profile) + 6;
}
constexpr uint32_t MacroAreaAddress(int area) {
  return kMacroAreasAddress + kMacroAreaSize * area;
}

// The eight lighting modes as the mouse stores them.
struct LightingModeCode {
  uint8_t Effect = 0;
  uint8_t Option = 0;
  uint8_t MaxSpeed = 0;  // 0: the mode has no speed
};
inline constexpr std::array<LightingModeCode, 8> kLightingModeCodes{{
    {1, 0x04, 9},
    {1, 0x08, 9},
    {1, 0x02, 0},
    {2, 0, 9},
    {6, 0, 9},
    {7, 0, 8},
    {1, 0x10, 8},
    {0, 0, 0},
}};
// The mode an effect and option stand for; unknown pairs count as mode 0.
int LightingModeOf(uint8_t effect, uint8_t option);

// Polling-rate codes from the slowest (8) to the fastest (1).
inline constexpr std::array<uint8_t, 4> kPollingRateCodes{8, 4, 2, 1};

// Resolution in dots per inch of a stage code and range flag; 0 when the code means nothing.
int ResolutionOfStageCode(uint8_t code, uint8_t rangeFlag);

// "mouse button 1", "PC function 0x12", "key 0x04" ... for a 4-byte button code.
std::string DescribeButtonCode(std::span<const uint8_t, 4> code);
// What a write of these bytes at this address sets, e.g. "profile 0 lighting colour 12 34 56
// effect 1 speed 4 option 0x04 (mode 0)".
std::string DescribeMemoryWrite(uint32_t address, std::span<const uint8_t> data);
// What a read of this range asks for, e.g. "profile 2 stages", "macro area 3 +50".
std::string DescribeMemoryRange(uint32_t address, std::size_t length);
// Human-readable settings of one profile, several lines.
std::string DescribeProfile(std::span<const uint8_t> memory, int profile);
// Hex lines of 16 bytes with their addresses.
std::string HexDump(std::span<const uint8_t> memory);
