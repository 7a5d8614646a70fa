#pragma once
// The configurator's coloured edit field: a single-line edit control with its own text and
// background colours that tells its parent about key releases (0x1402, when asked to) and
// focus changes (0x1403).
//
//   m_delay.Create(Hwnd(), kDelayId, {10, 10, 60, 28},
//                  {.look = {.limit = 5, .tag = 3, .notifyKeyRelease = true}, .text = L"10"});
//
// The parent must be a Window or Dialog of ours: it hands the colour requests on to the field.
#include <windows.h>

#include <cstdint>
#include <string>

#include "skin/control_messages.h"
#include "skin/core/control_table.h"
#include "win/unique_handle.h"
#include "win/window.h"

class CClrEdit : public Window {
 public:
  struct Setup {
    // Tag, border, key-release reports, colours, limit; a font of its own when the look's font
    // has a height (else the parent's).
    EditLook look{.font = {0, 400}};
    std::wstring text{};
  };

  CClrEdit() = default;
  // The window goes while the font it was given still exists.
  ~CClrEdit() override { Destroy(); }

  // A visible child edit control (with the plain one-pixel border when the look asks for one)
  // at `rect` in the parent's client coordinates.
  bool Create(HWND parent, int id, const RECT& rect, const Setup& setup);
  bool Create(HWND parent, int id, const RECT& rect) { return Create(parent, id, rect, Setup{}); }

  // Read at every colour request, so they may change at any time.
  void SetTextColour(COLORREF colour) noexcept { m_textColour = colour; }
  void SetBackgroundColour(COLORREF colour) noexcept { m_backgroundColour = colour; }

  std::int32_t Tag() const noexcept { return m_tag; }

 private:
  void OnKeyUp(UINT key, LPARAM keyData);
  void OnSetFocus(HWND previous);
  void OnKillFocus(HWND next);
  HBRUSH OnCtlColor(HDC dc);
  BOOL OnEraseBkgnd(HDC dc);

  BEGIN_MESSAGE_TABLE(CClrEdit, Window)
    MSG_WM_KEYUP(OnKeyUp)
    MSG_WM_SETFOCUS(OnSetFocus)
    MSG_WM_KILLFOCUS(OnKillFocus)
    REFLECTED_WM_CTLCOLOREDIT(OnCtlColor)
    REFLECTED_WM_CTLCOLORSTATIC(OnCtlColor)
    MSG_WM_ERASEBKGND(OnEraseBkgnd)
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
  UniqueFont m_font;
};
