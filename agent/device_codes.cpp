#include "agent/device_codes.h"

#include <algorithm>

#include "settings/key_tables.h"
#include "settings/macro.h"

using namespace device_map;

namespace {

constexpr std::uint8_t kRowPcFunction = 0x8E;  // first byte of PC-side and media-key rows
constexpr std::uint8_t kPcFunctionMarker = 0xFF;
constexpr std::uint8_t kCodeFireKeyPreset = 0x92;

// Virtual keys of the left modifiers, and their bits in a combination's mask.
constexpr unsigned kVkLeftWindows = 0x5B;
constexpr unsigned kVkLeftAlt = 0xA4;
constexpr unsigned kVkLeftShift = 0xA0;
constexpr unsigned kVkLeftCtrl = 0xA2;
struct ModifierBit {
  unsigned Vk;
  std::uint8_t Bit;
};
// Press order; releases go the other way.
constexpr ModifierBit kModifiers[4] = {
    {kVkLeftWindows, 8}, {kVkLeftAlt, 4}, {kVkLeftShift, 2}, {kVkLeftCtrl, 1}};
constexpr int kCombinationScanSteps = 10;

std::uint8_t ClampByte(std::int32_t value, std::int32_t low, std::int32_t high) {
  return static_cast<std::uint8_t>(std::clamp(value, low, high));
}

const ButtonCodeRow* RowOfFunction(std::uint8_t function) {
  for (const ButtonCodeRow& row : kButtonCodes) {
    if (row.Function == function) return &row;
  }
  return nullptr;
}

// The function a code read back names, nullopt when none.
std::optional<std::uint8_t> FunctionOfCode(std::span<const std::uint8_t, 4> code) {
  for (const ButtonCodeRow& row : kButtonCodes) {
    if (code[0] == kRowPcFunction) {
      if (row.Code[0] != kRowPcFunction) continue;
      // PC-side functions carry their own number; media keys a consumer usage.
      const bool pcFunction = code[2] == kPcFunctionMarker;
      if (pcFunction && row.Code[2] == kPcFunctionMarker && row.Code[3] == code[3]) {
        return row.Function;
      }
      if (!pcFunction && row.Code[2] != kPcFunctionMarker && row.Code[2] == code[2]) {
        return row.Function;
      }
    } else if (row.Code[0] == code[0]) {
      return row.Function;
    }
  }
  return std::nullopt;
}

// The speed of a mode comes from the mode's own level entry, which modes 0-6 have.
constexpr bool EveryModeWithASpeedHasALevelEntry() {
  for (int mode = kLedLevelCount; mode < kLightingModeCount; ++mode) {
    if (kLightingModes[static_cast<std::size_t>(mode)].MaxSpeed != 0) return false;
  }
  return true;
}
static_assert(EveryModeWithASpeedHasALevelEntry());

void PutStep(ButtonAssignment& button, int step, std::uint8_t usage, bool press) {
  button.KeyBlock[3 * step] = usage;
  button.KeyBlock[3 * step + 1] = kKeyStepMarker;
  button.KeyBlock[3 * step + 2] = press ? kKeyStepPress : 0;
}

}  // namespace

LightingBytes EncodeLighting(ProfileRecord& record) {
  const int mode = LightingMode(record);
  const LightingModeCode& entry = kLightingModes[mode];
  std::uint8_t speed = 0;
  if (entry.MaxSpeed > 0) {
    // A mode with a speed always has a level entry of its own.
    std::int32_t& rate = record.LedLevels[mode].Rate;
    // Too fast a rate is corrected where it is kept as well; a negative one only on the wire.
    if (rate > entry.MaxSpeed) rate = entry.MaxSpeed;
    speed = ClampByte(rate, 0, entry.MaxSpeed);
  }
  const auto colour = static_cast<std::uint32_t>(LightingColor(record));
  LightingBytes bytes{};
  bytes.Setting = {static_cast<std::uint8_t>(colour & 0xFF),
                   static_cast<std::uint8_t>((colour >> 8) & 0xFF),
                   static_cast<std::uint8_t>((colour >> 16) & 0xFF),
                   entry.Effect,
                   speed,
                   entry.Option};
  // Mode 7 has no level entry.
  const std::optional<LedLevelEntry> level = LightingLevel(record);
  bytes.Level = level ? ClampByte(level->Level, 0, 3) : 0;
  return bytes;
}

// clang-format off
const std::array<ButtonCodeRow, 49> kButtonCodes = {{
    {1, {0x81, 0, 0, 0}}, {2, {0x82, 0, 0, 0}}, {3, {0x83, 0, 0, 0}}, {4, {0x85, 0, 0, 0}},
    {5, {0x84, 0, 0, 0}}, {6, {0x90, 0, 0, 0}}, {7, {0x8F, 0, 0, 0}}, {12, {0x99, 0, 0, 0}},
    {13, {0x30, 0, 0, 0}}, {14, {0x8D, 0, 0, 0}}, {16, {0x00, 0, 0, 0}},
    {17, {0x8E, 1, 0xFF, 17}}, {18, {0x8E, 1, 0xFF, 18}}, {19, {0x8E, 1, 0xFF, 19}},
    {20, {0x8E, 1, 0xFF, 20}}, {21, {0x8E, 1, 0xFF, 21}}, {22, {0x8E, 1, 0xFF, 22}},
    {23, {0x8E, 1, 0xFF, 23}}, {24, {0x8E, 1, 0xFF, 24}}, {25, {0x8E, 1, 0xFF, 25}},
    {26, {0x8E, 1, 0xFF, 26}}, {27, {0x8E, 1, 0xFF, 27}}, {28, {0x8E, 1, 0xFF, 28}},
    {29, {0x8E, 1, 0xFF, 29}}, {30, {0x8E, 1, 0xFF, 30}}, {31, {0x8E, 1, 0xFF, 31}},
    {32, {0x8E, 1, 0xFF, 32}}, {33, {0x8E, 1, 0xFF, 33}}, {34, {0x8E, 1, 0xFF, 34}},
    {35, {0x8E, 1, 0xFF, 35}}, {36, {0x8E, 1, 0xFF, 36}}, {37, {0x8E, 1, 0xFF, 37}},
    {38, {0x8E, 1, 0xFF, 38}},
    {100, {0x91, 0, 0, 0}},
    {39, {0x8E, 1, 0xCD, 0}}, {40, {0x8E, 1, 0xB7, 0}}, {41, {0x8E, 1, 0xB6, 0}},
    {42, {0x8E, 1, 0xB5, 0}}, {43, {0x8E, 1, 0xE9, 0}}, {44, {0x8E, 1, 0xEA, 0}},
    {45, {0x8E, 1, 0xE2, 0}},
    {47, {0x88, 0, 0, 0}}, {48, {0x8A, 0, 0, 0}}, {49, {0x89, 0, 0, 0}}, {50, {0x97, 0, 0, 0}},
    {51, {0x98, 0, 0, 0}}, {52, {0x8B, 0, 0, 0}}, {53, {0x8C, 0, 0, 0}}, {54, {0x9B, 4, 0, 0}},
}};
// clang-format on

ButtonCode TableButtonCode(std::uint8_t function) {
  const ButtonCodeRow* row = RowOfFunction(function);
  return row ? row->Code : ButtonCode{};
}

KeyCombination KeyCombinationOf(const ButtonAssignment& button) {
  KeyCombination combination{};
  for (int step = 0; step < kCombinationScanSteps; ++step) {
    const std::uint8_t usage = button.KeyBlock[3 * step];
    if (usage == 0) continue;
    unsigned vk = 0;
    VkOfUsage(usage, vk);
    const auto modifier = std::find_if(std::begin(kModifiers), std::end(kModifiers),
                                       [vk](const ModifierBit& m) { return m.Vk == vk; });
    // Each modifier appears twice (press and release): the mask names it once, so an odd
    // block can never turn one modifier into another.
    if (modifier != std::end(kModifiers)) {
      combination.Mask |= modifier->Bit;
    } else {
      combination.Key = usage;
    }
  }
  return combination;
}

int BuildKeyCombination(ButtonAssignment& button, std::uint8_t mask, std::uint8_t key) {
  std::fill(std::begin(button.KeyBlock), std::end(button.KeyBlock), 0);
  int step = 0;
  auto modifierUsage = [](const ModifierBit& m) {
    unsigned usage = 0;
    UsageOfVk(m.Vk, usage);
    return static_cast<std::uint8_t>(usage);
  };
  for (const ModifierBit& m : kModifiers) {
    if (mask & m.Bit) PutStep(button, step++, modifierUsage(m), true);
  }
  if (key != 0) {
    PutStep(button, step++, key, true);
    PutStep(button, step++, key, false);
  }
  for (auto m = std::rbegin(kModifiers); m != std::rend(kModifiers); ++m) {
    if (mask & m->Bit) PutStep(button, step++, modifierUsage(*m), false);
  }
  return step;
}

std::uint8_t DeviceFireKey(std::uint8_t storedKey) {
  switch (storedKey) {
    case kFireMouseButton1:
      return 0x81;
    case kFireMouseButton2:
      return 0x82;
    case kFireMouseButton3:
      return 0x84;
    default:
      return storedKey;
  }
}

std::uint8_t StoredFireKey(std::uint8_t deviceKey) {
  switch (deviceKey) {
    case 0x81:
      return kFireMouseButton1;
    case 0x82:
      return kFireMouseButton2;
    case 0x84:
      return kFireMouseButton3;
    default:
      return deviceKey;
  }
}

ButtonCode EncodeButton(ButtonAssignment& button) {
  ButtonCode code = TableButtonCode(button.ButtonFunc);
  switch (button.ButtonFunc) {
    case kFunctionSingleKey:
      code[1] = 0;
      code[2] = button.KeyBlock[0];
      code[3] = 0;
      break;
    case kFunctionKeyCombination: {
      const KeyCombination combination = KeyCombinationOf(button);
      code[1] = combination.Mask;
      code[2] = combination.Key;
      code[3] = 0;
      break;
    }
    case kFunctionFireKey:
      button.KeyBlock[0] = DeviceFireKey(button.KeyBlock[0]);
      if (button.KeyBlock[0] == 0) {
        code[1] = 0x81;
        code[2] = 3;
        code[3] = 0;
      } else {
        code[1] = button.KeyBlock[0];
        code[2] = button.LoopNumber;
        code[3] = static_cast<std::uint8_t>(button.KeyNumber / 10);
      }
      break;
    default:
      break;
  }
  return code;
}

ButtonCode MacroButtonCode(int slot, const Macro& macro) {
  ButtonCode code = TableButtonCode(kFunctionMacro);
  std::uint8_t slotByte = static_cast<std::uint8_t>(std::clamp(slot, 0, 0x3F));
  if (macro.LoopType == 1) slotByte |= 0x80;
  if (macro.LoopType == 3) slotByte |= 0x40;
  const std::uint16_t repeat = DeviceRepeatCount(macro);
  code[1] = slotByte;
  code[2] = static_cast<std::uint8_t>(repeat & 0xFF);
  code[3] = static_cast<std::uint8_t>(repeat >> 8);
  return code;
}

void DecodeButton(ButtonAssignment& button, std::span<const std::uint8_t, 4> code) {
  if (code[0] == kCodeFireKeyPreset) {
    button.ButtonFunc = kFunctionFireKey;
    button.KeyBlock[0] = kFireMouseButton1;
    button.LoopNumber = 3;
    button.KeyNumber = 10;
    return;
  }
  const std::optional<std::uint8_t> function = FunctionOfCode(code);
  if (!function) return;
  button.ButtonFunc = *function;
  switch (*function) {
    case kFunctionSingleKey:
      button.KeyBlock[0] = code[2];
      break;
    case kFunctionFireKey:
      button.KeyBlock[0] = StoredFireKey(code[1]);
      button.LoopNumber = code[2];
      // The interval travels in tens; more than fits a byte means the largest interval.
      button.KeyNumber = static_cast<std::uint8_t>(std::min(code[3] * 10, 255));
      break;
    case kFunctionKeyCombination:
      button.KeyNumber = static_cast<std::uint8_t>(BuildKeyCombination(button, code[1], code[2]));
      break;
    default:
      break;
  }
}
