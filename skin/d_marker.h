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
  CDMarker() = default;

  // The bar at (left, top, right, bottom) in the parent's client coordinates; range 0-10.
  bool CreateMarker(int left, int top, int right, int bottom, HWND parent, int id);
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
  LRESULT OnEraseBkgnd(WPARAM, LPARAM) { return TRUE; }
  LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
  LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
  LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);

  BEGIN_MESSAGE_TABLE(CDMarker, Window)
    MSG_WM_PAINT(OnPaint)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
    MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
  END_MESSAGE_TABLE()

  // The position under a pointer given in this window's client coordinates.
  int PositionAt(LPARAM lParam) const noexcept;
  void CopyImage(HBITMAP source, int x, int y, int width, int height, UniqueBitmap& copy);
  void Invalidate() noexcept;

  int m_left = 0;
  int m_top = 0;
  int m_right = 0;
  int m_bottom = 0;
  HWND m_parent = nullptr;
  int m_minimum = 0;
  int m_maximum = 10;
  int m_position = 0;
  bool m_dragging = false;
  UniqueBitmap m_background;
  UniqueBitmap m_fill;
};
