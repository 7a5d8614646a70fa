#pragma once
// MacroSlotNotifier: tells the agent that the macro of a library slot changed, so that it
// rewrites or clears that macro area in the mouse. The configurator implements it with the
// agent's macro message (AgentWindowNotifier) and skips it when the agent is not running.

class MacroSlotNotifier {
 public:
  virtual ~MacroSlotNotifier() = default;
  virtual void MacroSlotChanged(int slot, bool removed) = 0;
};
