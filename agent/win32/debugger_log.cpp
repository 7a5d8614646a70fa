#include "agent/win32/debugger_log.h"

#include <windows.h>

#include <string>

void DebuggerLog::Write(std::string_view text) {
  // The lines are ASCII: widen them byte for byte.
  const std::wstring wide(text.begin(), text.end());
  OutputDebugStringW(wide.c_str());
}
