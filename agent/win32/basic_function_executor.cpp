#include "agent/win32/basic_function_executor.h"

#include "agent/win32/basic_function.h"

void BasicFunctionExecutor::Perform(std::uint8_t functionCode) {
  const std::optional<PcOperation> operation = PcOperationForCode(functionCode);
  if (!operation) return;
  // Called from the mouse library's thread: nothing may unwind into it.
  try {
    CBasicFunction function;
    function.Perform(*operation);
  } catch (...) {
  }
}
