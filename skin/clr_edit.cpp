#include "skin/clr_edit.h"

bool CClrEdit::Create(const RECT& rect, HWND parent, int id) {
  DWORD style = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
  if (m_border) style |= WS_BORDER;
  if (!CreateControl(L"EDIT", 0, L"", style, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, parent, id)) {
    return false;
  }
  if (m_border) {
    // The edit class turns WS_BORDER into a sunken two-pixel edge; the field wants the plain
    // one-pixel line.
    const LONG_PTR exStyle = ::GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE);
    ::SetWindowLongPtrW(Hwnd(), GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
    const LONG_PTR windowStyle = ::GetWindowLongPtrW(Hwnd(), GWL_STYLE);
    ::SetWindowLongPtrW(Hwnd(), GWL_STYLE, windowStyle | WS_BORDER);
    ::SetWindowPos(Hwnd(), nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  return true;
}

void CClrEdit::PostToParent(UINT message, WPARAM wParam, LPARAM lParam) const noexcept {
  const HWND parent = ::GetParent(Hwnd());
  if (parent != nullptr) ::PostMessageW(parent, message, wParam, lParam);
}

LRESULT CClrEdit::OnKeyUp(WPARAM wParam, LPARAM) {
  if (m_notifyKeyRelease) PostToParent(kClrEditKeyUpMessage, wParam, m_tag);
  SetMsgHandled(false);
  return 0;
}

// The focus is followed here rather than through EN_SETFOCUS/EN_KILLFOCUS, which reach the
// field only when its parent leaves WM_COMMAND unanswered.
LRESULT CClrEdit::OnSetFocus(WPARAM, LPARAM) {
  PostToParent(kClrEditFocusMessage, kClrEditFocusGained, 0);
  SetMsgHandled(false);
  return 0;
}

LRESULT CClrEdit::OnKillFocus(WPARAM, LPARAM) {
  PostToParent(kClrEditFocusMessage, kClrEditFocusLost, 0);
  SetMsgHandled(false);
  return 0;
}

HBRUSH CClrEdit::BackgroundBrush() {
  if (!m_brush || m_brushColour != m_backgroundColour) {
    m_brush.reset(::CreateSolidBrush(m_backgroundColour));
    m_brushColour = m_backgroundColour;
  }
  return m_brush.get();
}

LRESULT CClrEdit::OnCtlColor(WPARAM wParam, LPARAM) {
  const HDC dc = reinterpret_cast<HDC>(wParam);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, m_textColour);
  ::SetBkColor(dc, m_backgroundColour);
  return reinterpret_cast<LRESULT>(BackgroundBrush());
}

LRESULT CClrEdit::OnEraseBkgnd(WPARAM wParam, LPARAM) {
  // The text is drawn transparently, so the erase must cover the old text; with the field's own
  // colour, so nothing of the system colour shows.
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  ::FillRect(reinterpret_cast<HDC>(wParam), &client, BackgroundBrush());
  return TRUE;
}
