#pragma once
// A dialog window titled like the configurator's main window, which is how the agent finds it
// (title and dialog class): it records the news (0x1515) the agent posts and the macro editor's
// 0x1517 (a macro was deleted) when it owns the editor, and ignores WM_CLOSE, so the test
// decides its end.

#include <windows.h>

#include <chrono>
#include <optional>
#include <vector>

namespace harness {

struct AgentNews {
  WPARAM Kind = 0;
  LPARAM Value = 0;
  std::chrono::steady_clock::time_point Arrived;
};

class StandInConfigurator {
 public:
  StandInConfigurator();
  ~StandInConfigurator();
  StandInConfigurator(const StandInConfigurator&) = delete;
  StandInConfigurator& operator=(const StandInConfigurator&) = delete;

  HWND Hwnd() const { return m_window; }
  const std::vector<AgentNews>& Got() const { return m_got; }
  int MacroDeletions() const { return m_macroDeletions; }
  int Count(WPARAM kind, std::optional<LPARAM> value = std::nullopt) const;
  // Pumps messages until news of this kind (and value, when given) has arrived `count` times.
  bool WaitFor(WPARAM kind, int count = 1, DWORD milliseconds = 20000,
               std::optional<LPARAM> value = std::nullopt);

 private:
  static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_window = nullptr;
  std::vector<AgentNews> m_got;
  int m_macroDeletions = 0;
};

}  // namespace harness
