#include "skin/bitmap_btn.h"

#include <utility>

#include "skin/memory_canvas.h"
#include "win/scoped_select.h"

namespace {

// DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_WORDBREAK | DT_NOCLIP | DT_END_ELLIPSIS; the
// canvas is the size of the button, so nothing lands outside it.
constexpr UINT kCaptionBoxFormat = 0x8135;

}  // namespace

bool CBitmapBtn::Create(HWND parent, int id, const RECT& rect, const Setup& setup) {
  // The caption is the window's text from the start, and a new window is wholly invalid
  // already: each call saved here is a round trip to the Wine server per button.
  if (!CreateControl(L"BUTTON", 0, setup.caption.c_str(), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW,
                     rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                     id)) {
    return false;
  }
  m_creationRect = rect;
  m_faces = setup.faces;
  m_caption = setup.caption;
  ApplyLook(setup.look);
  // Made without border or tab stop, so no frame change (a SetWindowPos per button, a
  // noticeable share of a skinned window's start under Wine).
  return true;
}

void CBitmapBtn::SetLook(const ButtonLook& look) {
  ApplyLook(look);
  Redraw();
}

void CBitmapBtn::ApplyLook(const ButtonLook& look) {
  RECT client{};
  if (Hwnd() != nullptr) ::GetClientRect(Hwnd(), &client);
  m_showCaption = look.caption != CaptionLayout::kNone;
  m_captionBoxMode = look.caption == CaptionLayout::kBox;
  m_captionBox = RECT{0, 0, client.right - look.boxInsetRight, client.bottom};
  m_captionOffset = look.caption == CaptionLayout::kPoint ? look.pointOffset : 0;
  switch (look.caption) {
    case CaptionLayout::kRotated90:
      m_orientation = kCaptionRotated90;
      break;
    case CaptionLayout::kRotated270:
      m_orientation = kCaptionRotated270;
      break;
    case CaptionLayout::kLeftAligned:
      m_orientation = kCaptionLeftAligned;
      break;
    default:
      m_orientation = 1;
      break;
  }
  SetFont(look.font.height, look.font.weight);
  SetCaptionColours(look.normalColour, look.hoverColour, look.pressedColour);
  m_toggleMode = look.toggle;
  m_squareFace = look.squareFace;
}

void CBitmapBtn::SetCaptionText(std::wstring_view text) {
  m_caption.assign(text);
  ShowCaptionAsWindowText();
  Redraw();
}

void CBitmapBtn::ShowCaptionAsWindowText() noexcept {
  if (Hwnd() != nullptr) ::SetWindowTextW(Hwnd(), m_caption.c_str());
}

bool CBitmapBtn::SubclassButton(HWND button) {
  if (!SubclassWindow(button)) return false;
  LONG_PTR style = ::GetWindowLongPtrW(button, GWL_STYLE);
  style = (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW;
  ::SetWindowLongPtrW(button, GWL_STYLE, style);
  RemoveFrameStyles();
  return true;
}

void CBitmapBtn::RemoveFrameStyles() noexcept {
  const LONG_PTR style = ::GetWindowLongPtrW(Hwnd(), GWL_STYLE);
  ::SetWindowLongPtrW(Hwnd(), GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_BORDER | WS_TABSTOP));
  ::SetWindowPos(Hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CBitmapBtn::SetFaces(ButtonFaces faces) {
  m_faces = std::move(faces);
  if (Hwnd() != nullptr) {
    RemoveFrameStyles();
    Redraw();
  }
}

void CBitmapBtn::SetCaption(std::wstring_view text, int offset, int orientation) {
  m_caption.assign(text);
  m_captionOffset = offset;
  m_orientation = orientation;
  ShowCaptionAsWindowText();
  Redraw();
}

void CBitmapBtn::SetCentredCaption(std::wstring_view text, int weight) {
  RECT client{};
  if (Hwnd() != nullptr) ::GetClientRect(Hwnd(), &client);
  m_showCaption = true;
  SetCaptionBox(client);
  SetCaptionColours(RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255));
  SetFont(m_fontHeight, weight);
  SetCaption(text, 0, 1);
}

void CBitmapBtn::SetTicked(bool ticked) {
  if (ticked == m_ticked) return;
  m_ticked = ticked;
  Redraw();
}

void CBitmapBtn::SetFont(int height, int weight) {
  m_fontHeight = height;
  m_fontWeight = weight;
  m_font.reset();
  m_fontEscapement = -1;
}

Gdiplus::Bitmap* CBitmapBtn::Face(int number) const noexcept {
  switch (number) {
    case 1:
      return m_faces.normal.get();
    case 2:
      return m_faces.hover.get();
    case 3:
      return m_faces.pressed.get();
    case 4:
      return m_faces.disabled.get();
    default:
      return nullptr;
  }
}

void CBitmapBtn::Redraw() noexcept {
  if (Hwnd() != nullptr) ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

HFONT CBitmapBtn::CaptionFont(int escapement) {
  if (!m_font || m_fontEscapement != escapement) {
    m_font.reset(::CreateFontW(m_fontHeight, 0, escapement, 0, m_fontWeight, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               CLEARTYPE_NATURAL_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial"));
    m_fontEscapement = escapement;
  }
  return m_font.get();
}

BOOL CBitmapBtn::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_BUTTON) return FALSE;
  Draw(item.hDC, 0, 0, (item.itemState & ODS_SELECTED) != 0, (item.itemState & ODS_DISABLED) != 0);
  return TRUE;
}

void CBitmapBtn::DrawInParent(HDC dc, int x, int y) {
  // The states the button class reports to its owner-drawn buttons.
  const bool pressed = (::SendMessageW(Hwnd(), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  Draw(dc, x, y, pressed, ::IsWindowEnabled(Hwnd()) == FALSE);
}

void CBitmapBtn::Draw(HDC target, int x, int y, bool pressed, bool disabled) {
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  MemoryCanvas canvas(target, width, height);
  if (!canvas) return;

  ButtonFaceState state;
  state.fixedFace = m_fixedFace;
  state.fixedFaceUsesHover = m_fixedFaceUsesHover;
  state.toggleMode = m_toggleMode;
  state.tickedDisabledFace = m_tickedDisabledFace;
  state.ticked = m_ticked;
  state.hover = m_hover;
  state.pressed = pressed;
  state.disabled = disabled;
  const ButtonFaceChoice choice = SelectButtonFace(state);
  m_lastFace = choice.face;
  const COLORREF colour = choice.colour == CaptionColour::kHover     ? m_colourHover
                          : choice.colour == CaptionColour::kPressed ? m_colourPressed
                                                                     : m_colourNormal;

  const HDC dc = canvas.Dc();
  ::SetDCBrushColor(dc, m_background);
  ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
  if (Gdiplus::Bitmap* face = Face(choice.face)) {
    Gdiplus::Graphics graphics(dc);
    DrawSkinImage(graphics, face, 0, 0, m_squareFace ? height : width, height);
  }
  if (!m_caption.empty() && m_showCaption) DrawCaption(dc, client, colour);
  canvas.CopyTo(target, x, y);
}

void CBitmapBtn::DrawCaption(HDC dc, const RECT& client, COLORREF colour) {
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, colour);
  const int escapement = CaptionEscapement(m_orientation);
  ScopedSelect font(dc, CaptionFont(escapement));
  const int length = static_cast<int>(m_caption.size());
  if (m_captionBoxMode) {
    RECT box = m_captionBox;
    ::DrawTextW(dc, m_caption.c_str(), length, &box, kCaptionBoxFormat);
    return;
  }
  SIZE extent{};
  ::GetTextExtentPoint32W(dc, m_caption.c_str(), length, &extent);
  const CaptionPoint origin = CaptionOrigin(m_orientation, client.left, client.right - client.left,
                                            client.bottom - client.top, extent.cx, extent.cy);
  ::TextOutW(dc, origin.x + m_captionOffset, origin.y, m_caption.c_str(), length);
}

void CBitmapBtn::OnMouseMove(UINT keys, POINT point) {
  DefaultProcessing(WM_MOUSEMOVE, keys, LParamFromPoint(point));
  const bool leftHeld = (keys & MK_LBUTTON) != 0;
  // A drag that started elsewhere does not light the button.
  if (leftHeld && !m_hover) return;
  const HWND self = Hwnd();
  if (::GetCapture() != self) {
    if (::GetActiveWindow() != nullptr && ::GetAncestor(self, GA_PARENT) != nullptr) {
      m_hover = true;
      ::SetCapture(self);
      Redraw();
    }
  } else {
    ::ClientToScreen(self, &point);
    if (::WindowFromPoint(point) != self) {
      if (m_hover) {
        m_hover = false;
        Redraw();
      }
      if (!leftHeld) ::ReleaseCapture();
    }
  }
  const HWND parent = ::GetParent(self);
  if (parent != nullptr) {
    ::PostMessageW(parent, kBitmapBtnMouseMoveMessage, reinterpret_cast<WPARAM>(self), 0);
  }
}

void CBitmapBtn::OnCaptureChanged(HWND newCapture) {
  // Only a capture that went to another window ends the hover; nothing is released here, since
  // the capture already belongs to someone else (or to no one).
  if (newCapture != Hwnd() && m_hover) {
    m_hover = false;
    Redraw();
  }
  SetMsgHandled(false);
}

void CBitmapBtn::OnLButtonUp(UINT, POINT) {
  if (!m_toggleMode) {
    SetMsgHandled(false);
    return;
  }
  m_ticked = !m_ticked;
  // Ends the press the button class started (and the hover, until the next move).
  if (::GetCapture() == Hwnd()) ::ReleaseCapture();
  Redraw();
  const HWND parent = ::GetParent(Hwnd());
  if (parent != nullptr) {
    const int id = ::GetDlgCtrlID(Hwnd());
    ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Hwnd()));
  }
}

void CBitmapBtn::OnLButtonDblClk(UINT keys, POINT point) {
  // The second press of a quick double click is a press like the first, so two quick clicks
  // are two clicks.
  DefaultProcessing(WM_LBUTTONDOWN, keys, LParamFromPoint(point));
}
