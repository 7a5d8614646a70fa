#pragma once
// Posts a message to the configurator's window when it is open; nothing happens otherwise.
// Never waits for the configurator, so it may be called from any thread.

#include <cstdint>

class ConfiguratorPoster {
 public:
  virtual ~ConfiguratorPoster() = default;
  virtual void PostToConfigurator(unsigned message, std::uintptr_t wParam,
                                  std::intptr_t lParam) = 0;
};
