#include "support/modal_script.h"

namespace harness {

ModalScript::ModalScript(Dialog& window, std::vector<Step> steps)
    : m_window(window), m_steps(std::move(steps)) {
  s_current = this;
  m_timer = ::SetTimer(nullptr, 0, kStepMs, &ModalScript::Tick);
}

ModalScript::~ModalScript() {
  ::KillTimer(nullptr, m_timer);
  s_current = nullptr;
}

void CALLBACK ModalScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
  ModalScript* self = s_current;
  const HWND window = self != nullptr ? self->m_window.Hwnd() : nullptr;
  if (window == nullptr) return;
  if (self->m_next == 0 && self->m_waited == 0) ::SetForegroundWindow(window);
  if (!self->m_gaveUp && self->m_next < self->m_steps.size()) {
    Step& step = self->m_steps[self->m_next];
    if (!step.Waits()) {
      // Counted first: a step may run a nested loop in which the next steps run.
      ++self->m_next;
      step();
    } else if (step()) {
      ++self->m_next;
      self->m_waited = 0;
    } else if (++self->m_waited > kPatience) {
      self->m_gaveUp = true;
    }
  } else if (++self->m_idleTicks > 10) {
    ::PostMessageW(window, WM_CLOSE, 0, 0);
  }
}

}  // namespace harness
