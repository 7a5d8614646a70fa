#pragma once
// Readable descriptions of the Vireo's memory ranges and button codes for the virtual mouse's
// log and dumps. Where each setting lives is the mouse's own map (contract/mouse_map.h).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "contract/mouse_map.h"

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
// The records of macro area 0-19, one line each ("key 0x04 down", "delay 10 ms", "button 1
// up"), up to the record that ends them.
std::string DescribeMacroArea(std::span<const uint8_t> memory, int area);
// Hex lines of 16 bytes with their addresses.
std::string HexDump(std::span<const uint8_t> memory);
