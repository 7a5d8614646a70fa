#include "win/subclass.h"

#include <commctrl.h>

#include <utility>

namespace {
// Distinct from the id Window uses, so a control can carry both.
constexpr UINT_PTR kSubclassId = 2;
}  // namespace

Subclass::~Subclass() {
  Remove();
}

bool Subclass::Install(HWND window, Handler handler) {
  if (m_hwnd != nullptr || window == nullptr || !handler || !::IsWindow(window)) return false;
  m_handler = std::move(handler);
  if (!::SetWindowSubclass(window, &Subclass::Proc, kSubclassId,
                           reinterpret_cast<DWORD_PTR>(this))) {
    m_handler = nullptr;
    return false;
  }
  m_hwnd = window;
  return true;
}

void Subclass::Remove() noexcept {
  if (m_hwnd == nullptr) return;
  ::RemoveWindowSubclass(m_hwnd, &Subclass::Proc, kSubclassId);
  m_hwnd = nullptr;
}

LRESULT CALLBACK Subclass::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                UINT_PTR subclassId, DWORD_PTR refData) noexcept {
  auto* const self = reinterpret_cast<Subclass*>(refData);
  if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(window, &Subclass::Proc, subclassId);
    self->m_hwnd = nullptr;
  }
  LRESULT result = 0;
  bool answered = false;
  try {
    answered = self->m_handler(window, message, wParam, lParam, result);
  } catch (...) {
    ::OutputDebugStringW(L"Subclass: exception in a message handler\n");
    answered = false;
  }
  return answered ? result : ::DefSubclassProc(window, message, wParam, lParam);
}
