#include "conduit/conduit_log.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

void ConduitLog(const char* format, ...) {
  char line[1024] = "Conduit: ";
  const std::size_t prefix = 9;
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(line + prefix, sizeof line - prefix - 2, format, arguments);
  va_end(arguments);
  std::size_t length = std::strlen(line);
  line[length++] = '\n';
  line[length] = '\0';
  OutputDebugStringA(line);
}
