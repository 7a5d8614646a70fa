#include "agent/win32/configurator_window_poster.h"

#include <windows.h>

#include "contract/program_names.h"
#include "win/text.h"

HWND FindConfiguratorWindow() {
  // By class too: FindWindow ignores case, and an Explorer window on the data folder
  // "Vireo Gaming Mouse" carries the same title.
  return FindWindowW(AsWide(program_names::kConfiguratorWindowClass),
                     AsWide(program_names::kConfiguratorWindowTitle));
}

void ConfiguratorWindowPoster::PostToConfigurator(unsigned message, std::uintptr_t wParam,
                                                  std::intptr_t lParam) {
  if (HWND configurator = FindConfiguratorWindow()) {
    PostMessageW(configurator, message, wParam, lParam);
  }
}
