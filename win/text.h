#pragma once
// Text on the Win32 side: the portable core speaks char16_t, the Windows API wchar_t. Both are
// UTF-16 here, so a string is handed across as it is (AsWide, AsU16) or copied (ToWide, ToU16).
#include <windows.h>

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be UTF-16 on Windows");

inline const wchar_t* AsWide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}
inline const wchar_t* AsWide(const std::u16string& text) {
  return AsWide(text.c_str());
}
inline wchar_t* AsWide(char16_t* text) {
  return reinterpret_cast<wchar_t*>(text);
}
inline const char16_t* AsU16(const wchar_t* text) {
  return reinterpret_cast<const char16_t*>(text);
}

inline std::wstring ToWide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

inline std::u16string ToU16(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

// The text of a window or control (an edit field's contents), "" for none.
std::wstring WindowText(HWND window);

// The system's text for an error code, without the trailing line break, followed by the code,
// e.g. "Access is denied. (5)". For diagnostic lines only.
std::wstring FormatWindowsError(DWORD error);

inline std::wstring FormatLastError() {
  return FormatWindowsError(::GetLastError());
}
