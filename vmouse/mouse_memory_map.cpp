#include "vmouse/mouse_memory_map.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>

using namespace device_map;

namespace {

std::string Format(const char* format, auto... args) {
  char buffer[160];
  const int n = std::snprintf(buffer, sizeof buffer, format, args...);
  return std::string(buffer, static_cast<std::size_t>(std::clamp(n, 0, 159)));
}

// The records at the start of a macro area: they end at 00 00 00, FF FF FF or FF FF 00, or
// after 63.
std::size_t MacroRecordsIn(std::span<const uint8_t> data) {
  std::size_t records = 0;
  while (records < 63 && 3 * records + 3 <= data.size()) {
    const auto r = data.subspan(3 * records, 3);
    if ((r[0] == 0 && r[1] == 0 && r[2] == 0) || (r[0] == 0xFF && r[1] == 0xFF)) break;
    ++records;
  }
  return records;
}

std::string HexBytes(std::span<const uint8_t> bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) text += ' ';
    text += Format("%02X", bytes[i]);
  }
  return text;
}

std::string ConsumerUsageName(uint8_t usage) {
  switch (usage) {
    case 0xCD:
      return "play/pause";
    case 0xB7:
      return "stop";
    case 0xB6:
      return "previous track";
    case 0xB5:
      return "next track";
    case 0xE9:
      return "volume up";
    case 0xEA:
      return "volume down";
    case 0xE2:
      return "mute";
  }
  return Format("usage 0x%02X", usage);
}

std::string DescribeStage(std::span<const uint8_t> six) {
  auto resolution = [](uint8_t code, uint8_t flag) {
    const int dpi = ResolutionOfStageCode(code, flag);
    return dpi > 0 ? Format("%d dpi", dpi) : Format("code %u/%u", code, flag);
  };
  return Format("%s x %s y %s", six[0] ? "on" : "off", resolution(six[1], six[2]).c_str(),
                resolution(six[3], six[4]).c_str());
}

std::string DescribeLighting(std::span<const uint8_t> six) {
  return Format("colour %02X %02X %02X effect %u speed %u option 0x%02X (mode %d)", six[0], six[1],
                six[2], six[3], six[4], six[5], DecodeLightingMode(six[3], six[5]));
}

// Up to `count` bytes at `at` of the written data, zero-padded: lets a describer read a whole
// field even when a write covers only part of it.
std::array<uint8_t, 8> Field(std::span<const uint8_t> data, std::size_t at) {
  std::array<uint8_t, 8> field{};
  for (std::size_t i = 0; i < field.size() && at + i < data.size(); ++i) field[i] = data[at + i];
  return field;
}

// Profile whose block holds the address, or -1.
int ProfileOf(uint32_t address) {
  for (int p = 0; p < kMouseProfileCount; ++p) {
    const uint32_t start = ProfileBlockAddress(p);
    if (address >= start && address < start + kProfileBlockSize) return p;
  }
  return -1;
}

std::string DescribeInProfile(int p, uint32_t offset, std::span<const uint8_t> data) {
  if (offset == 2) {
    std::string text = Format("profile %d current stage %u", p, data[0]);
    // A longer access here is the resolution read-back of the whole block.
    for (std::size_t s = 0; s < kMouseStageCount && 2 + 6 * s + 6 <= data.size(); ++s) {
      const auto stage = data.subspan(2 + 6 * s, 6);
      text += Format("; stage %zu %s", s, DescribeStage(stage).c_str());
    }
    return text;
  }
  if (offset >= 4 && offset < 4 + 6 * kMouseStageCount && (offset - 4) % 6 == 0) {
    const auto field = Field(data, 0);
    return Format("profile %d stage %u: %s", p, (offset - 4) / 6,
                  DescribeStage(std::span(field).first(6)).c_str());
  }
  if (offset >= 66 && (offset - 66) % 4 == 0) {
    const int slot = static_cast<int>((offset - 66) / 4);
    const int button = slot < 9 ? slot : (slot == 22 ? 9 : -1);
    const auto field = Field(data, 0);
    const std::string code = DescribeButtonCode(std::span(field).first<4>());
    if (button < 0) return Format("profile %d slot %d: %s", p, slot, code.c_str());
    return Format("profile %d button %d: %s", p, button, code.c_str());
  }
  return Format("profile %d +%u", p, offset);
}

}  // namespace

int ResolutionOfStageCode(uint8_t code, uint8_t rangeFlag) {
  const std::optional<std::int32_t> value = DecodeResolution(code, rangeFlag);
  return value ? DotsPerInchOfResolution(*value) : 0;
}

std::string DescribeButtonCode(std::span<const uint8_t, 4> code) {
  const std::string bytes = HexBytes(code);
  std::string meaning;
  switch (code[0]) {
    case 0x00:
      meaning = "no function";
      break;
    case 0x81:
      meaning = "mouse button 1";
      break;
    case 0x82:
      meaning = "mouse button 2";
      break;
    case 0x83:
      meaning = "mouse button 3";
      break;
    case 0x85:
      meaning = "mouse button 4";
      break;
    case 0x84:
      meaning = "mouse button 5";
      break;
    case 0x90:
      meaning = Format("key 0x%02X", code[2]);
      break;
    case 0x8F:
      meaning = Format("key 0x%02X with modifiers 0x%02X", code[2], code[1]);
      break;
    case 0x99:
      meaning = Format("fire 0x%02X, %u shots, interval %u", code[1], code[2], code[3]);
      break;
    case 0x92:
      meaning = "fire mouse button 1";
      break;
    case 0x91: {
      const char* loop = (code[1] & 0x80) ? " until released" : (code[1] & 0x40) ? " toggled" : "";
      meaning = Format("macro area %u%s, %u times", code[1] & 0x3F, loop, code[2] | (code[3] << 8));
      break;
    }
    case 0x8E:
      meaning = code[2] == 0xFF ? Format("PC function 0x%02X", code[3])
                                : "media " + ConsumerUsageName(code[2]);
      break;
    case 0x30:
      meaning = "resolution cycle";
      break;
    case 0x88:
      meaning = "resolution cycle";
      break;
    case 0x8A:
      meaning = "resolution up";
      break;
    case 0x89:
      meaning = "resolution down";
      break;
    case 0x97:
      meaning = "polling rate up";
      break;
    case 0x98:
      meaning = "polling rate down";
      break;
    case 0x8D:
      meaning = "profile cycle";
      break;
    case 0x8B:
      meaning = "scroll up";
      break;
    case 0x8C:
      meaning = "scroll down";
      break;
    case 0x9B:
      meaning = "scroll function";
      break;
    default:
      meaning = "unknown";
      break;
  }
  return bytes + " (" + meaning + ")";
}

std::string DescribeMemoryWrite(uint32_t address, std::span<const uint8_t> data) {
  if (data.empty()) return "nothing";
  if (address == kWheelLinesAddress) {
    std::string text = "wheel lines";
    for (std::size_t i = 0; 2 * i < data.size(); ++i) {
      text += Format(" p%zu=%u", i, data[2 * i]);
    }
    return text;
  }
  if (address == kActiveProfileAddress) return Format("active profile %u", data[0]);
  if (address >= kPollingRateAddress && address < kPollingRateAddress + 10 &&
      (address - kPollingRateAddress) % 2 == 0) {
    std::string text = "polling rates";
    const uint32_t first = (address - kPollingRateAddress) / 2;
    for (std::size_t i = 0; 2 * i < data.size(); ++i) {
      text += Format(" p%zu=%u", first + i, data[2 * i]);
    }
    return text;
  }
  if (address == kClearBlockAddress) return "clear block " + HexBytes(data);
  if (address == kLightingClearAddress) return "lighting clear " + HexBytes(data);
  if (address >= kLightingAddress && address < kLightingAddress + 8 * kMouseProfileCount) {
    const uint32_t p = (address - kLightingAddress) / 8;
    const uint32_t offset = (address - kLightingAddress) % 8;
    if (offset == 0) {
      const auto field = Field(data, 0);
      std::string text =
          Format("profile %u lighting %s", p, DescribeLighting(std::span(field).first(6)).c_str());
      if (data.size() >= 7) text += Format(" state %u", data[6]);
      return text;
    }
    if (offset == 6) return Format("profile %u lighting level %u", p, data[0]);
  }
  if (address >= kMacroAreaBase && address < kMouseMemorySize) {
    const uint32_t area = (address - kMacroAreaBase) / kMacroAreaSize;
    const uint32_t offset = (address - kMacroAreaBase) % kMacroAreaSize;
    if (offset == 0) return Format("macro area %u: %zu records", area, MacroRecordsIn(data));
    return Format("macro area %u +%u", area, offset);
  }
  const int p = ProfileOf(address);
  if (p >= 0) return DescribeInProfile(p, address - ProfileBlockAddress(p), data);
  return "unmapped";
}

std::string DescribeMemoryRange(uint32_t address, std::size_t length) {
  if (address == kActiveProfileAddress) return "active profile";
  if (address >= kPollingRateAddress && address < kPollingRateAddress + 10) {
    return "polling rates";
  }
  if (address >= kLightingAddress && address < kLightingAddress + 8 * kMouseProfileCount) {
    return Format("profile %u lighting", (address - kLightingAddress) / 8);
  }
  if (address >= kMacroAreaBase && address < kMouseMemorySize) {
    return Format("macro area %u +%u", (address - kMacroAreaBase) / kMacroAreaSize,
                  (address - kMacroAreaBase) % kMacroAreaSize);
  }
  const int p = ProfileOf(address);
  if (p >= 0) {
    const uint32_t offset = address - ProfileBlockAddress(p);
    if (offset == 2) return Format("profile %d stages", p);
    if (offset >= 66 && (offset - 66) % 4 == 0 && length <= 4) {
      const uint32_t slot = (offset - 66) / 4;
      return Format("profile %d button %u", p, slot == 22 ? 9 : slot);
    }
    return Format("profile %d +%u", p, offset);
  }
  return "unmapped";
}

std::string DescribeProfile(std::span<const uint8_t> memory, int profile) {
  auto at = [&](uint32_t address) { return address < memory.size() ? memory[address] : 0; };
  auto range = [&](uint32_t address, std::size_t n) {
    std::array<uint8_t, 8> bytes{};
    for (std::size_t i = 0; i < n && i < bytes.size(); ++i) bytes[i] = at(address + i);
    return bytes;
  };
  const int p = profile;
  std::string text =
      Format("profile %d%s\n", p, at(kActiveProfileAddress) == p ? " (stored active)" : "");
  text += Format("  polling rate %u, wheel lines %u, current stage %u\n", at(PollingRateAddress(p)),
                 at(WheelLinesAddress(p)), at(StageIndexAddress(p)));
  for (int s = 0; s < kMouseStageCount; ++s) {
    const auto stage = range(StageAddress(p, s), 6);
    text += Format("  stage %d: %s\n", s, DescribeStage(std::span(stage).first(6)).c_str());
  }
  for (int b = 0; b < kMouseButtonCount; ++b) {
    const auto code = range(ButtonAddress(p, b), 4);
    text += Format("  button %d: %s\n", b, DescribeButtonCode(std::span(code).first<4>()).c_str());
  }
  const auto lighting = range(LightingAddress(p), 6);
  text +=
      Format("  lighting %s, level %u\n", DescribeLighting(std::span(lighting).first(6)).c_str(),
             at(LightingLevelAddress(p)));
  return text;
}

std::string DescribeMacroArea(std::span<const uint8_t> memory, int area) {
  const std::size_t start = std::min<std::size_t>(MacroAreaAddress(area), memory.size());
  const auto bytes =
      memory.subspan(start, std::min<std::size_t>(kMacroAreaSize, memory.size() - start));
  const std::size_t records = MacroRecordsIn(bytes);
  std::string text = Format("macro area %d: %zu records\n", area, records);
  for (std::size_t i = 0; i < records; ++i) {
    const uint8_t kind = bytes[3 * i] & 0x7F, data1 = bytes[3 * i + 1];
    const char* way = bytes[3 * i] & 0x80 ? "down" : "up";
    if (kind == 6) {
      text += Format("  delay %u ms\n", 10u * (data1 | (bytes[3 * i + 2] << 8)));
    } else if (kind == 4) {
      text += Format("  key 0x%02X %s\n", data1, way);
    } else if (kind >= 1 && kind <= 3) {
      // Bits 1, 2, 4 are buttons 1, 2, 3; another byte names the button by the kind.
      const unsigned button = data1 == 1 ? 1 : data1 == 2 ? 2 : data1 == 4 ? 3 : kind;
      text += Format("  button %u %s\n", button, way);
    } else {
      text += Format("  %02X %02X %02X\n", bytes[3 * i], data1, bytes[3 * i + 2]);
    }
  }
  return text;
}

std::string HexDump(std::span<const uint8_t> memory) {
  std::string text;
  for (std::size_t row = 0; row < memory.size(); row += 16) {
    text += Format("%04zX:", row);
    for (std::size_t i = row; i < row + 16 && i < memory.size(); ++i) {
      text += Format(" %02X", memory[i]);
    }
    text += '\n';
  }
  return text;
}
