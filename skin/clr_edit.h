#pragma once
// The configurator's coloured edit field: a single-line edit control with its own text and
// background colours that tells its parent about key releases (0x1402, when asked to) and
// focus changes (0x1403).
//
//   m_delay.SetTag(3);
//   m_delay.SetNotifyKeyRelease(true);
//   m_delay.Create({10, 10, 60, 28}, Hwnd(), kDelayId);
//   ::SendMessageW(m_delay.Hwnd(), EM_LIMITTEXT, 5, 0);
//
// The parent must be a Window or Dialog of ours: it hands the colour requests on to the field.
#include <windows.h>

#include <cstdint>

#include "win/unique_handle.h"
#include "win/window.h"

// Posted on every key release when asked for: wParam = virtual-key code, lParam = the tag.
inline constexpr UINT kClrEditKeyUpMessage = WM_USER + 4098;  // 0x1402
// Posted when the field gains (wParam 1) or loses (wParam 2) the focus; lParam 0.
inline constexpr UINT kClrEditFocusMessage = WM_USER + 4099;  // 0x1403
inline constexpr WPARAM kClrEditFocusGained = 1;
inline constexpr WPARAM kClrEditFocusLost = 2;

class CClrEdit : public Window {
 public:
  CClrEdit() = default;

  // Set before Create.
  void SetTag(std::int32_t tag) noexcept { m_tag = tag; }
  void SetBorder(bool border) noexcept { m_border = border; }
  void SetNotifyKeyRelease(bool notify) noexcept { m_notifyKeyRelease = notify; }

  // A visible child edit control (with WS_BORDER when the border flag is set).
  bool Create(const RECT& rect, HWND parent, int id);

  // Read at every colour request, so they may change at any time.
  void SetTextColour(COLORREF colour) noexcept { m_textColour = colour; }
  void SetBackgroundColour(COLORREF colour) noexcept { m_backgroundColour = colour; }

  std::int32_t Tag() const noexcept { return m_tag; }

 private:
  LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
  LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
  LRESULT OnCtlColor(WPARAM wParam, LPARAM lParam);
  LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);

  BEGIN_MESSAGE_TABLE(CClrEdit, Window)
    MESSAGE_HANDLER(WM_KEYUP, OnKeyUp)
    MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
    MESSAGE_HANDLER(kReflectedMessageBase + WM_CTLCOLOREDIT, OnCtlColor)
    MESSAGE_HANDLER(kReflectedMessageBase + WM_CTLCOLORSTATIC, OnCtlColor)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  END_MESSAGE_TABLE()

  HBRUSH BackgroundBrush();
  void PostToParent(UINT message, WPARAM wParam, LPARAM lParam) const noexcept;

  std::int32_t m_tag = 0;
  bool m_border = false;
  bool m_notifyKeyRelease = false;
  COLORREF m_textColour = RGB(255, 255, 255);
  COLORREF m_backgroundColour = RGB(0, 0, 0);
  // The brush of the background colour, made again only when the colour changed.
  UniqueBrush m_brush;
  COLORREF m_brushColour = CLR_INVALID;
};
