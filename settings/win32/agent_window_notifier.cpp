#include "settings/win32/agent_window_notifier.h"

#include <windows.h>

#include "contract/program_names.h"
#include "contract/window_messages.h"
#include "win/text.h"

namespace {

void SendToAgent(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND agent = FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle));
  if (agent != nullptr) SendMessageW(agent, message, wParam, lParam);
}

}  // namespace

void AgentWindowNotifier::MacroSlotChanged(int slot, bool removed) {
  SendToAgent(agent_msg::kMacroChanged, static_cast<WPARAM>(slot),
              removed ? agent_msg::kMacroClear : agent_msg::kMacroWrite);
}

void AgentWindowNotifier::ButtonMacroChanged(int profile, int button) {
  SendToAgent(agent_msg::kButtonMacro, static_cast<WPARAM>(profile), static_cast<LPARAM>(button));
}
