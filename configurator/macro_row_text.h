#pragma once
// What a row of the macro editor's record list shows for a record: its text (a key or mouse
// button by name in the key column, a delay in milliseconds in the delay column) and its row
// data, which picks the press or release icon.
#include <array>
#include <cstdint>
#include <string>

#include "settings/macro_record.h"

// The names of mouse buttons 1, 2 and 3 (the function catalogue's first three functions).
using MouseButtonNames = std::array<std::u16string, 3>;

// The name of a key record's key: the key-name table's name of its usage, "Left Windows" and
// "Right Windows" for the two Windows keys; "" for a usage without a key.
std::u16string MacroKeyName(std::uint8_t usage);

// 15 spaces and the key's or button's name; 46 spaces and the delay in milliseconds.
std::u16string MacroRowText(const MacroRecord& record, const MouseButtonNames& buttons);

// 0x8A for a press, 0x89 for a release, 0 for a delay.
std::uintptr_t MacroRowData(const MacroRecord& record);
