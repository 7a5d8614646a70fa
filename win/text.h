#pragma once
// Text on the Win32 side: the portable core speaks char16_t, the Windows API wchar_t. Both are
// UTF-16 here, so conversion is a copy.
#include <windows.h>

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be UTF-16 on Windows");

inline std::wstring ToWide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

inline std::u16string ToU16(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

// The system's text for an error code, without the trailing line break, followed by the code,
// e.g. "Access is denied. (5)". For diagnostic lines only.
std::wstring FormatWindowsError(DWORD error);

inline std::wstring FormatLastError() {
  return FormatWindowsError(::GetLastError());
}
