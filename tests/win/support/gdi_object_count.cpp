#include "support/gdi_object_count.h"

#include <winternl.h>

#include <cstdint>
#include <vector>

DWORD GdiObjectCount() {
  return GdiObjectCount(::GetCurrentProcess());
}

DWORD GdiObjectCount(HANDLE process) {
  const DWORD counted = ::GetGuiResources(process, GR_GDIOBJECTS);
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
      query(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0 ||
      basic.PebBaseAddress == nullptr) {
    return 0;
  }
  // Read from the process, which may be this one.
  const auto* peb = reinterpret_cast<const std::uint8_t*>(basic.PebBaseAddress);
  const HandleEntry* table = nullptr;
  if (!::ReadProcessMemory(process, peb + kPebHandleTableOffset, &table, sizeof table, nullptr) ||
      table == nullptr) {
    return 0;
  }
  std::vector<HandleEntry> entries(kEntries);
  if (!::ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(HandleEntry),
                           nullptr)) {
    return 0;
  }
  DWORD live = 0;
  for (const HandleEntry& entry : entries) live += entry.type != 0 ? 1 : 0;
  return live;
#else
  return 0;
#endif
}
