#pragma once
// The fill bar of the agent's progress window: a horizontal bar that shows a position within a
// range by drawing the left part of a fill image over a background image. It keeps its own
// copies of both images. SetMarkerPos paints at once, because the agent calls it in the middle
// of a long transfer during which no paint messages are dispatched. Nothing is reported to the
// parent; a click or drag only moves what is shown until the next SetMarkerPos.
#include <windows.h>

#include "win/unique_handle.h"
#include "win/window.h"

class CDMarker : public Window {
 public:
  struct Setup {
    // Borrowed for the call: the marker copies the part `source` of each (empty: from (0, 0)
    // the bar's size).
    HBITMAP background = nullptr;
    HBITMAP fill = nullptr;
    RECT source{};
    int minimum = 0;
    int maximum = 10;
  };

  CDMarker() = default;

  // The bar at `rect` in the parent's client coordinates, showing the minimum.
  bool Create(HWND parent, int id, const RECT& rect, const Setup& setup);
  bool Create(HWND parent, int id, const RECT& rect) { return Create(parent, id, rect, Setup{}); }
  // Nothing is redrawn.
  void SetMarkerRange(int minimum, int maximum) noexcept;
  // Copies the (x, y)-(x2, y2) part of each image given (a null handle keeps the previous
  // copy). The caller keeps its images.
  void SetMarkerImages(int x, int y, int x2, int y2, HBITMAP background, HBITMAP fill);
  // position := v inside the range, else the minimum; on the screen before the call returns.
  void SetMarkerPos(int v);

  int Position() const noexcept { return m_position; }
  int Minimum() const noexcept { return m_minimum; }
  int Maximum() const noexcept { return m_maximum; }
  bool IsDragging() const noexcept { return m_dragging; }

 protected:
  const wchar_t* ClassName() const override { return L"VireoDMarker"; }
  void PrepareClass(WNDCLASSEXW& windowClass) const override;

 private:
  void OnPaint();
  // Copies columns [from, to) of the fill (or of the background) picture to the screen; false,
  // drawing nothing, when that picture is missing or smaller than the bar.
  bool DrawColumns(int from, int to, bool filled);
  BOOL OnEraseBkgnd(HDC) { return TRUE; }
  void OnLButtonDown(UINT keys, POINT point);
  void OnMouseMove(UINT keys, POINT point);
  void OnLButtonUp(UINT keys, POINT point);
  void OnKillFocus(HWND next);
  void OnCaptureChanged(HWND newCapture);

  BEGIN_MESSAGE_TABLE(CDMarker, Window)
    MSG_WM_PAINT(OnPaint)
    MSG_WM_ERASEBKGND(OnEraseBkgnd)
    MSG_WM_LBUTTONDOWN(OnLButtonDown)
    MSG_WM_MOUSEMOVE(OnMouseMove)
    MSG_WM_LBUTTONUP(OnLButtonUp)
    MSG_WM_KILLFOCUS(OnKillFocus)
    MSG_WM_CAPTURECHANGED(OnCaptureChanged)
  END_MESSAGE_TABLE()

  // The position under a pointer given in this window's client coordinates.
  int PositionAt(POINT point) const noexcept;
  void CopyImage(HBITMAP source, int x, int y, int width, int height, UniqueBitmap& copy);
  // Repaints the whole bar at the next paint.
  void Invalidate() noexcept;
  int FillWidth() const noexcept;

  int m_left = 0;
  int m_top = 0;
  int m_right = 0;
  int m_bottom = 0;
  HWND m_parent = nullptr;
  int m_minimum = 0;
  int m_maximum = 10;
  int m_position = 0;
  bool m_dragging = false;
  // The width of the fill on the screen, -1 when not known (a paint is due).
  int m_shownFill = -1;
  UniqueBitmap m_background;
  UniqueBitmap m_fill;
};
