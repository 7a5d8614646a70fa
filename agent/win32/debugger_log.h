#pragma once
// The agent's diagnostic lines, to the debugger output. Safe from any thread.

#include "agent/debug_log.h"

class DebuggerLog final : public DebugLog {
 public:
  void Write(std::string_view text) override;
};
