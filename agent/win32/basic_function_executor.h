#pragma once
// Performs the PC-side functions the mouse reports: one CBasicFunction per event, one
// operation, then gone. Keeps no state, so the library's input thread may call it.

#include "agent/action_executor.h"

class BasicFunctionExecutor final : public ActionExecutor {
 public:
  void Perform(std::uint8_t functionCode) override;
};
