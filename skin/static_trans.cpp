#include "skin/static_trans.h"

#include <string>

namespace {

// DEFAULT_PITCH | FF_SWISS: a sans-serif face should "Arial" be missing.
constexpr DWORD kPitchAndFamily = 14;

DWORD AlignmentStyle(TextAlign align) {
  switch (align) {
    case TextAlign::kCentre:
      return SS_CENTER;
    case TextAlign::kRight:
      return SS_RIGHT;
    case TextAlign::kWrapped:
      return SS_LEFT;
    case TextAlign::kLeft:
      break;
  }
  return SS_LEFTNOWORDWRAP;
}

}  // namespace

bool CStaticTrans::Create(HWND parent, int id, const RECT& rect, const Setup& setup) {
  const LabelLook& look = setup.look;
  SetFontHeight(look.font.height);
  SetFontWeight(look.font.weight);
  SetItalic(look.font.italic);
  SetTextColour(look.colour);
  SetBackgroundColour(look.background);
  return CreateControl(L"STATIC", 0, setup.text.c_str(),
                       WS_CHILD | WS_VISIBLE | AlignmentStyle(look.align), rect.left, rect.top,
                       rect.right - rect.left, rect.bottom - rect.top, parent, id);
}

void CStaticTrans::SetText(std::wstring_view text) {
  const std::wstring title(text);
  ::SetWindowTextW(Hwnd(), title.c_str());
}

void CStaticTrans::SetFontHeight(int height) noexcept {
  if (height != m_fontHeight) m_font.reset();
  m_fontHeight = height;
}

void CStaticTrans::SetFontWeight(int weight) noexcept {
  if (weight != m_fontWeight) m_font.reset();
  m_fontWeight = weight;
}

void CStaticTrans::SetItalic(bool italic) noexcept {
  if (italic != m_italic) m_font.reset();
  m_italic = italic;
}

HFONT CStaticTrans::LabelFont() {
  if (!m_font) {
    m_font.reset(::CreateFontW(m_fontHeight, 0, 0, 0, m_fontWeight, m_italic ? TRUE : FALSE, FALSE,
                               FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               CLEARTYPE_NATURAL_QUALITY, kPitchAndFamily, L"Arial"));
  }
  return m_font.get();
}

HBRUSH CStaticTrans::OnCtlColor(HDC dc) {
  HBRUSH brush = nullptr;
  if (m_backgroundColour == kTransparent) {
    // Stays selected for this paint; the label keeps the font alive until it goes.
    if (HFONT font = LabelFont()) ::SelectObject(dc, font);
    brush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    ::SetBkMode(dc, TRANSPARENT);
  } else {
    const auto colour = static_cast<COLORREF>(m_backgroundColour);
    if (!m_brush || m_brushColour != colour) {
      m_brush.reset(::CreateSolidBrush(colour));
      m_brushColour = colour;
    }
    brush = m_brush.get();
    ::SetBkColor(dc, colour);
  }
  ::SetTextColor(dc, m_textColour);
  return brush;
}

LRESULT CStaticTrans::OnSetText(WPARAM, LPARAM) {
  // The parent repaints its background under the label before the new text is drawn. A hidden
  // label shows nothing (its area was repainted when it was hidden), so nothing to repaint.
  const HWND parent = ::GetParent(Hwnd());
  if (parent != nullptr && ::IsWindowVisible(Hwnd())) {
    RECT area{};
    ::GetWindowRect(Hwnd(), &area);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    ::InvalidateRect(parent, &area, TRUE);
  }
  SetMsgHandled(false);
  return 0;
}
