#include "conduit/library_thread.h"

#include <cstdint>
#include <utility>

namespace {

// The pages of this thread's stack below the caller's frame hold nothing yet: give them back.
// Wine zeroes about a megabyte of every new thread's stack before the thread runs, and those
// pages would stay resident for the life of the thread; on Windows the range is at most the few
// pages committed so far. The pages stay committed, so the stack grows back as it always does.
void ReleaseUntouchedStack() {
  volatile char frame = 0;
  // Room for this call's own frames and those of the calls it makes.
  constexpr std::uintptr_t kKeep = 16 * 1024;
  const std::uintptr_t below =
      (reinterpret_cast<std::uintptr_t>(&frame) - kKeep) & ~static_cast<std::uintptr_t>(0xFFF);
  ULONG_PTR low = 0, high = 0;
  GetCurrentThreadStackLimits(&low, &high);
  // Past the reserved pages and the guard page to the first committed read-write one.
  MEMORY_BASIC_INFORMATION region{};
  while (low < below && VirtualQuery(reinterpret_cast<void*>(low), &region, sizeof region) != 0 &&
         !(region.State == MEM_COMMIT && region.Protect == PAGE_READWRITE)) {
    low = reinterpret_cast<std::uintptr_t>(region.BaseAddress) + region.RegionSize;
  }
  if (below > low) {
    VirtualAlloc(reinterpret_cast<void*>(low), below - low, MEM_RESET, PAGE_READWRITE);
  }
}

}  // namespace

bool LibraryThread::Start(std::function<void()> body, std::size_t stackReservation) {
  Join();
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCWSTR>(&LibraryThread::Entry), &module)) {
    return false;
  }
  m_body = std::move(body);
  m_thread.reset(CreateThread(nullptr, stackReservation, &LibraryThread::Entry, this,
                              STACK_SIZE_PARAM_IS_A_RESERVATION, &m_id));
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
  ReleaseUntouchedStack();
  try {
    static_cast<LibraryThread*>(parameter)->m_body();
  } catch (...) {
    // Nothing may unwind out of a thread; the transport counts as stopped.
  }
  FreeLibraryAndExitThread(module, 0);
}
