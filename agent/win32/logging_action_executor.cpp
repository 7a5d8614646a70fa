#include "agent/win32/logging_action_executor.h"

#include <cstdio>

#include "agent/debug_log.h"

void LoggingActionExecutor::Perform(std::uint8_t functionCode) {
  char line[40];
  std::snprintf(line, sizeof line, "PC function %02x\n", functionCode);
  m_log.Write(line);
}
