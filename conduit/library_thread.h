#pragma once
// A thread of the library that keeps Conduit.dll loaded while it runs: it takes a reference
// on the module at its start and drops it with its last instruction (FreeLibraryAndExitThread),
// so a FreeLibrary by the host can never unmap code that a thread still executes.
#include <windows.h>

#include <cstddef>
#include <functional>

#include "win/unique_handle.h"

class LibraryThread {
 public:
  LibraryThread() = default;
  ~LibraryThread() { Join(); }
  LibraryThread(const LibraryThread&) = delete;
  LibraryThread& operator=(const LibraryThread&) = delete;

  // The library's transfer threads call little below them: a small reservation. A thread that
  // runs the host's callbacks (which may call into the shell) asks for more.
  static constexpr std::size_t kSmallStack = 256 * 1024;
  static constexpr std::size_t kCallbackStack = 1024 * 1024;

  bool Start(std::function<void()> body, std::size_t stackReservation = kSmallStack);
  // Waits for the end of the body; never call it from the thread itself.
  void Join();
  bool Running() const { return static_cast<bool>(m_thread); }
  DWORD Id() const { return m_id; }
  HANDLE Handle() const { return m_thread.get(); }

 private:
  static DWORD WINAPI Entry(void* parameter);

  std::function<void()> m_body;
  UniqueKernelHandle m_thread;
  DWORD m_id = 0;
};
