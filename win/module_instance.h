#pragma once
// The module (program or library) this code is linked into, for the calls that register window
// classes or load resources of the module itself: in a library the process's own module
// would be the wrong one.
#include <windows.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

inline HINSTANCE ThisModuleInstance() noexcept {
  return reinterpret_cast<HINSTANCE>(&__ImageBase);
}
