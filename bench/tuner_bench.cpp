// The configurator under Wine, against the agent and a virtual mouse served by this program:
//
// - start: from starting tuner.exe to its first complete paint (the first moment from which the
//   window on the screen stays as it finally looks), beside the same for a bare Win32 window
//   program (bare_window.exe), as a ratio;
// - Apply: the wall time of the Apply button (BM_CLICK, answered when the configurator's
//   SendMessage to the agent returns), split at the first report the mouse receives into the
//   file save (with the agent's reload) and the agent's transfer, which has 400 ms of fixed
//   pauses; beside it, SaveProfileFiles of the same set alone in this process.
//
//   tuner_bench.exe [runs] [pause between looks, ms]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "configurator/tuner_ids.h"
#include "contract/program_names.h"
#include "contract/window_messages.h"
#include "settings/macro_library.h"
#include "settings/profile_files.h"
#include "support/process_harness.h"
#include "support/window_capture.h"
#include "vmouse/virtual_mouse_server.h"
#include "win/text.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr double kTransferPausesMs = 400.0;

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

std::uint64_t Fingerprint(const harness::WindowCapture& capture) {
  std::uint64_t hash = 1469598103934665603ull;
  const std::size_t count = static_cast<std::size_t>(capture.width) * capture.height;
  for (std::size_t i = 0; i < count; ++i) {
    hash = (hash ^ (capture.pixels[i] & 0xFFFFFF)) * 1099511628211ull;
  }
  return hash;
}

// How the window is watched: each look copies the whole window through the X server (about
// 5 ms here), so looks back to back keep one of the machine's cores and the X server busy while
// the program starts; a pause between looks leaves them to the program, at the price of
// resolution. The same for both programs.
struct Watcher {
  DWORD pauseMs = 0;
  std::vector<double> lookIntervals;  // ms, of every run, for the resolution
};

// Starts the program and watches its window (found by title) until it has looked the same for
// `settle`; the time from the start to the first of those unchanged pictures, or none.
std::optional<double> TimeToCompletePaint(const std::wstring& exe, const wchar_t* title,
                                          Watcher& watcher, Clock::duration settle = 2s) {
  SetCursorPos(0, 0);  // no button lit by the pointer
  const Clock::time_point start = Clock::now();
  harness::Process process(exe);
  if (!process.Started()) return std::nullopt;
  struct Look {
    Clock::time_point at;
    std::uint64_t fingerprint;
  };
  std::vector<Look> looks;
  HWND window = nullptr;
  while (Clock::now() - start < 20s) {
    if (window == nullptr) {
      window = FindWindowW(nullptr, title);
      if (window == nullptr || !IsWindowVisible(window)) {
        window = nullptr;
        Sleep(1);
        continue;
      }
    }
    harness::WindowCapture capture;
    if (!harness::CaptureWindow(window, capture)) break;
    looks.push_back({Clock::now(), Fingerprint(capture)});
    if (looks.back().at - looks.front().at > settle) break;
    if (watcher.pauseMs > 0) Sleep(watcher.pauseMs);
  }
  if (looks.size() > 1) {
    watcher.lookIntervals.push_back(Milliseconds(looks.back().at - looks.front().at) /
                                    static_cast<double>(looks.size() - 1));
  }
  if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
  process.WaitExit(10000);
  if (looks.empty()) return std::nullopt;
  if (GetEnvironmentVariableW(L"VIREO_BENCH_TRACE", nullptr, 0) != 0) {
    for (std::size_t i = 0; i < looks.size(); ++i) {
      if (i == 0 || looks[i].fingerprint != looks[i - 1].fingerprint)
        std::printf("    %7.1f ms: %016llx\n", Milliseconds(looks[i].at - start),
                    static_cast<unsigned long long>(looks[i].fingerprint));
    }
  }
  std::size_t first = looks.size() - 1;
  while (first > 0 && looks[first - 1].fingerprint == looks.back().fingerprint) --first;
  return Milliseconds(looks[first].at - start);
}

int Run(int runs, DWORD pauseMs) {
  harness::TempFolder program(L"vireo-tuner-bench-program");
  harness::TempFolder documents(L"vireo-tuner-bench-documents");
  harness::DocumentsOverride documentsOverride(documents.Path());
  if (!harness::InstallAgent(program.Path()) || !harness::InstallConfigurator(program.Path())) {
    std::fprintf(stderr, "the built programs or the skin are missing\n");
    return 1;
  }
  const std::u16string data = ToU16(documents.Path()) + u"Vireo Gaming Mouse\\";
  CreateDirectoryW(AsWide(data), nullptr);
  CreateDirectoryW(AsWide(data + u"MacroDB\\"), nullptr);
  MacroLibrary(data).TakeFirstOpen();  // the agent does not open the configurator itself

  VirtualMouseServer::Options options;
  options.FactorySettings = true;
  VirtualMouseServer mouse(options);
  if (!mouse.Start()) return 1;
  SetEnvironmentVariableW(L"VIREO_VMOUSE", (L"127.0.0.1:" + std::to_wstring(mouse.Port())).c_str());
  harness::Process agent(program.Path() + L"hid.exe");
  const wchar_t* const agentTitle = AsWide(program_names::kAgentWindowTitle);
  const HWND agentWindow = harness::WaitForReadyWindow(agentTitle, 15000);
  if (agentWindow == nullptr || !harness::WaitForFile(AsWide(ProfileFilePath(data, 5)), 15000)) {
    std::fprintf(stderr, "the agent did not read the mouse back\n");
    return 1;
  }
  Sleep(1000);

  // ---- start to first complete paint
  const wchar_t* const tunerTitle = AsWide(program_names::kConfiguratorWindowTitle);
  std::vector<double> tuner, bare;
  Watcher watcher{pauseMs, {}};
  for (int run = 0; run < runs; ++run) {
    if (auto ms = TimeToCompletePaint(program.Path() + L"tuner.exe", tunerTitle, watcher)) {
      tuner.push_back(*ms);
    }
    if (auto ms = TimeToCompletePaint(harness::BinFolder() + L"bare_window.exe",
                                      L"Vireo bench bare window", watcher)) {
      bare.push_back(*ms);
    }
  }
  const double tunerMs = Median(tuner), bareMs = Median(bare);
  std::printf("start to first complete paint, median of %d (a look every %.1f ms: %s):\n", runs,
              Median(watcher.lookIntervals),
              pauseMs > 0 ? (std::to_string(pauseMs) + " ms pause between looks").c_str()
                          : "looks back to back");
  std::printf("  tuner.exe           %7.1f ms\n", tunerMs);
  std::printf("  bare Win32 window   %7.1f ms\n", bareMs);
  std::printf("  ratio               %7.2f (goal <= 2.0)\n", bareMs > 0 ? tunerMs / bareMs : 0.0);

  // ---- Apply
  harness::Process configurator(program.Path() + L"tuner.exe");
  const HWND window = harness::WaitForReadyWindow(tunerTitle, 15000);
  const HWND apply = window ? GetDlgItem(window, tuner_id::kApply) : nullptr;
  if (apply == nullptr) return 1;
  std::atomic<bool> watching{false};
  std::atomic<Clock::rep> firstReport{0};
  mouse.SetLogListener([&](const std::string&) {
    Clock::rep expected = 0;
    if (watching)
      firstReport.compare_exchange_strong(expected, Clock::now().time_since_epoch().count());
  });
  std::vector<double> total, save, transfer;
  for (int run = 0; run < runs; ++run) {
    firstReport = 0;
    watching = true;
    const Clock::time_point start = Clock::now();
    DWORD_PTR result = 0;
    SendMessageTimeoutW(apply, BM_CLICK, 0, 0, SMTO_NORMAL, 60000, &result);
    const Clock::time_point end = Clock::now();
    watching = false;
    const Clock::time_point first{Clock::duration(firstReport.load())};
    if (firstReport == 0) continue;
    total.push_back(Milliseconds(end - start));
    save.push_back(Milliseconds(first - start));
    transfer.push_back(Milliseconds(end - first));
    harness::WaitForNoWindow(L"VireoProgressbar", 5000);
    Sleep(300);
  }
  mouse.SetLogListener(nullptr);
  PostMessageW(window, WM_CLOSE, 0, 0);
  configurator.WaitExit(10000);

  ProfileSet set{};
  ResetProfileSet(set);
  LoadProfileFiles(set, data);
  std::vector<double> saveAlone;
  for (int run = 0; run < std::max(runs, 10); ++run) {
    const Clock::time_point start = Clock::now();
    SaveProfileFiles(set, data);
    saveAlone.push_back(Milliseconds(Clock::now() - start));
  }

  const double transferMs = Median(transfer);
  std::printf("Apply (click to answer), median of %zu:\n", total.size());
  std::printf("  total                          %7.1f ms\n", Median(total));
  std::printf("  file save and agent's reload   %7.1f ms (until the mouse's first report)\n",
              Median(save));
  std::printf("  agent's transfer               %7.1f ms (%.2f x its %.0f ms of pauses)\n",
              transferMs, transferMs / kTransferPausesMs, kTransferPausesMs);
  std::printf("  SaveProfileFiles alone         %7.1f ms (in this process)\n", Median(saveAlone));

  PostMessageW(agentWindow, WM_COMMAND, agent_msg::kCommandExit, 0);
  agent.WaitExit(10000);
  SetEnvironmentVariableW(L"VIREO_VMOUSE", nullptr);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
  const DWORD pauseMs = argc > 2 ? static_cast<DWORD>(std::max(0, _wtoi(argv[2]))) : 0;
  return Run(runs, pauseMs);
}
