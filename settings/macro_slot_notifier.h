#pragma once
// MacroSlotNotifier: tells the agent that the macro of a library slot changed, so that it
// rewrites or clears that macro area in the mouse. The configurator implements it with a
// 0x1514 message to the agent's window (wParam the slot, lParam 1 when removed, else 0) and
// skips it when the agent's window is missing.

inline constexpr unsigned kMacroChangedMessage = 0x1514;

class MacroSlotNotifier {
 public:
  virtual ~MacroSlotNotifier() = default;
  virtual void MacroSlotChanged(int slot, bool removed) = 0;
};
