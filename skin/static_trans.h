#pragma once
// The configurator's text label: a static control whose text is drawn straight onto the
// parent's background image in a font of its own ("Arial", bold 15 by default), or, with an
// explicit background colour, on that colour in the window's own font. Changing the text makes
// the parent repaint the label's area first, so no trace of the old text remains; the parent
// must therefore not clip its children (no WS_CLIPCHILDREN).
//
// The parent must be a Window or Dialog of ours: it hands the colour requests on to the label.
#include <windows.h>

#include <cstdint>
#include <string_view>

#include "win/unique_handle.h"
#include "win/window.h"

class CStaticTrans : public Window {
 public:
  static constexpr std::int32_t kTransparent = -1;
  static constexpr int kDefaultId = 0xFFFF;

  CStaticTrans() = default;

  // `style` is added to WS_CHILD | WS_VISIBLE (the alignment, e.g. SS_LEFTNOWORDWRAP).
  bool Create(std::wstring_view text, DWORD style, const RECT& rect, HWND parent,
              int id = kDefaultId);
  void SetText(std::wstring_view text);

  // Take effect at the next repaint.
  void SetTextColour(COLORREF colour) noexcept { m_textColour = colour; }
  // kTransparent, or a COLORREF painted behind the text.
  void SetBackgroundColour(std::int32_t colour) noexcept { m_backgroundColour = colour; }
  void SetFontHeight(int height) noexcept;
  void SetFontWeight(int weight) noexcept;
  void SetItalic(bool italic) noexcept;

  // The label's own font, or null before the first transparent paint.
  HFONT Font() const noexcept { return m_font.get(); }

 private:
  LRESULT OnCtlColor(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetText(WPARAM wParam, LPARAM lParam);

  BEGIN_MESSAGE_TABLE(CStaticTrans, Window)
    MESSAGE_HANDLER(kReflectedMessageBase + WM_CTLCOLORSTATIC, OnCtlColor)
    MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
  END_MESSAGE_TABLE()

  HFONT LabelFont();

  COLORREF m_textColour = RGB(255, 255, 255);
  std::int32_t m_backgroundColour = kTransparent;
  int m_fontHeight = 15;
  int m_fontWeight = FW_BOLD;
  bool m_italic = false;
  // Made once (again only after the height, weight or italic flag changed), deleted with the
  // label: nothing is created per repaint.
  UniqueFont m_font;
  UniqueBrush m_brush;
  COLORREF m_brushColour = CLR_INVALID;
};
