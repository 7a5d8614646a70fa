#include "skin/clr_edit.h"

#include "win/text.h"

bool CClrEdit::Create(HWND parent, int id, const RECT& rect, const Setup& setup) {
  const EditLook& look = setup.look;
  m_tag = look.tag;
  m_border = look.border;
  m_notifyKeyRelease = look.notifyKeyRelease;
  m_textColour = look.textColour;
  m_backgroundColour = look.backgroundColour;
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
  if (look.font.height > 0) {
    const wchar_t* face = look.fontFace != nullptr ? AsWide(look.fontFace) : L"Arial";
    m_font.reset(::CreateFontW(look.font.height, 0, 0, 0, look.font.weight,
                               look.font.italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_NATURAL_QUALITY,
                               DEFAULT_PITCH | FF_SWISS, face));
    if (m_font) ::SendMessageW(Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
  }
  if (look.limit > 0) ::SendMessageW(Hwnd(), EM_LIMITTEXT, static_cast<WPARAM>(look.limit), 0);
  if (!setup.text.empty()) ::SetWindowTextW(Hwnd(), setup.text.c_str());
  return true;
}

void CClrEdit::PostToParent(UINT message, WPARAM wParam, LPARAM lParam) const noexcept {
  const HWND parent = ::GetParent(Hwnd());
  if (parent != nullptr) ::PostMessageW(parent, message, wParam, lParam);
}

void CClrEdit::OnKeyUp(UINT key, LPARAM) {
  if (m_notifyKeyRelease) PostToParent(kClrEditKeyUpMessage, key, m_tag);
  SetMsgHandled(false);
}

// The focus is followed here rather than through EN_SETFOCUS/EN_KILLFOCUS, which reach the
// field only when its parent leaves WM_COMMAND unanswered.
void CClrEdit::OnSetFocus(HWND) {
  PostToParent(kClrEditFocusMessage, kClrEditFocusGained, 0);
  SetMsgHandled(false);
}

void CClrEdit::OnKillFocus(HWND) {
  PostToParent(kClrEditFocusMessage, kClrEditFocusLost, 0);
  SetMsgHandled(false);
}

HBRUSH CClrEdit::BackgroundBrush() {
  if (!m_brush || m_brushColour != m_backgroundColour) {
    m_brush.reset(::CreateSolidBrush(m_backgroundColour));
    m_brushColour = m_backgroundColour;
  }
  return m_brush.get();
}

HBRUSH CClrEdit::OnCtlColor(HDC dc) {
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, m_textColour);
  ::SetBkColor(dc, m_backgroundColour);
  return BackgroundBrush();
}

BOOL CClrEdit::OnEraseBkgnd(HDC dc) {
  // The text is drawn transparently, so the erase must cover the old text; with the field's own
  // colour, so nothing of the system colour shows.
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  ::FillRect(dc, &client, BackgroundBrush());
  return TRUE;
}
