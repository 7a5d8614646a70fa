#include "agent/win32/configurator_window_poster.h"

#include <windows.h>

#include "agent/agent_messages.h"

void ConfiguratorWindowPoster::PostToConfigurator(unsigned message, std::uintptr_t wParam,
                                                  std::intptr_t lParam) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  const auto title = reinterpret_cast<const wchar_t*>(agent_names::kConfiguratorWindowTitle);
  if (HWND configurator = FindWindowW(nullptr, title)) {
    PostMessageW(configurator, message, wParam, lParam);
  }
}
