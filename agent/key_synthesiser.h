#pragma once
// Where the PC-side functions send their keystrokes: one key event of a virtual-key code with
// its event flags, and the pause between events. The agent sends them to the system; tests
// record them.

#include <cstdint>

class KeySynthesiser {
 public:
  virtual ~KeySynthesiser() = default;
  virtual void KeyEvent(std::uint8_t virtualKey, std::uint32_t flags) = 0;
  virtual void Wait(unsigned milliseconds) = 0;
};
