#include "settings/win32/agent_window_notifier.h"

#include <windows.h>

#include "contract/program_names.h"
#include "contract/window_messages.h"
#include "win/text.h"

void AgentWindowNotifier::MacroSlotChanged(int slot, bool removed) {
  HWND agent = FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle));
  if (agent == nullptr) return;
  SendMessageW(agent, agent_msg::kMacroChanged, static_cast<WPARAM>(slot),
               removed ? agent_msg::kMacroClear : agent_msg::kMacroWrite);
}
