#pragma once
// Drives a modal window of this process from inside its own message loop: the steps run one per
// timer tick on the window's thread (in nested modal loops too: a step may open a dialog and
// the next one answer it), the window brought to the front first. A step that returns bool
// waits: it is tried again every tick until it returns true, and a wait that never ends stops
// the script. The window is closed should the steps have left it open.
//
//   harness::ModalScript script(window, {[&] { Click(kRecord); },
//                                        [&] { return window.Editor().RowCount() == 4; }});
//   window.DoModal();
//   EXPECT_TRUE(script.Finished());
#include <windows.h>

#include <cstddef>
#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

#include "win/dialog.h"

namespace harness {

class ModalScript {
 public:
  class Step {
   public:
    template <typename Function>
    Step(Function function) {  // NOLINT: steps are written as plain lambdas
      if constexpr (std::is_same_v<std::invoke_result_t<Function&>, bool>) {
        m_waits = true;
        m_run = std::move(function);
      } else {
        m_run = [function = std::move(function)]() mutable {
          function();
          return true;
        };
      }
    }
    bool Waits() const { return m_waits; }
    bool operator()() { return m_run(); }

   private:
    std::function<bool()> m_run;
    bool m_waits = false;
  };

  static constexpr unsigned kStepMs = 120;
  // How many ticks a waiting step may take.
  static constexpr int kPatience = 80;

  ModalScript(Dialog& window, std::vector<Step> steps);
  ~ModalScript();
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;

  // Whether every step ran.
  bool Finished() const { return m_next == m_steps.size(); }
  // The step that ran last or waits (0-based), for failure messages.
  std::size_t StepReached() const { return m_next; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);

  static inline ModalScript* s_current = nullptr;
  Dialog& m_window;
  std::vector<Step> m_steps;
  std::size_t m_next = 0;
  int m_waited = 0;
  int m_idleTicks = 0;
  bool m_gaveUp = false;
  UINT_PTR m_timer = 0;
};

}  // namespace harness
