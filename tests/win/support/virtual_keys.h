#pragma once
// Keys injected by virtual key, as a keyboard sends them: the keyboard hook (Snare.dll) sees
// them, and so does the window with the focus.
#include <windows.h>

#include <string_view>

namespace harness {

inline void SendVirtualKey(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  ::SendInput(1, &input, sizeof(INPUT));
}

// Each key pressed and released in turn; letters and digits are their own virtual keys.
inline void TypeVirtualKeys(std::wstring_view keys) {
  for (const wchar_t vk : keys) {
    SendVirtualKey(vk, false);
    SendVirtualKey(vk, true);
  }
}

}  // namespace harness
