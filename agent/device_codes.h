#pragma once
// How the settings of a profile become the bytes of the mouse's memory and back: lighting,
// button codes, key combinations and fire keys. The memory map, the resolution codes and the
// lighting modes themselves are the mouse's (contract/mouse_map.h). Pure functions only;
// MouseProtocol puts them on the wire.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "contract/mouse_map.h"
#include "settings/button_functions.h"
#include "settings/profile_set.h"

// The six lighting bytes of a profile (colour 0-2, effect, speed, option) and its level byte.
// The speed is the Rate of the mode's own level entry (0 for modes without a speed); a speed
// above the mode's largest is replaced by it in the record as well.
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
