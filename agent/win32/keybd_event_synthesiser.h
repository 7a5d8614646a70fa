#pragma once
// Sends the PC-side functions' keystrokes to the system with keybd_event, as if typed, and
// pauses the calling thread between them.

#include "agent/key_synthesiser.h"

class KeybdEventSynthesiser final : public KeySynthesiser {
 public:
  void KeyEvent(std::uint8_t virtualKey, std::uint32_t flags) override;
  void Wait(unsigned milliseconds) override;
};
