#include "conduit/library_thread.h"

#include <utility>

bool LibraryThread::Start(std::function<void()> body) {
  Join();
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCWSTR>(&LibraryThread::Entry), &module)) {
    return false;
  }
  m_body = std::move(body);
  m_thread.reset(CreateThread(nullptr, 0, &LibraryThread::Entry, this, 0, &m_id));
  if (!m_thread) {
    FreeLibrary(module);
    m_body = nullptr;
    return false;
  }
  return true;
}

void LibraryThread::Join() {
  if (!m_thread) return;
  WaitForSingleObject(m_thread.get(), INFINITE);
  m_thread.reset();
  m_body = nullptr;
  m_id = 0;
}

DWORD WINAPI LibraryThread::Entry(void* parameter) {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&LibraryThread::Entry), &module);
  try {
    static_cast<LibraryThread*>(parameter)->m_body();
  } catch (...) {
    // Nothing may unwind out of a thread; the transport counts as stopped.
  }
  FreeLibraryAndExitThread(module, 0);
}
