#include "support/stand_in_configurator.h"

#include <algorithm>

#include "agent/agent_messages.h"

namespace harness {

namespace {
constexpr wchar_t kClassName[] = L"VireoStandInConfigurator";
}

StandInConfigurator::StandInConfigurator() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &StandInConfigurator::Proc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  RegisterClassW(&windowClass);  // fails harmlessly when a second stand-in registers again
  m_window = CreateWindowExW(
      0, kClassName, reinterpret_cast<const wchar_t*>(agent_names::kConfiguratorWindowTitle),
      WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, windowClass.hInstance, nullptr);
  SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
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

LRESULT CALLBACK StandInConfigurator::Proc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  auto* self = reinterpret_cast<StandInConfigurator*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self && message == configurator_msg::kAgentNews) {
    self->m_got.push_back({wParam, lParam, std::chrono::steady_clock::now()});
    return 0;
  }
  if (message == WM_CLOSE) return 0;  // the agent closes it when it ends; the test decides
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace harness
