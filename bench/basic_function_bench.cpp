// Time of the PC-side functions' keystrokes as hid.exe sends them: a shortcut through
// CBasicFunction (three 50 ms pauses by design, so about 150 ms) and a browser key (no pause).
// The keys go to a window of this program, in front, so that no other program receives them.
//
//   basic_function_bench.exe [runs]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "agent/win32/basic_function.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
  double mean, min, max;
};

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

template <typename Operation>
Figures Measure(int runs, Operation operation) {
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    const Clock::time_point start = Clock::now();
    CBasicFunction function;
    operation(function);
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    Pump();
  }
  double sum = 0;
  for (double time : times) sum += time;
  return {sum / runs, *std::min_element(times.begin(), times.end()),
          *std::max_element(times.begin(), times.end())};
}

void Print(const char* what, const Figures& figures, const char* goal) {
  std::printf("%-32s mean %8.2f ms  min %8.2f ms  max %8.2f ms  (%s)\n", what, figures.mean,
              figures.min, figures.max, goal);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 10;

  // An edit box of our own takes the keys: select-all and refresh do nothing harmful there.
  HWND target = CreateWindowExW(0, L"EDIT", L"basic_function_bench", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (target != nullptr) {
    ShowWindow(target, SW_SHOW);
    SetForegroundWindow(target);
    SetFocus(target);
    Pump();
  }
  std::printf("%d runs%s\n", runs, target ? "" : " (no window of our own for the keys)");

  Print("shortcut (Control + A)", Measure(runs, [](CBasicFunction& f) { f.SelectAll(); }),
        "about 150 ms by design");
  Print("browser key (refresh)", Measure(runs, [](CBasicFunction& f) { f.BrowserRefresh(); }),
        "no pause");

  if (target != nullptr) DestroyWindow(target);
  return 0;
}
