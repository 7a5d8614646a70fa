// The agent's transfers over the virtual mouse: hid.exe with Conduit.dll, started from a folder
// of its own with a fresh data folder, talks to a virtual mouse served by this program.
// Prints, for the full write (0x4DE), its report count and its wall time against its 400 ms of
// fixed pauses, and for the read-back after a plug-in its wall time against its 200 ms.
//
// With --vmouse it reads back against a virtual mouse running elsewhere instead (the native
// Linux vmouse, as the demo runs it), plugged out and in through its control port: under Wine
// an in-process server shares the emulated socket layer with the agent, a native one does not.
//
//   device_link_bench.exe [runs] [--vmouse LINKPORT CONTROLPORT]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "agent/mouse_protocol.h"
#include "bench/settled_reports.h"
#include "conduit/conduit.h"
#include "contract/program_names.h"
#include "contract/window_messages.h"
#include "support/process_harness.h"
#include "support/stand_in_configurator.h"
#include "vmouse/control_port_server.h"
#include "vmouse/virtual_mouse_server.h"
#include "win/text.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

// The configurator's title, so that the agent tells it when a read-back has finished.
class ReadBackWatch {
 public:
  // Waits for the next "profile files rewritten" news; the time it arrived, or false.
  bool WaitReadBack(DWORD milliseconds, Clock::time_point& arrived) {
    const WPARAM kind = configurator_msg::kNewsProfilesRewritten;
    if (!m_configurator.WaitFor(kind, ++m_readBacks, milliseconds)) return false;
    for (auto news = m_configurator.Got().rbegin(); news != m_configurator.Got().rend(); ++news) {
      if (news->Kind == kind) {
        arrived = news->Arrived;
        break;
      }
    }
    return true;
  }

 private:
  harness::StandInConfigurator m_configurator;
  int m_readBacks = 0;
};

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

// The library alone, loaded here once the agent has gone: the read-back's 143 read commands
// with their answer reads, without the agent's own work, each as one request (ordinal 9).
void LibraryRoundTrip(VirtualMouseServer& mouse) {
  HMODULE library = LoadLibraryW((harness::BinFolder() + L"Conduit.dll").c_str());
  if (!library) return;
  auto configure = reinterpret_cast<decltype(&ConduitConfigure)>(
      reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(7))));
  auto registerWindow = reinterpret_cast<decltype(&ConduitRegisterWindow)>(
      reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(2))));
  auto request = reinterpret_cast<decltype(&ConduitRequestReport)>(
      reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(9))));
  if (!configure || !registerWindow || !request) return;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = PlainProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"VireoBenchLibraryUser";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  const ConduitOpenParams params{0x04D9, 0xFC5D, 2, 1, 0x000C, 1, 0xFFA0};
  configure(&params);
  mouse.WaitForClient(false, 5000ms);
  if (!registerWindow(window, agent_msg::kDeviceNotify)) {
    std::fprintf(stderr, "the library found no mouse\n");
    DestroyWindow(window);
    return;
  }
  const uint32_t vendor = VirtualMouse::kVendorCollection;
  std::vector<double> times;
  for (int run = 0; run < 5; ++run) {
    const auto start = Clock::now();
    for (int i = 0; i < 143; ++i) {
      const uint8_t command[16] = {2, 0xF2, 0x2C, 0x00, 1};
      uint8_t answer[16] = {2, 0xF2};
      request(vendor, command, sizeof(command), answer, sizeof(answer));
    }
    times.push_back(Milliseconds(Clock::now() - start));
  }
  std::printf("  library alone, 143 read commands with their reads: %.1f ms (%.3f ms each)\n",
              Median(times), Median(times) / 143);
  registerWindow(nullptr, agent_msg::kDeviceNotify);
  DestroyWindow(window);
}

int Run(int runs) {
  harness::TempFolder program(L"vireo-bench-program");
  harness::TempFolder documents(L"vireo-bench-documents");
  harness::DocumentsOverride documentsOverride(documents.Path());
  for (const wchar_t* file : {L"hid.exe", L"Conduit.dll"}) {
    if (!harness::CopyInto(harness::BinFolder() + file, program.Path())) {
      std::fwprintf(stderr, L"%ls is missing beside the benchmark\n", file);
      return 1;
    }
  }
  // The progress window as the user sees it, shaped and drawn from the skin's pictures.
  if (!harness::InstallProgressPictures(program.Path())) {
    std::fprintf(stderr, "the built skin lacks a progress picture\n");
    return 1;
  }
  if (FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle))) {
    std::fprintf(stderr, "an agent is already running\n");
    return 1;
  }

  VirtualMouseServer mouse;
  if (!mouse.Start()) {
    std::fprintf(stderr, "the virtual mouse found no port\n");
    return 1;
  }
  ReadBackWatch configurator;
  SetEnvironmentVariableW(L"VIREO_VMOUSE", (L"127.0.0.1:" + std::to_wstring(mouse.Port())).c_str());
  harness::Process agent(program.Path() + L"hid.exe");
  HWND agentWindow = harness::WaitForReadyWindow(AsWide(program_names::kAgentWindowTitle), 20000);
  Clock::time_point arrived;
  if (!agent.Started() || !agentWindow || !configurator.WaitReadBack(30000, arrived)) {
    std::fprintf(stderr, "the agent did not start or did not read the mouse back\n");
    return 1;
  }

  // When the mouse saw the read-back's transfer begin and end.
  std::mutex transferMutex;
  Clock::time_point transferBegin, transferEnd;
  mouse.SetLogListener([&](const std::string& line) {
    std::lock_guard lock(transferMutex);
    if (line.find("transfer begin") != std::string::npos) transferBegin = Clock::now();
    if (line.find("transfer end") != std::string::npos) transferEnd = Clock::now();
  });

  std::vector<double> writeTimes, readTimes, untilBegin, transfer, afterEnd;
  std::size_t writeReports = 0;
  for (int run = 0; run < runs; ++run) {
    const std::size_t before = SettledReports(mouse, 150);
    const auto start = Clock::now();
    DWORD_PTR result = 0;
    SendMessageTimeoutW(agentWindow, agent_msg::kApplyAll, 0, 0, SMTO_NORMAL, 60000, &result);
    writeTimes.push_back(Milliseconds(Clock::now() - start));
    writeReports = SettledReports(mouse, 150) - before;

    mouse.Detach();
    Sleep(300);
    const auto plugged = Clock::now();
    mouse.Attach();
    if (!configurator.WaitReadBack(30000, arrived)) {
      std::fprintf(stderr, "no read-back after plug-in %d\n", run + 1);
      return 1;
    }
    readTimes.push_back(Milliseconds(arrived - plugged));
    std::lock_guard lock(transferMutex);
    untilBegin.push_back(Milliseconds(transferBegin - plugged));
    transfer.push_back(Milliseconds(transferEnd - transferBegin));
    afterEnd.push_back(Milliseconds(arrived - transferEnd));
  }

  const double write = Median(writeTimes), read = Median(readTimes);
  std::printf("device link over the virtual mouse, median of %d runs\n", runs);
  std::printf(
      "  full write (0x4DE): %zu reports, %.1f ms, %.3f x its 400 ms of pauses (goal <= 1.05)\n",
      writeReports, write, write / 400.0);
  std::printf("  read-back after plug-in: %.1f ms, %.3f x its 200 ms of pauses (goal <= 1.25)\n",
              read, read / 200.0);
  std::printf("    plug-in to transfer begin %.1f ms, transfer %.1f ms, files and news %.1f ms\n",
              Median(untilBegin), Median(transfer), Median(afterEnd));
  std::printf(
      "    files and news after the %u ms pause that ends the transfer: %.1f ms (goal <= 10)\n",
      MouseProtocol::kTransferPauseMs, Median(afterEnd) - MouseProtocol::kTransferPauseMs);

  // The same when the mouse's settings changed while it was away (another profile chosen on
  // it): every one of the five files is rewritten and flushed.
  std::vector<double> rewritten;
  for (int run = 0; run < runs; ++run) {
    mouse.Detach();
    Sleep(300);
    mouse.SwitchProfile((run + 1) % 5);
    mouse.Attach();
    if (!configurator.WaitReadBack(30000, arrived)) {
      std::fprintf(stderr, "no read-back after plug-in %d\n", run + 1);
      return 1;
    }
    std::lock_guard lock(transferMutex);
    rewritten.push_back(Milliseconds(arrived - transferEnd) - MouseProtocol::kTransferPauseMs);
  }
  std::printf("    with all five files rewritten: %.1f ms after the pause (goal <= 10)\n",
              Median(rewritten));

  PostMessageW(agentWindow, WM_COMMAND, agent_msg::kCommandExit, 0);
  agent.WaitExit(10000);
  LibraryRoundTrip(mouse);
  SetEnvironmentVariableW(L"VIREO_VMOUSE", nullptr);
  return 0;
}

int RunExternal(int runs, uint16_t linkPort, uint16_t controlPort) {
  harness::TempFolder program(L"vireo-bench-program");
  harness::TempFolder documents(L"vireo-bench-documents");
  harness::DocumentsOverride documentsOverride(documents.Path());
  for (const wchar_t* file : {L"hid.exe", L"Conduit.dll"}) {
    if (!harness::CopyInto(harness::BinFolder() + file, program.Path())) return 1;
  }
  if (!SendControlCommand(controlPort, "attach")) {
    std::fprintf(stderr, "no vmouse control port on %u\n", controlPort);
    return 1;
  }
  ReadBackWatch configurator;
  SetEnvironmentVariableW(L"VIREO_VMOUSE", (L"127.0.0.1:" + std::to_wstring(linkPort)).c_str());
  harness::Process agent(program.Path() + L"hid.exe");
  HWND agentWindow = harness::WaitForReadyWindow(AsWide(program_names::kAgentWindowTitle), 20000);
  Clock::time_point arrived;
  if (!agent.Started() || !agentWindow || !configurator.WaitReadBack(30000, arrived)) {
    std::fprintf(stderr, "the agent did not start or did not read the native mouse back\n");
    return 1;
  }
  std::vector<double> readTimes;
  for (int run = 0; run < runs; ++run) {
    SendControlCommand(controlPort, "detach");
    Sleep(300);
    const auto plugged = Clock::now();
    if (!SendControlCommand(controlPort, "attach") || !configurator.WaitReadBack(30000, arrived)) {
      std::fprintf(stderr, "no read-back after plug-in %d\n", run + 1);
      return 1;
    }
    readTimes.push_back(Milliseconds(arrived - plugged));
  }
  const double read = Median(readTimes);
  std::printf(
      "  the same read-back with the native Linux vmouse (agent under Wine, as in the demo;\n"
      "  no in-process server sharing Wine's socket layer), median of %d runs:\n"
      "  %.1f ms, %.3f x its 200 ms of pauses\n",
      runs, read, read / 200.0);
  PostMessageW(agentWindow, WM_COMMAND, agent_msg::kCommandExit, 0);
  agent.WaitExit(10000);
  SetEnvironmentVariableW(L"VIREO_VMOUSE", nullptr);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 5;
  if (argc > 4 && std::wcscmp(argv[2], L"--vmouse") == 0) {
    const auto link = static_cast<uint16_t>(std::wcstol(argv[3], nullptr, 10));
    const auto control = static_cast<uint16_t>(std::wcstol(argv[4], nullptr, 10));
    return RunExternal(runs, link, control);
  }
  return Run(runs);
}
