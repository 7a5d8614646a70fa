#include "support/stand_in_configurator.h"

#include <algorithm>

#include "contract/program_names.h"
#include "contract/window_messages.h"
#include "win/text.h"

namespace harness {

StandInConfigurator::StandInConfigurator() {
  // The system's dialog class, as the configurator's main window has.
  m_window = CreateWindowExW(0, AsWide(program_names::kConfiguratorWindowClass),
                             AsWide(program_names::kConfiguratorWindowTitle), WS_POPUP, 0, 0, 10,
                             10, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(m_window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&StandInConfigurator::Proc));
}

StandInConfigurator::~StandInConfigurator() {
  SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
  DestroyWindow(m_window);
}

int StandInConfigurator::Count(WPARAM kind, std::optional<LPARAM> value) const {
  return static_cast<int>(std::count_if(m_got.begin(), m_got.end(), [&](const AgentNews& news) {
    return news.Kind == kind && (!value || news.Value == *value);
  }));
}

bool StandInConfigurator::WaitFor(WPARAM kind, int count, DWORD milliseconds,
                                  std::optional<LPARAM> value) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  while (Count(kind, value) < count) {
    if (GetTickCount64() >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return true;
}

INT_PTR CALLBACK StandInConfigurator::Proc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  auto* self = reinterpret_cast<StandInConfigurator*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self && message == configurator_msg::kAgentNews) {
    self->m_got.push_back({wParam, lParam, std::chrono::steady_clock::now()});
    return TRUE;
  }
  if (self && message == configurator_msg::kMacroDeleted) {
    ++self->m_macroDeletions;
    return TRUE;
  }
  // The agent closes it when it ends; the test decides.
  return message == WM_CLOSE ? TRUE : FALSE;
}

}  // namespace harness
