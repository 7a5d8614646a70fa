#include "settings/win32/agent_window_notifier.h"

#include <windows.h>

#include "agent/agent_messages.h"

void AgentWindowNotifier::MacroSlotChanged(int slot, bool removed) {
  HWND agent =
      FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(agent_names::kAgentWindowTitle));
  if (agent == nullptr) return;
  SendMessageW(agent, kMacroChangedMessage, static_cast<WPARAM>(slot), removed ? 1 : 0);
}
