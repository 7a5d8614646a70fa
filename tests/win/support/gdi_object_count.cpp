#include "support/gdi_object_count.h"

#include <winternl.h>

#include <cstdint>

DWORD GdiObjectCount() {
  const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted != 0) return counted;
#if defined(_M_X64) || defined(__x86_64__)
  // One entry of the handle table; the type byte is 0 when the entry is free.
  struct HandleEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;
    std::uint8_t type;
    std::uint8_t flags;
    std::uint64_t user;
  };
  static_assert(sizeof(HandleEntry) == 24);
  constexpr std::size_t kPebHandleTableOffset = 0xF8;  // GdiSharedHandleTable, 64-bit layout
  constexpr int kEntries = 0x10000;
  using QueryProcess = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<QueryProcess>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic{};
  if (query == nullptr ||
      query(::GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0 ||
      basic.PebBaseAddress == nullptr) {
    return 0;
  }
  const auto* peb = reinterpret_cast<const std::uint8_t*>(basic.PebBaseAddress);
  const auto* table = *reinterpret_cast<const HandleEntry* const*>(peb + kPebHandleTableOffset);
  if (table == nullptr) return 0;
  DWORD live = 0;
  for (int i = 0; i < kEntries; ++i) live += table[i].type != 0 ? 1 : 0;
  return live;
#else
  return 0;
#endif
}
