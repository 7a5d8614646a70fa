#pragma once
// Stands in for the PC-side functions until they are performed: it only notes each request in
// the debugger output.

#include "agent/action_executor.h"

class DebugLog;

class LoggingActionExecutor final : public ActionExecutor {
 public:
  explicit LoggingActionExecutor(DebugLog& log) : m_log(log) {}
  void Perform(std::uint8_t functionCode) override;

 private:
  DebugLog& m_log;
};
