#include "agent/win32/configurator_window_poster.h"

#include <windows.h>

#include "agent/agent_messages.h"

HWND FindConfiguratorWindow() {
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  const auto title = reinterpret_cast<const wchar_t*>(agent_names::kConfiguratorWindowTitle);
  // By class too: FindWindow ignores case, and an Explorer window on the data folder
  // "Vireo Gaming Mouse" carries the same title.
  return FindWindowW(L"#32770", title);
}

void ConfiguratorWindowPoster::PostToConfigurator(unsigned message, std::uintptr_t wParam,
                                                  std::intptr_t lParam) {
  if (HWND configurator = FindConfiguratorWindow()) {
    PostMessageW(configurator, message, wParam, lParam);
  }
}
