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

#include "skin/core/control_table.h"
#include "win/unique_handle.h"
#include "win/window.h"

class CStaticTrans : public Window {
 public:
  static constexpr std::int32_t kTransparent = -1;
  static constexpr int kDefaultId = 0xFFFF;

  struct Setup {
    LabelLook look{};  // alignment, font, colours
    std::wstring text{};
  };

  CStaticTrans() = default;

  // A visible static control at `rect` in the parent's client coordinates.
  bool Create(HWND parent, int id, const RECT& rect, const Setup& setup);
  bool Create(HWND parent, int id, const RECT& rect) { return Create(parent, id, rect, Setup{}); }
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
  HBRUSH OnCtlColor(HDC dc);
  LRESULT OnSetText(WPARAM wParam, LPARAM lParam);

  BEGIN_MESSAGE_TABLE(CStaticTrans, Window)
    REFLECTED_WM_CTLCOLORSTATIC(OnCtlColor)
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
