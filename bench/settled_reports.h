#pragma once
// For the benchmarks that drive the agent: the virtual mouse's report count once it has taken
// no report for `quietMilliseconds`, the count of a finished transfer.
#include <windows.h>

#include <cstddef>

#include "vmouse/virtual_mouse_server.h"

inline std::size_t SettledReports(const VirtualMouseServer& mouse, DWORD quietMilliseconds) {
  std::size_t count = mouse.ReportsReceived();
  for (;;) {
    Sleep(quietMilliseconds);
    const std::size_t now = mouse.ReportsReceived();
    if (now == count) return count;
    count = now;
  }
}
