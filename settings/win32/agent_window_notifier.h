#pragma once
// Tells a running agent that a macro slot changed: message 0x1514 to the window
// "Vireo_GamingMouse_HID" (wParam the slot, lParam 1 when the macro was removed, else 0),
// sent and waited for, so the agent has written the mouse when the call returns; and that a
// button playing a macro must be written again (0x1516, wParam the profile, lParam the button).
// Nothing is sent when the agent is not running.

#include "settings/macro_slot_notifier.h"

class AgentWindowNotifier : public MacroSlotNotifier {
 public:
  void MacroSlotChanged(int slot, bool removed) override;
  void ButtonMacroChanged(int profile, int button);
};
