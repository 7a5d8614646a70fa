#pragma once
// The rule every macro name passes before any file is touched: the name becomes a file name
// in the macro folder, so it must not leave that folder or name a device.

#include <cstddef>
#include <string_view>

inline constexpr std::size_t kMacroNameMaxLength = 64;

// 1-64 characters, no control characters, none of \ / : * ? " < > |, no leading or trailing
// space or dot, and not a reserved device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9) in any
// case, with or without an extension.
bool IsValidMacroName(std::u16string_view name);

// Names are file names, so they compare without regard to case, as the file system compares
// them: "foo" and "Foo" are one macro.
bool SameMacroName(std::u16string_view a, std::u16string_view b);
