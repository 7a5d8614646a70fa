#pragma once
// The agent's diagnostics: fixed text lines for the debugger output. May be called from the
// mouse library's thread.

#include <string_view>

class DebugLog {
 public:
  virtual ~DebugLog() = default;
  virtual void Write(std::string_view text) = 0;
};
