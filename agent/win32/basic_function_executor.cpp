#include "agent/win32/basic_function_executor.h"

// Filled in with CBasicFunction's operations.
void BasicFunctionExecutor::Perform(std::uint8_t) {}
