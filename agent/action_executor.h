#pragma once
// Performs a PC-side button function that the mouse reported (codes 0x11..0x26: shortcuts,
// browser keys, lock, browser home page, mail). Called on the mouse library's thread.

#include <cstdint>

#include "settings/button_functions.h"

class ActionExecutor {
 public:
  virtual ~ActionExecutor() = default;
  // Only ever called with a code in kFirstPcFunction..kLastPcFunction.
  virtual void Perform(std::uint8_t functionCode) = 0;
};
