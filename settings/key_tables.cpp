#include "settings/key_tables.h"

#include <algorithm>

#include "settings/button_functions.h"
#include "settings/key_chord.h"
#include "settings/keyboard_layout.h"

// clang-format off
const std::array<VkUsagePair, 104> UsageTable = {{
  {0x08, 0x2A}, {0x09, 0x2B}, {0x0D, 0x28}, {0x13, 0x48}, {0x14, 0x39}, {0x1B, 0x29}, {0x20, 0x2C},
  {0x21, 0x4B}, {0x22, 0x4E}, {0x23, 0x4D}, {0x24, 0x4A}, {0x25, 0x50}, {0x26, 0x52}, {0x27, 0x4F},
  {0x28, 0x51}, {0x2C, 0x46}, {0x2D, 0x49}, {0x2E, 0x4C}, {0x30, 0x27}, {0x31, 0x1E}, {0x32, 0x1F},
  {0x33, 0x20}, {0x34, 0x21}, {0x35, 0x22}, {0x36, 0x23}, {0x37, 0x24}, {0x38, 0x25}, {0x39, 0x26},
  {0x41, 0x04}, {0x42, 0x05}, {0x43, 0x06}, {0x44, 0x07}, {0x45, 0x08}, {0x46, 0x09}, {0x47, 0x0A},
  {0x48, 0x0B}, {0x49, 0x0C}, {0x4A, 0x0D}, {0x4B, 0x0E}, {0x4C, 0x0F}, {0x4D, 0x10}, {0x4E, 0x11},
  {0x4F, 0x12}, {0x50, 0x13}, {0x51, 0x14}, {0x52, 0x15}, {0x53, 0x16}, {0x54, 0x17}, {0x55, 0x18},
  {0x56, 0x19}, {0x57, 0x1A}, {0x58, 0x1B}, {0x59, 0x1C}, {0x5A, 0x1D}, {0x5B, 0xE3}, {0x5C, 0xE7},
  {0x5D, 0x65}, {0x60, 0x62}, {0x61, 0x59}, {0x62, 0x5A}, {0x63, 0x5B}, {0x64, 0x5C}, {0x65, 0x5D},
  {0x66, 0x5E}, {0x67, 0x5F}, {0x68, 0x60}, {0x69, 0x61}, {0x6A, 0x55}, {0x6B, 0x57}, {0x6C, 0x58},
  {0x6D, 0x56}, {0x6E, 0x63}, {0x6F, 0x54}, {0x70, 0x3A}, {0x71, 0x3B}, {0x72, 0x3C}, {0x73, 0x3D},
  {0x74, 0x3E}, {0x75, 0x3F}, {0x76, 0x40}, {0x77, 0x41}, {0x78, 0x42}, {0x79, 0x43}, {0x7A, 0x44},
  {0x7B, 0x45}, {0x90, 0x53}, {0x91, 0x47}, {0xA0, 0xE1}, {0xA1, 0xE5}, {0xA2, 0xE0}, {0xA3, 0xE4},
  {0xA4, 0xE2}, {0xA5, 0xE6}, {0xBA, 0x33}, {0xBB, 0x2E}, {0xBC, 0x36}, {0xBD, 0x2D}, {0xBE, 0x37},
  {0xBF, 0x38}, {0xC0, 0x35}, {0xDB, 0x2F}, {0xDC, 0x31}, {0xDD, 0x30}, {0xDE, 0x34},
}};

const std::array<KeyIndexPair, 145> KeyIndexTable = {{
  {16, 0xC0}, {17, 0x31}, {18, 0x51}, {19, 0x09}, {20, 0x41}, {21, 0x1B}, {22, 0x5A}, {23, 0x00},
  {24, 0x70}, {25, 0x32}, {26, 0x57}, {27, 0x14}, {28, 0x53}, {29, 0x00}, {30, 0x58}, {31, 0x00},
  {32, 0x71}, {33, 0x33}, {34, 0x45}, {35, 0x72}, {36, 0x44}, {37, 0x73}, {38, 0x43}, {39, 0x00},
  {40, 0x35}, {41, 0x34}, {42, 0x52}, {43, 0x54}, {44, 0x46}, {45, 0x47}, {46, 0x56}, {47, 0x42},
  {48, 0x36}, {49, 0x37}, {50, 0x55}, {51, 0x59}, {52, 0x4A}, {53, 0x48}, {54, 0x4D}, {55, 0x4E},
  {56, 0xBB}, {57, 0x38}, {58, 0x49}, {59, 0xDD}, {60, 0x4B}, {61, 0x75}, {62, 0xBC}, {63, 0x00},
  {64, 0x77}, {65, 0x39}, {66, 0x4F}, {67, 0x76}, {68, 0x4C}, {69, 0x00}, {70, 0xBE}, {71, 0x00},
  {72, 0xBD}, {73, 0x30}, {74, 0x50}, {75, 0xDB}, {76, 0xBA}, {77, 0xDE}, {78, 0x00}, {79, 0xBF},
  {80, 0x78}, {81, 0x79}, {82, 0x00}, {83, 0x08}, {84, 0xDC}, {85, 0x74}, {86, 0x0D}, {87, 0x20},
  {88, 0x2D}, {89, 0x7B}, {90, 0x68}, {91, 0x65}, {92, 0x62}, {93, 0x60}, {94, 0x6F}, {95, 0x27},
  {96, 0x2E}, {97, 0x7A}, {98, 0x67}, {99, 0x64}, {100, 0x61}, {101, 0x00}, {102, 0x90},
  {103, 0x28}, {104, 0x21}, {105, 0x22}, {106, 0x69}, {107, 0x66}, {108, 0x63}, {109, 0x6E},
  {110, 0x6A}, {111, 0x6D}, {112, 0x24}, {113, 0x23}, {114, 0x6B}, {115, 0x00}, {116, 0x6C},
  {117, 0x26}, {118, 0x13}, {119, 0x25}, {120, 0x00}, {121, 0x91}, {122, 0x2C}, {123, 0x00},
  {124, 0x00}, {125, 0xA4}, {126, 0x00}, {127, 0xA5}, {128, 0x00}, {129, 0x00}, {130, 0x00},
  {131, 0xA0}, {132, 0x00}, {133, 0x00}, {134, 0xA1}, {135, 0x00}, {136, 0xA2}, {137, 0x00},
  {138, 0x00}, {139, 0x00}, {140, 0x00}, {141, 0x00}, {142, 0xA3}, {143, 0xAD}, {144, 0xB5},
  {145, 0xB3}, {146, 0xB2}, {147, 0xB1}, {148, 0xB1}, {149, 0x00}, {150, 0xAF}, {151, 0xAE},
  {152, 0x00}, {153, 0xAC}, {154, 0x5D}, {155, 0x00}, {156, 0x5B}, {156, 0x5C}, {157, 0x00},
  {158, 0x00}, {159, 0xFB},
}};

namespace {
struct KeyNamePair {
  std::uint8_t Index;
  std::u16string_view Name;
};

constexpr KeyNamePair kKeyNames[] = {
    {16, u"~"}, {17, u"1"}, {18, u"Q"}, {19, u"TAB"}, {20, u"A"}, {21, u"ESC"}, {22, u"Z"},
    {23, u"(MuHenkan)"}, {24, u"F1"}, {25, u"2"}, {26, u"W"}, {27, u"Caps Lock"}, {28, u"S"},
    {30, u"X"}, {32, u"F2"}, {33, u"3"}, {34, u"E"}, {35, u"F3"}, {36, u"D"}, {37, u"F4"},
    {38, u"C"}, {39, u"Hanguel(Korean)"}, {40, u"5"}, {41, u"4"}, {42, u"R"}, {43, u"T"},
    {44, u"F"}, {45, u"G"}, {46, u"V"}, {47, u"B"}, {48, u"6"}, {49, u"7"}, {50, u"U"}, {51, u"Y"},
    {52, u"J"}, {53, u"H"}, {54, u"M"}, {55, u"N"}, {56, u"="}, {57, u"8"}, {58, u"I"}, {59, u"]"},
    {60, u"K"}, {61, u"F6"}, {62, u","}, {63, u"`(Dos/v)"}, {64, u"F8"}, {65, u"9"}, {66, u"O"},
    {67, u"F7"}, {68, u"L"}, {69, u"Henkan(Dos/v)"}, {70, u"."}, {71, u"Katakana(Dos/v)"},
    {72, u"-"}, {73, u"0"}, {74, u"P"}, {75, u"["}, {76, u";"}, {77, u"'"}, {78, u"$/}(102W)"},
    {79, u"/"}, {80, u"F9"}, {81, u"F10"}, {82, u"V-(Dos/v)"}, {83, u"Backspace"}, {84, u"\\"},
    {85, u"F5"}, {86, u"Enter"}, {87, u"Space Bar"}, {88, u"Insert"}, {89, u"F12"}, {90, u"Num 8"},
    {91, u"Num 5"}, {92, u"Num 2"}, {93, u"Num 0"}, {94, u"Num /"}, {95, u"Right"}, {96, u"Delete"},
    {97, u"F11"}, {98, u"Num 7"}, {99, u"Num 4"}, {100, u"Num 1"}, {101, u"NA"}, {102, u"Num Lock"},
    {103, u"Down"}, {104, u"Pageup"}, {105, u"Pagedown"}, {106, u"Num 9"}, {107, u"Num 6"},
    {108, u"Num 3"}, {109, u"Num del"}, {110, u"Num *"}, {111, u"Num -"}, {112, u"Home"},
    {113, u"End"}, {114, u"Num +"}, {115, u"NA"}, {116, u"Num Enter"}, {117, u"Up"},
    {118, u"Pause/Break"}, {119, u"Left"}, {120, u"NA"}, {121, u"Scroll Lock"}, {122, u"PrtScr"},
    {123, u"NA"}, {124, u"NA"}, {125, u"Alt"}, {127, u"Right Alt"}, {131, u"Shift"},
    {134, u"Right Shift"}, {135, u"Profile"}, {136, u"Ctrl"}, {142, u"Right Ctrl"}, {143, u"Mute"},
    {154, u"Application"}, {156, u"Win"}, {240, u"Left Button"}, {241, u"Right Button"},
    {242, u"Middle Button"}, {244, u"Left Windows"}, {245, u"Right Windows"},
};
}  // namespace

const std::array<CaptionNamePair, 62> CaptionNameTable = {{
  {8, u"Backspace"}, {9, u"Tab"}, {12, u"Clear"}, {13, u"Enter"}, {16, u"Shift"}, {17, u"Ctrl"},
  {18, u"Alt"}, {19, u"Pause"}, {20, u"CapsLock"}, {27, u"Esc"}, {32, u"Space"}, {33, u"PageUp"},
  {34, u"PageDown"}, {35, u"End"}, {36, u"Home"}, {37, u"Left"}, {38, u"Up"}, {39, u"Right"},
  {40, u"Down"}, {41, u"Select"}, {42, u"Print"}, {43, u"Exe"}, {44, u"Snapshot"}, {45, u"Ins"},
  {46, u"Del"}, {47, u"Help"}, {96, u"Num0"}, {97, u"Num1"}, {98, u"Num2"}, {99, u"Num3"},
  {100, u"Num4"}, {101, u"Num5"}, {102, u"Num6"}, {103, u"Num7"}, {104, u"Num8"}, {105, u"Num9"},
  {106, u"Num*"}, {107, u"Num+"}, {108, u"Enter"}, {109, u"Num-"}, {110, u"Num."}, {111, u"Num/"},
  {112, u"F1"}, {113, u"F2"}, {114, u"F3"}, {115, u"F4"}, {116, u"F5"}, {117, u"F6"}, {118, u"F7"},
  {119, u"F8"}, {120, u"F9"}, {121, u"F10"}, {122, u"F11"}, {123, u"F12"}, {144, u"Numlock"},
  {145, u"Scrl"}, {160, u"LShift"}, {161, u"RShift"}, {162, u"LCtrl"}, {163, u"RCtrl"},
  {164, u"LAlt"}, {165, u"RAlt"},
}};
// clang-format on

namespace {

constexpr std::array<std::u16string_view, 256> BuildKeyNameTable() {
  std::array<std::u16string_view, 256> table{};
  for (const KeyNamePair& pair : kKeyNames) table[pair.Index] = pair.Name;
  return table;
}

constexpr unsigned kMaxKeySteps = 63;

std::u16string_view NameOfVk(unsigned vk) {
  return KeyName(KeyIndexOfVk(vk));
}

}  // namespace

const std::array<std::u16string_view, 256> KeyNameTable = BuildKeyNameTable();

bool UsageOfVk(unsigned vk, unsigned& usage) {
  bool found = false;
  for (const VkUsagePair& pair : UsageTable) {
    if (pair.Vk == vk) {
      usage = pair.Usage;
      found = true;
    }
  }
  return found;
}

bool VkOfUsage(unsigned usage, unsigned& vk) {
  bool found = false;
  for (const VkUsagePair& pair : UsageTable) {
    if (pair.Usage == usage) {
      vk = pair.Vk;
      found = true;
    }
  }
  return found;
}

unsigned KeyIndexOfVk(unsigned vk) {
  unsigned index = 0;
  for (const KeyIndexPair& pair : KeyIndexTable) {
    if (pair.Vk == vk) index = pair.Index;
  }
  return index;
}

std::u16string_view KeyName(unsigned index) {
  return KeyNameTable[index & 0xFFu];
}

std::u16string_view UsageKeyName(unsigned usage) {
  unsigned vk = 0;
  VkOfUsage(usage, vk);
  return NameOfVk(vk);
}

std::u16string CaptionKeyName(unsigned vk, const KeyboardLayout& layout) {
  for (const CaptionNamePair& pair : CaptionNameTable) {
    if (pair.Vk == vk) return std::u16string(pair.Name);
  }
  // Only the low byte of the layout's answer is a character here (an ANSI one).
  char16_t ch = static_cast<char16_t>(layout.CharacterOf(vk) & 0xFFu);
  if (ch >= u'a' && ch <= u'z') ch = static_cast<char16_t>(ch - u'a' + u'A');
  if (ch == 0) return {};
  return std::u16string(1, ch);
}

std::u16string CombinationCaption(std::span<const std::uint8_t> keyBlock, unsigned stepCount) {
  const std::size_t steps =
      std::min<std::size_t>({stepCount, kMaxKeySteps, keyBlock.size() / kKeyStepSize});
  if (steps == 0) return {};
  if (steps < 4) return std::u16string(UsageKeyName(keyBlock[0]));
  return KeyChord::FromSteps(keyBlock, steps).Name();
}
