#pragma once
// Posts to the configurator's window "Vireo GAMING MOUSE" when it is open.

#include "agent/configurator_poster.h"

class ConfiguratorWindowPoster final : public ConfiguratorPoster {
 public:
  void PostToConfigurator(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
};
