// The agent over a long day: hid.exe with Conduit.dll, started from a folder of its own with a
// fresh data folder, against a virtual mouse served by this program. It performs full writes
// (0x4DE, progress window included) and plug cycles (unplug, plug in, read-back), then prints
// the agent's handle, GDI-object and thread counts after the first cycle and at the end, with
// the counts on the way, and the time each part took. A leak shows as counts that grow; the
// handle types whose count changed are named.
//
//   agent_soak_bench.exe [full writes, default 1000] [plug cycles, default 200]
#include <windows.h>
// After windows.h.
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "bench/settled_reports.h"
#include "contract/program_names.h"
#include "contract/window_messages.h"
#include "support/gdi_object_count.h"
#include "support/process_harness.h"
#include "support/stand_in_configurator.h"
#include "vmouse/virtual_mouse_server.h"
#include "win/text.h"
#include "win/unique_handle.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Counts {
  DWORD Handles = 0;
  DWORD GdiObjects = 0;
  DWORD Threads = 0;
  // Handles by object type, where the system's handle list has them.
  std::map<std::wstring, DWORD> HandleTypes;
  bool operator==(const Counts&) const = default;
};

DWORD ThreadsOf(DWORD processId) {
  const UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) return 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  DWORD count = 0;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more;
       more = Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID == processId) ++count;
  }
  return count;
}

template <typename Function>
Function NtdllFunction(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

struct HandleEntry {
  void* Object;
  ULONG_PTR ProcessId;
  ULONG_PTR Handle;
  ULONG Access;
  USHORT BackTrace, Type;
  ULONG Attributes, Reserved;
};

// The system's list of every process's handles (Wine answers GetProcessHandleCount with 0).
std::vector<HandleEntry> SystemHandles() {
  struct List {
    ULONG_PTR Count, Reserved;
    HandleEntry Entries[1];
  };
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  const auto query = NtdllFunction<Query>("NtQuerySystemInformation");
  constexpr ULONG kExtendedHandleInformation = 64;
  std::vector<std::uint8_t> buffer(1 << 20);
  ULONG length = 0;
  while (query && query(kExtendedHandleInformation, buffer.data(),
                        static_cast<ULONG>(buffer.size()), &length) != 0) {
    if (buffer.size() >= (1u << 26)) return {};
    buffer.resize(buffer.size() * 2);
  }
  if (!query) return {};
  const auto* list = reinterpret_cast<const List*>(buffer.data());
  return std::vector<HandleEntry>(list->Entries, list->Entries + list->Count);
}

// The system's object type names by the type number its handle list gives: the list of types
// numbers them its own way (Wine's handle list counts from 0, Windows' from 2), so an event of
// this process shows where the names start.
std::map<USHORT, std::wstring> ObjectTypeNames() {
  using Query = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
  const auto query = NtdllFunction<Query>("NtQueryObject");
  constexpr ULONG kObjectTypesInformation = 3;
  std::vector<std::uint8_t> buffer(1 << 16);
  ULONG length = 0;
  while (query && query(nullptr, kObjectTypesInformation, buffer.data(),
                        static_cast<ULONG>(buffer.size()), &length) != 0) {
    if (buffer.size() >= (1u << 22)) return {};
    buffer.resize(buffer.size() * 2);
  }
  if (!query) return {};
  std::map<int, std::wstring> byIndex;
  int eventIndex = -1;
  ULONG count = 0;
  std::memcpy(&count, buffer.data(), sizeof count);
  // Each record is followed by its name; records start pointer-aligned. The type index is the
  // byte after MaintainHandleCount.
  std::size_t at = sizeof(void*);
  for (ULONG i = 0; i < count && at + sizeof(OBJECT_TYPE_INFORMATION) <= buffer.size(); ++i) {
    OBJECT_TYPE_INFORMATION type;
    std::memcpy(&type, buffer.data() + at, sizeof type);
    const int index = buffer[at + offsetof(OBJECT_TYPE_INFORMATION, MaintainHandleCount) + 1];
    std::wstring name(type.TypeName.Buffer, type.TypeName.Length / sizeof(wchar_t));
    if (name == L"Event") eventIndex = index;
    byIndex[index] = std::move(name);
    at += sizeof type + type.TypeName.MaximumLength;
    at = (at + sizeof(void*) - 1) & ~(sizeof(void*) - 1);
  }
  const UniqueKernelHandle event(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  int eventType = -1;
  for (const HandleEntry& entry : SystemHandles()) {
    if (entry.ProcessId == GetCurrentProcessId() &&
        entry.Handle == reinterpret_cast<ULONG_PTR>(event.get())) {
      eventType = entry.Type;
    }
  }
  std::map<USHORT, std::wstring> names;
  if (eventIndex < 0 || eventType < 0) return names;
  for (auto& [index, name] : byIndex) {
    names[static_cast<USHORT>(index - eventIndex + eventType)] = std::move(name);
  }
  return names;
}

// The process's handles by type.
std::map<std::wstring, DWORD> HandleTypesOf(DWORD processId) {
  static const std::map<USHORT, std::wstring> names = ObjectTypeNames();
  std::map<std::wstring, DWORD> types;
  for (const HandleEntry& entry : SystemHandles()) {
    if (entry.ProcessId != processId) continue;
    const auto name = names.find(entry.Type);
    ++types[name != names.end() ? name->second : L"type " + std::to_wstring(entry.Type)];
  }
  return types;
}

Counts CountsOf(HANDLE process, DWORD processId) {
  Counts counts;
  counts.HandleTypes = HandleTypesOf(processId);
  if (!GetProcessHandleCount(process, &counts.Handles) || counts.Handles == 0) {
    counts.Handles = 0;
    for (const auto& [type, count] : counts.HandleTypes) counts.Handles += count;
  }
  counts.GdiObjects = GdiObjectCount(process);
  counts.Threads = ThreadsOf(processId);
  return counts;
}

// Handle types whose count differs, with both counts.
void PrintChangedTypes(const Counts& first, const Counts& last) {
  std::map<std::wstring, std::pair<DWORD, DWORD>> both;
  for (const auto& [type, count] : first.HandleTypes) both[type].first = count;
  for (const auto& [type, count] : last.HandleTypes) both[type].second = count;
  for (const auto& [type, counts] : both) {
    if (counts.first != counts.second) {
      std::printf("    %ls handles: %lu -> %lu\n", type.c_str(), counts.first, counts.second);
    }
  }
}

void Print(const char* label, const Counts& counts) {
  std::printf("  %-34s handles %4lu, GDI objects %4lu, threads %2lu\n", label, counts.Handles,
              counts.GdiObjects, counts.Threads);
  std::fflush(stdout);
}

// The program's own threads take a moment to end after the thing they served: counts are read
// once the agent is at rest again.
Counts SettledCounts(HANDLE process, DWORD processId) {
  Counts counts = CountsOf(process, processId);
  for (int i = 0; i < 20; ++i) {
    harness::PumpMessages(100);
    const Counts now = CountsOf(process, processId);
    if (now == counts) break;
    counts = now;
  }
  return counts;
}

class Soak {
 public:
  bool Start() {
    for (const wchar_t* file : {L"hid.exe", L"Conduit.dll", L"beacon.exe"}) {
      if (!harness::CopyInto(harness::BinFolder() + file, m_program.Path())) {
        std::fwprintf(stderr, L"%ls is missing beside the benchmark\n", file);
        return false;
      }
    }
    // The progress window's pictures: their bitmaps and region are counted too.
    if (!harness::InstallProgressPictures(m_program.Path())) {
      std::fprintf(stderr, "the built skin lacks a progress picture\n");
      return false;
    }
    if (FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle))) {
      std::fprintf(stderr, "an agent is already running\n");
      return false;
    }
    if (!m_mouse.Start()) return false;
    SetEnvironmentVariableW(L"VIREO_VMOUSE",
                            (L"127.0.0.1:" + std::to_wstring(m_mouse.Port())).c_str());
    m_agent = std::make_unique<harness::Process>(m_program.Path() + L"hid.exe");
    SetEnvironmentVariableW(L"VIREO_VMOUSE", nullptr);
    m_window = harness::WaitForReadyWindow(AsWide(program_names::kAgentWindowTitle), 20000);
    if (!m_window || !ReadBack()) {
      std::fprintf(stderr, "the agent did not start or did not read the mouse back\n");
      return false;
    }
    GetWindowThreadProcessId(m_window, &m_processId);
    m_process.reset(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, m_processId));
    return static_cast<bool>(m_process);
  }

  ~Soak() {
    if (m_window) PostMessageW(m_window, WM_COMMAND, agent_msg::kCommandExit, 0);
    if (m_agent) m_agent->WaitExit(10000);
  }

  bool FullWrite() {
    const std::size_t before = SettledReports(m_mouse, 100);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(m_window, agent_msg::kApplyAll, 0, 0, SMTO_NORMAL, 60000, &result))
      return false;
    return SettledReports(m_mouse, 100) - before == 106;
  }

  bool PlugCycle() {
    m_mouse.Detach();
    Sleep(50);
    m_mouse.Attach();
    return ReadBack();
  }

  Counts Now() { return SettledCounts(m_process.get(), m_processId); }
  bool Running() { return m_agent->Running(); }

 private:
  bool ReadBack() {
    return m_configurator.WaitFor(configurator_msg::kNewsProfilesRewritten, ++m_readBacks, 30000);
  }

  harness::TempFolder m_program{L"vireo-soak-program"};
  harness::TempFolder m_documents{L"vireo-soak-documents"};
  harness::DocumentsOverride m_override{m_documents.Path()};
  harness::StandInConfigurator m_configurator;
  VirtualMouseServer m_mouse;
  std::unique_ptr<harness::Process> m_agent;
  HWND m_window = nullptr;
  DWORD m_processId = 0;
  UniqueKernelHandle m_process;
  int m_readBacks = 0;
};

double Seconds(Clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

int Run(int writes, int cycles) {
  Soak soak;
  if (!soak.Start()) return 1;
  std::printf("hid.exe over the virtual mouse: %d full writes, then %d plug cycles\n", writes,
              cycles);
  if (!soak.FullWrite() || !soak.PlugCycle()) {
    std::fprintf(stderr, "the first cycle failed\n");
    return 1;
  }
  const Counts first = soak.Now();
  Print("after the first write and plug cycle", first);
  std::printf("    by type:");
  for (const auto& [type, count] : first.HandleTypes) std::printf(" %ls %lu;", type.c_str(), count);
  std::printf("\n");

  const auto writesStart = Clock::now();
  for (int i = 1; i <= writes; ++i) {
    if (!soak.FullWrite()) {
      std::fprintf(stderr, "full write %d did not write 106 reports\n", i);
      return 1;
    }
    if (i % 250 == 0 || i == writes) {
      Print(("after " + std::to_string(i) + " full writes").c_str(), soak.Now());
    }
  }
  const double writeSeconds = Seconds(Clock::now() - writesStart);
  const auto cyclesStart = Clock::now();
  for (int i = 1; i <= cycles; ++i) {
    if (!soak.PlugCycle()) {
      std::fprintf(stderr, "no read-back after plug cycle %d\n", i);
      return 1;
    }
    if (i % 50 == 0 || i == cycles) {
      Print(("after " + std::to_string(i) + " plug cycles").c_str(), soak.Now());
    }
  }
  const double cycleSeconds = Seconds(Clock::now() - cyclesStart);
  const Counts last = soak.Now();
  std::printf("  full writes %.1f s (%.0f ms each), plug cycles %.1f s (%.0f ms each)\n",
              writeSeconds, 1000 * writeSeconds / std::max(writes, 1), cycleSeconds,
              1000 * cycleSeconds / std::max(cycles, 1));
  std::printf("  at the end: %s (handles %+ld, GDI objects %+ld, threads %+ld)\n",
              last == first && soak.Running() ? "as after the first cycle" : "GROWN",
              static_cast<long>(last.Handles) - static_cast<long>(first.Handles),
              static_cast<long>(last.GdiObjects) - static_cast<long>(first.GdiObjects),
              static_cast<long>(last.Threads) - static_cast<long>(first.Threads));
  PrintChangedTypes(first, last);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int writes =
      argc > 1 ? std::max(0, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 1000;
  const int cycles =
      argc > 2 ? std::max(0, static_cast<int>(std::wcstol(argv[2], nullptr, 10))) : 200;
  return Run(writes, cycles);
}
