#pragma once
// The three numberings of keys and the tables that connect them: HID keyboard usages (stored
// data and the mouse), Windows virtual keys (what Windows delivers and accepts) and the
// configurator's key-name index (which selects a display name).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class KeyboardLayout;

struct VkUsagePair {
  std::uint8_t Vk;
  std::uint8_t Usage;
};

struct KeyIndexPair {
  std::uint8_t Index;
  std::uint8_t Vk;  // 0: the index names no key
};

struct CaptionNamePair {
  std::uint8_t Vk;
  std::u16string_view Name;
};

// Shared by both programs: every virtual key and every usage occurs once.
extern const std::array<VkUsagePair, 104> UsageTable;
// Indices 16..159; index 156 occurs twice and many indices have no key.
extern const std::array<KeyIndexPair, 145> KeyIndexTable;
// Display names by key-name index 0..255; "" where an index has no name.
extern const std::array<std::u16string_view, 256> KeyNameTable;
// Short names for the caption of a single-key assignment.
extern const std::array<CaptionNamePair, 62> CaptionNameTable;

// Lookups scan every pair and the last match wins. When nothing matches, the found flag is
// false and the caller's value is left as it was.
bool UsageOfVk(unsigned vk, unsigned& usage);
bool VkOfUsage(unsigned usage, unsigned& vk);

// Key-name index of a virtual key, 0 when none.
unsigned KeyIndexOfVk(unsigned vk);

// Display name of a key-name index (only its low 8 bits count); "" when none.
std::u16string_view KeyName(unsigned index);

// Display name of a HID usage through its virtual key and key-name index.
std::u16string_view UsageKeyName(unsigned usage);

// Short name of a virtual key: the table's name, else the upper-cased character that the
// layout types for the key ("" when it types none).
std::u16string CaptionKeyName(unsigned vk, const KeyboardLayout& layout);

// Caption of a key combination held as key steps (3 bytes each: usage, 5, press flag):
// the modifiers present in the order Shift, Ctrl, Windows, Alt, then the other key, joined by
// " + ". With fewer than four steps the combination is one key, named by its first step.
std::u16string CombinationCaption(std::span<const std::uint8_t> keyBlock, unsigned stepCount);
