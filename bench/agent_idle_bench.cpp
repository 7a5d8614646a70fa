// The agent at rest: hid.exe started from a folder of its own with a fresh data folder, left
// alone once its start is over, then measured for a while. Prints its private memory and
// working set, and how often its threads wake up.
//
// Wake-ups are counted by the kernel, not by the agent: under Wine every Windows thread is a
// Linux thread, and each time one wakes from a wait and sleeps again Linux counts a voluntary
// context switch in /proc/<pid>/task/<tid>/status (read here through Wine's Z: drive). A
// thread that waits in GetMessage with no timer and no message counts nothing. The same is
// measured for a plain Wine program that only waits in GetMessage (this program, started
// again with --idle-window), which shows what Wine itself adds.
//
// Cases: no VIREO_VMOUSE (the Windows HID path, no mouse under Wine); the virtual mouse served
// by this program, attached and read back; VIREO_VMOUSE naming a port where nothing listens
// (a mouse server that is not running); with --vmouse also a virtual mouse running elsewhere,
// e.g. the native Linux vmouse.
//
//   agent_idle_bench.exe [seconds per case, default 60] [--vmouse LINKPORT CONTROLPORT]
#include <windows.h>
// After windows.h.
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "contract/program_names.h"
#include "contract/window_messages.h"
#include "settings/macro_library.h"
#include "support/process_harness.h"
#include "support/stand_in_configurator.h"
#include "vmouse/control_port_server.h"
#include "vmouse/tcp_socket.h"
#include "vmouse/virtual_mouse_server.h"
#include "win/text.h"

namespace {

using namespace std::chrono_literals;

// ---- Linux's view of a Wine process, through the Z: drive -------------------------------

std::string ReadLinuxFile(const std::string& path) {
  std::wstring windowsPath = L"Z:";
  for (char ch : path) windowsPath += ch == '/' ? L'\\' : static_cast<wchar_t>(ch);
  HANDLE file = CreateFileW(windowsPath.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  // /proc files report no size: read until the end.
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    text.append(buffer, read);
  CloseHandle(file);
  return text;
}

std::vector<std::string> NumericEntries(const std::string& folder) {
  std::vector<std::string> names;
  std::wstring pattern = L"Z:";
  for (char ch : folder) pattern += ch == '/' ? L'\\' : static_cast<wchar_t>(ch);
  pattern += L"\\*";
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name;
    bool numeric = data.cFileName[0] != 0;
    for (const wchar_t* c = data.cFileName; *c; ++c) {
      if (*c < L'0' || *c > L'9') numeric = false;
      name += static_cast<char>(*c);
    }
    if (numeric) names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

// Wine shows a process's Windows command line as its Linux one; the token (a folder or window
// name of this run) is unique.
std::optional<long> UnixPidOf(const std::string& token) {
  for (const std::string& pid : NumericEntries("/proc")) {
    std::string commandLine = ReadLinuxFile("/proc/" + pid + "/cmdline");
    std::replace(commandLine.begin(), commandLine.end(), '\0', ' ');
    if (commandLine.find(token) != std::string::npos) {
      return std::strtol(pid.c_str(), nullptr, 10);
    }
  }
  return std::nullopt;
}

long StatusField(const std::string& status, const char* name) {
  const std::string key = std::string(name) + ":";
  const std::size_t at = status.find(key);
  if (at == std::string::npos) return -1;
  return std::strtol(status.c_str() + at + key.size(), nullptr, 10);
}

struct ThreadSample {
  std::string Name;
  long Voluntary = 0;
  long Involuntary = 0;
};

std::map<long, ThreadSample> SampleThreads(long unixPid) {
  std::map<long, ThreadSample> threads;
  const std::string task = "/proc/" + std::to_string(unixPid) + "/task";
  for (const std::string& tid : NumericEntries(task)) {
    const std::string status = ReadLinuxFile(task + "/" + tid + "/status");
    if (status.empty()) continue;
    ThreadSample sample;
    sample.Name = ReadLinuxFile(task + "/" + tid + "/comm");
    while (!sample.Name.empty() && (sample.Name.back() == '\n' || sample.Name.back() == '\0')) {
      sample.Name.pop_back();
    }
    sample.Voluntary = StatusField(status, "voluntary_ctxt_switches");
    sample.Involuntary = StatusField(status, "nonvoluntary_ctxt_switches");
    threads[std::strtol(tid.c_str(), nullptr, 10)] = sample;
  }
  return threads;
}

long TotalSwitches(const std::map<long, ThreadSample>& threads) {
  long total = 0;
  for (const auto& [tid, sample] : threads) total += sample.Voluntary + sample.Involuntary;
  return total;
}

// Linux's private memory of the process (pages no other process shares), in kB.
long LinuxPrivateKb(long unixPid) {
  const std::string rollup = ReadLinuxFile("/proc/" + std::to_string(unixPid) + "/smaps_rollup");
  const long clean = StatusField(rollup, "Private_Clean");
  const long dirty = StatusField(rollup, "Private_Dirty");
  return clean < 0 || dirty < 0 ? -1 : clean + dirty;
}

struct Mapping {
  unsigned long long Begin = 0, End = 0;
  std::string Name;  // the file's name, "[heap]", or "[anon]"
  long PrivateKb = 0;
};

std::vector<Mapping> PrivateMappings(long unixPid) {
  const std::string smaps = ReadLinuxFile("/proc/" + std::to_string(unixPid) + "/smaps");
  std::vector<Mapping> mappings;
  std::size_t at = 0;
  while (at < smaps.size()) {
    std::size_t end = smaps.find('\n', at);
    if (end == std::string::npos) end = smaps.size();
    const std::string line = smaps.substr(at, end - at);
    at = end + 1;
    if (line.empty()) continue;
    const std::size_t colon = line.find(':');
    const std::size_t space = line.find(' ');
    if (colon != std::string::npos && (space == std::string::npos || colon < space)) {
      if (line.rfind("Private_", 0) == 0 && !mappings.empty()) {
        mappings.back().PrivateKb += std::strtol(line.c_str() + colon + 1, nullptr, 10);
      }
      continue;
    }
    // A mapping's header: range, permissions, offset, device, inode, then the path if any.
    Mapping mapping;
    char* rest = nullptr;
    mapping.Begin = std::strtoull(line.c_str(), &rest, 16);
    mapping.End = std::strtoull(rest + 1, nullptr, 16);
    std::size_t field = 0, pos = 0;
    while (field < 5 && pos != std::string::npos) {
      pos = line.find_first_not_of(' ', line.find(' ', pos));
      ++field;
    }
    mapping.Name = pos == std::string::npos ? "[anon]" : line.substr(pos);
    const std::size_t slash = mapping.Name.find_last_of('/');
    if (slash != std::string::npos) mapping.Name = mapping.Name.substr(slash + 1);
    mappings.push_back(mapping);
  }
  return mappings;
}

// The largest shares of the private memory, by what is mapped there.
std::vector<std::string> LargestPrivateParts(const std::vector<Mapping>& mappings,
                                             std::size_t count) {
  std::map<std::string, long> byName;
  for (const Mapping& mapping : mappings) byName[mapping.Name] += mapping.PrivateKb;
  std::vector<std::pair<long, std::string>> sorted;
  for (const auto& [name, kb] : byName) sorted.emplace_back(kb, name);
  std::sort(sorted.rbegin(), sorted.rend());
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < sorted.size() && i < count; ++i) {
    lines.push_back(sorted[i].second + " " + std::to_string(sorted[i].first) + " kB");
  }
  return lines;
}

// The private memory of the mapping that holds a waiting thread's stack pointer (the last
// but one field of its "syscall" file): under Wine the stack its system calls run on.
long StackPrivateKb(long unixPid, long tid, const std::vector<Mapping>& mappings) {
  const std::string syscall = ReadLinuxFile("/proc/" + std::to_string(unixPid) + "/task/" +
                                            std::to_string(tid) + "/syscall");
  std::vector<std::string> fields;
  std::size_t at = 0;
  while (at < syscall.size()) {
    const std::size_t begin = syscall.find_first_not_of(" \n", at);
    if (begin == std::string::npos) break;
    const std::size_t end = syscall.find_first_of(" \n", begin);
    fields.push_back(syscall.substr(begin, end - begin));
    at = end;
  }
  if (fields.size() < 3 || fields[0] == "running") return -1;
  const unsigned long long sp = std::strtoull(fields[fields.size() - 2].c_str(), nullptr, 16);
  for (const Mapping& mapping : mappings) {
    if (sp >= mapping.Begin && sp < mapping.End) return mapping.PrivateKb;
  }
  return -1;
}

// ---- one case -----------------------------------------------------------------------------

struct Measurement {
  std::string Label;
  SIZE_T PrivateUsage = 0, WorkingSet = 0;
  long LinuxPrivate = -1;
  double WakeupsPerMinute = 0;
  std::vector<std::string> ThreadLines;
  std::vector<std::string> LargestPrivate;
};

double Megabytes(SIZE_T bytes) {
  return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// Waits until the process's threads have been quiet for a second (at most 20 s): its start,
// its first-run timer and a read-back are over.
void WaitUntilQuiet(long unixPid) {
  long last = TotalSwitches(SampleThreads(unixPid));
  int quietHalfSeconds = 0;
  for (int i = 0; i < 40 && quietHalfSeconds < 2; ++i) {
    harness::PumpMessages(500);
    const long now = TotalSwitches(SampleThreads(unixPid));
    quietHalfSeconds = now == last ? quietHalfSeconds + 1 : 0;
    last = now;
  }
}

std::optional<Measurement> Measure(const std::string& label, HWND window, const std::string& token,
                                   int seconds, bool waitUntilQuiet = true) {
  DWORD windowsPid = 0;
  GetWindowThreadProcessId(window, &windowsPid);
  const std::optional<long> unixPid = UnixPidOf(token);
  if (!unixPid) {
    std::fprintf(stderr, "%s: no Linux process found for \"%s\"\n", label.c_str(), token.c_str());
    return std::nullopt;
  }
  harness::PumpMessages(1500);  // past the first-run timer (500 ms)
  if (waitUntilQuiet) WaitUntilQuiet(*unixPid);

  const auto before = SampleThreads(*unixPid);
  const auto start = std::chrono::steady_clock::now();
  harness::PumpMessages(static_cast<DWORD>(seconds) * 1000);
  const auto after = SampleThreads(*unixPid);
  const double minutes =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / 60.0;

  Measurement m;
  m.Label = label;
  m.WakeupsPerMinute = (TotalSwitches(after) - TotalSwitches(before)) / minutes;
  for (const auto& [tid, end] : after) {
    const auto begin = before.find(tid);
    const long woke =
        end.Voluntary + end.Involuntary -
        (begin == before.end() ? 0 : begin->second.Voluntary + begin->second.Involuntary);
    char line[160];
    std::snprintf(line, sizeof line, "      thread %ld%s \"%s\": %.1f switches/min%s", tid,
                  tid == *unixPid ? " (main)" : "", end.Name.c_str(), woke / minutes,
                  begin == before.end() ? " (started while measured)" : "");
    m.ThreadLines.push_back(line);
  }
  m.LinuxPrivate = LinuxPrivateKb(*unixPid);
  const std::vector<Mapping> mappings = PrivateMappings(*unixPid);
  m.LargestPrivate = LargestPrivateParts(mappings, 6);
  for (std::size_t i = 0; i < m.ThreadLines.size(); ++i) {
    const long tid = std::next(after.begin(), static_cast<long>(i))->first;
    const long stack = StackPrivateKb(*unixPid, tid, mappings);
    if (stack >= 0) m.ThreadLines[i] += ", its system-call stack " + std::to_string(stack) + " kB";
  }
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, windowsPid);
  if (process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters)) {
      // Wine leaves PrivateUsage 0 for another process; its PagefileUsage is the same figure.
      m.PrivateUsage = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
      m.WorkingSet = counters.WorkingSetSize;
    }
    CloseHandle(process);
  }
  return m;
}

void Print(const Measurement& m) {
  std::printf("  %s\n", m.Label.c_str());
  std::printf(
      "    private %.2f MB (goal <= 4), working set %.2f MB, Linux private %.2f MB; "
      "%.1f context switches/min (goal 0)\n",
      Megabytes(m.PrivateUsage), Megabytes(m.WorkingSet),
      m.LinuxPrivate < 0 ? -1.0 : m.LinuxPrivate / 1024.0, m.WakeupsPerMinute);
  std::printf("    largest private parts:");
  for (const std::string& part : m.LargestPrivate) std::printf(" %s;", part.c_str());
  std::printf("\n");
  for (const std::string& line : m.ThreadLines) std::printf("%s\n", line.c_str());
}

std::string Narrow(const std::wstring& text) {
  return std::string(text.begin(), text.end());
}

// The last component of a folder path ("...\\name\\" gives "name").
std::string FolderName(const std::wstring& folder) {
  std::wstring path = folder;
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  return Narrow(path.substr(path.find_last_of(L'\\') + 1));
}

// The libraries a process has loaded, by path, without its program.
std::vector<std::wstring> LibrariesOf(HWND window) {
  std::vector<std::wstring> paths;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return paths;
  HMODULE modules[512];
  DWORD bytes = 0;
  if (EnumProcessModules(process, modules, sizeof modules, &bytes)) {
    const std::size_t count = std::min<std::size_t>(bytes / sizeof(HMODULE), std::size(modules));
    for (std::size_t i = 1; i < count; ++i) {
      wchar_t path[MAX_PATH] = {};
      if (GetModuleFileNameExW(process, modules[i], path, MAX_PATH)) paths.push_back(path);
    }
  }
  CloseHandle(process);
  return paths;
}

// A plain Wine program waiting in GetMessage on a hidden window, with the given libraries
// loaded: what Wine and those libraries cost without the agent's own work.
// With a timer it wakes once a second: what one wake-up costs in context switches.
std::optional<Measurement> MeasureBaseline(const std::string& label, int seconds,
                                           const std::vector<std::wstring>& libraries = {},
                                           bool timer = false) {
  const std::wstring title = L"VireoIdleBaseline-" + std::to_wstring(GetTickCount());
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring arguments = (timer ? L"--timer-window " : L"--idle-window ") + title;
  for (const std::wstring& library : libraries) arguments += L" \"" + library + L"\"";
  harness::Process idle(self, arguments);
  HWND window = harness::WaitForReadyWindow(title.c_str(), 20000);
  if (!idle.Started() || !window) {
    std::fprintf(stderr, "the idle program did not start\n");
    return std::nullopt;
  }
  auto m = Measure(label, window, Narrow(title), seconds, !timer);
  PostMessageW(window, WM_CLOSE, 0, 0);
  idle.WaitExit(5000);
  return m;
}

// hid.exe from a program folder of its own, its first run already done (no configurator
// start), with VIREO_VMOUSE as given (empty: unset).
class AgentCase {
 public:
  explicit AgentCase(const std::wstring& vmouse) {
    for (const wchar_t* file : {L"hid.exe", L"Conduit.dll"}) {
      m_ok = m_ok && harness::CopyInto(harness::BinFolder() + file, m_program.Path());
    }
    const std::wstring data = m_documents.Path() + L"Vireo Gaming Mouse\\";
    CreateDirectoryW(data.c_str(), nullptr);
    CreateDirectoryW((data + L"MacroDB").c_str(), nullptr);
    MacroLibrary(ToU16(data)).TakeFirstOpen();
    SetEnvironmentVariableW(L"VIREO_VMOUSE", vmouse.empty() ? nullptr : vmouse.c_str());
    m_agent = std::make_unique<harness::Process>(m_program.Path() + L"hid.exe");
    SetEnvironmentVariableW(L"VIREO_VMOUSE", nullptr);
    m_window = harness::WaitForReadyWindow(AsWide(program_names::kAgentWindowTitle), 20000);
    m_ok = m_ok && m_agent->Started() && m_window != nullptr;
  }
  ~AgentCase() {
    if (m_window) PostMessageW(m_window, WM_COMMAND, agent_msg::kCommandExit, 0);
    if (m_agent) m_agent->WaitExit(10000);
  }
  bool Ok() const { return m_ok; }
  HWND Window() const { return m_window; }
  std::string Token() const { return FolderName(m_program.Path()); }

 private:
  harness::TempFolder m_program{L"vireo-idle-program"};
  harness::TempFolder m_documents{L"vireo-idle-documents"};
  harness::DocumentsOverride m_override{m_documents.Path()};
  std::unique_ptr<harness::Process> m_agent;
  HWND m_window = nullptr;
  bool m_ok = true;
};

std::optional<Measurement> MeasureAgent(const std::string& label, const std::wstring& vmouse,
                                        int seconds, harness::StandInConfigurator* readBack,
                                        std::vector<std::wstring>* libraries = nullptr) {
  AgentCase agent(vmouse);
  if (!agent.Ok()) {
    std::fprintf(stderr, "%s: the agent did not start\n", label.c_str());
    return std::nullopt;
  }
  if (readBack &&
      !readBack->WaitFor(configurator_msg::kNewsProfilesRewritten, readBack->Count(0) + 1, 30000)) {
    std::fprintf(stderr, "%s: no read-back\n", label.c_str());
    return std::nullopt;
  }
  auto m = Measure(label, agent.Window(), agent.Token(), seconds);
  if (libraries) *libraries = LibrariesOf(agent.Window());
  return m;
}

int Run(int seconds, std::optional<std::pair<uint16_t, uint16_t>> native) {
  if (FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle))) {
    std::fprintf(stderr, "an agent is already running\n");
    return 1;
  }
  std::printf("the agent at rest under Wine, %d s per case after its start is over\n", seconds);
  std::printf(
      "(wake-ups counted as Linux context switches of the process's threads; one timer\n"
      " wake-up costs a few of them, see the line of the program with a 1 s timer)\n");
  std::vector<std::optional<Measurement>> results;
  results.push_back(
      MeasureBaseline("a plain Wine program waiting in GetMessage (baseline)", seconds));
  if (results.back()) Print(*results.back());

  std::vector<std::wstring> libraries;
  results.push_back(MeasureAgent("hid.exe, no VIREO_VMOUSE (Windows HID, no mouse)", L"", seconds,
                                 nullptr, &libraries));
  if (results.back()) Print(*results.back());
  // The agent's Conduit.dll has gone with its folder; the one beside this program is the same.
  for (std::wstring& library : libraries) {
    const std::wstring name = L"\\Conduit.dll";
    if (library.size() >= name.size() &&
        _wcsicmp(library.c_str() + library.size() - name.size(), name.c_str()) == 0) {
      library = harness::BinFolder() + L"Conduit.dll";
    }
  }
  results.push_back(MeasureBaseline("the plain program with a 1 s timer (the cost of 60 wake-ups)",
                                    std::min(seconds, 10), {}, true));
  if (results.back()) Print(*results.back());
  results.push_back(MeasureBaseline("the same plain program with the agent's " +
                                        std::to_string(libraries.size()) +
                                        " libraries loaded (Wine's and the libraries' share)",
                                    std::min(seconds, 10), libraries));
  if (results.back()) Print(*results.back());
  const std::optional<Measurement> withLibraries = results.back();

  {
    harness::StandInConfigurator configurator;
    VirtualMouseServer mouse;
    if (mouse.Start()) {
      results.push_back(MeasureAgent("hid.exe, virtual mouse in this process, attached",
                                     L"127.0.0.1:" + std::to_wstring(mouse.Port()), seconds,
                                     &configurator));
      if (results.back()) Print(*results.back());
    }
  }

  {
    uint16_t closedPort = 0;
    {
      TcpSocket probe = TcpSocket::ListenLoopback(0);
      closedPort = probe.LocalPort();
    }
    results.push_back(MeasureAgent("hid.exe, VIREO_VMOUSE naming a port where nothing listens",
                                   L"127.0.0.1:" + std::to_wstring(closedPort), seconds, nullptr));
    if (results.back()) Print(*results.back());
  }

  if (native) {
    harness::StandInConfigurator configurator;
    if (!SendControlCommand(native->second, "attach")) {
      std::fprintf(stderr, "no vmouse control port on %u\n", native->second);
    } else {
      results.push_back(MeasureAgent("hid.exe, native vmouse, attached",
                                     L"127.0.0.1:" + std::to_wstring(native->first), seconds,
                                     &configurator));
      if (results.back()) Print(*results.back());
    }
  }
  if (withLibraries) {
    std::printf(
        "the agent's own share: its private memory beyond the plain program with its "
        "libraries (goal <= 1.5 MB)\n");
    for (const std::optional<Measurement>& m : results) {
      if (!m || m->Label.rfind("hid.exe", 0) != 0) continue;
      std::printf("  %-60s %+.2f MB\n", m->Label.c_str(),
                  Megabytes(m->PrivateUsage) - Megabytes(withLibraries->PrivateUsage));
    }
  }
  return std::all_of(results.begin(), results.end(), [](const auto& r) { return r.has_value(); })
             ? 0
             : 1;
}

LRESULT CALLBACK IdleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

// The baseline: the libraries named, a hidden top-level window like the agent's, and nothing
// else.
int IdleWindow(const wchar_t* title, bool timer, int libraryCount, wchar_t** libraries) {
  for (int i = 0; i < libraryCount; ++i) LoadLibraryW(libraries[i]);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = IdleProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"VireoIdleBaseline";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, title, WS_POPUP, 100,
                                100, 100, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (timer) SetTimer(window, 1, 1000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 2 && std::wcscmp(argv[1], L"--idle-window") == 0)
    return IdleWindow(argv[2], false, argc - 3, argv + 3);
  if (argc > 2 && std::wcscmp(argv[1], L"--timer-window") == 0)
    return IdleWindow(argv[2], true, argc - 3, argv + 3);
  const int seconds =
      argc > 1 ? std::max(5, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 60;
  std::optional<std::pair<uint16_t, uint16_t>> native;
  if (argc > 4 && std::wcscmp(argv[2], L"--vmouse") == 0) {
    native = {static_cast<uint16_t>(std::wcstol(argv[3], nullptr, 10)),
              static_cast<uint16_t>(std::wcstol(argv[4], nullptr, 10))};
  }
  return Run(seconds, native);
}
