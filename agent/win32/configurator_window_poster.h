#pragma once
// Posts to the configurator's window "Vireo GAMING MOUSE" when it is open.

#include <windows.h>

#include "agent/configurator_poster.h"

// The configurator's main window: its title and the dialog class, or null.
HWND FindConfiguratorWindow();

class ConfiguratorWindowPoster final : public ConfiguratorPoster {
 public:
  void PostToConfigurator(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
};
