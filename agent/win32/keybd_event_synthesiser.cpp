#include "agent/win32/keybd_event_synthesiser.h"

#include <windows.h>

void KeybdEventSynthesiser::KeyEvent(std::uint8_t virtualKey, std::uint32_t flags) {
  // No scan code and no extra information; the system derives what it needs from the key.
  keybd_event(virtualKey, 0, flags, 0);
}

void KeybdEventSynthesiser::Wait(unsigned milliseconds) {
  ::Sleep(milliseconds);
}
