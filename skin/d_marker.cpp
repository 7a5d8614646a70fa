#include "skin/d_marker.h"

#include <utility>

#include "skin/core/marker_math.h"
#include "win/double_buffered_paint.h"
#include "win/scoped_select.h"

void CDMarker::PrepareClass(WNDCLASSEXW& windowClass) const {
  windowClass.hbrBackground = nullptr;
}

bool CDMarker::CreateMarker(int left, int top, int right, int bottom, HWND parent, int id) {
  m_left = left;
  m_top = top;
  m_right = right;
  m_bottom = bottom;
  m_parent = parent;
  m_minimum = 0;
  m_maximum = 10;
  m_position = 0;
  m_dragging = false;
  return Create(0, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, left, top, right - left, bottom - top,
                parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void CDMarker::SetMarkerRange(int minimum, int maximum) noexcept {
  m_minimum = minimum;
  m_maximum = maximum;
}

void CDMarker::CopyImage(HBITMAP source, int x, int y, int width, int height, UniqueBitmap& copy) {
  if (source == nullptr || width <= 0 || height <= 0 || Hwnd() == nullptr) return;
  copy.reset();
  const HDC screen = ::GetDC(Hwnd());
  if (screen == nullptr) return;
  UniqueBitmap bitmap(::CreateCompatibleBitmap(screen, width, height));
  UniqueMemoryDc from(::CreateCompatibleDC(screen));
  UniqueMemoryDc to(::CreateCompatibleDC(screen));
  ::ReleaseDC(Hwnd(), screen);
  if (!bitmap || !from || !to) return;
  {
    ScopedSelect selectFrom(from.get(), source);
    ScopedSelect selectTo(to.get(), bitmap.get());
    if (!selectFrom || !selectTo) return;
    ::StretchBlt(to.get(), 0, 0, width, height, from.get(), x, y, width, height, SRCCOPY);
  }
  copy = std::move(bitmap);
}

void CDMarker::SetMarkerImages(int x, int y, int x2, int y2, HBITMAP background, HBITMAP fill) {
  CopyImage(background, x, y, x2 - x, y2 - y, m_background);
  CopyImage(fill, x, y, x2 - x, y2 - y, m_fill);
  Invalidate();
}

void CDMarker::SetMarkerPos(int v) {
  m_position = MarkerPositionInRange(v, m_minimum, m_maximum);
  if (Hwnd() == nullptr) return;
  ::InvalidateRect(Hwnd(), nullptr, FALSE);
  ::UpdateWindow(Hwnd());
}

void CDMarker::Invalidate() noexcept {
  if (Hwnd() != nullptr) ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

void CDMarker::OnPaint() {
  DoubleBufferedPaint paint(Hwnd());
  const HDC dc = paint.Dc();
  const RECT& client = paint.ClientRect();
  ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  UniqueMemoryDc source(::CreateCompatibleDC(dc));
  if (!source) return;
  if (m_background) {
    ScopedSelect select(source.get(), m_background.get());
    ::BitBlt(dc, 0, 0, client.right, client.bottom, source.get(), 0, 0, SRCCOPY);
  }
  const int fillWidth = MarkerFillWidth(m_left, m_right, m_position, m_minimum, m_maximum);
  if (m_fill && fillWidth > 0) {
    ScopedSelect select(source.get(), m_fill.get());
    ::BitBlt(dc, 0, 0, fillWidth, client.bottom, source.get(), 0, 0, SRCCOPY);
  }
}

int CDMarker::PositionAt(LPARAM lParam) const noexcept {
  POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (m_parent != nullptr) ::MapWindowPoints(Hwnd(), m_parent, &point, 1);
  return MarkerPositionForPointer(point.x, m_left, m_right, m_minimum, m_maximum);
}

LRESULT CDMarker::OnLButtonDown(WPARAM, LPARAM) {
  ::SetCapture(Hwnd());
  m_dragging = true;
  return 0;
}

LRESULT CDMarker::OnMouseMove(WPARAM, LPARAM lParam) {
  if (!m_dragging) return 0;
  m_position = PositionAt(lParam);
  Invalidate();
  return 0;
}

LRESULT CDMarker::OnLButtonUp(WPARAM, LPARAM lParam) {
  m_dragging = false;
  m_position = PositionAt(lParam);
  if (::GetCapture() == Hwnd()) ::ReleaseCapture();
  Invalidate();
  return 0;
}

LRESULT CDMarker::OnKillFocus(WPARAM, LPARAM) {
  m_dragging = false;
  Invalidate();
  SetMsgHandled(false);
  return 0;
}

LRESULT CDMarker::OnCaptureChanged(WPARAM, LPARAM) {
  // The capture is already gone; the drag ends with it.
  if (m_dragging) {
    m_dragging = false;
    Invalidate();
  }
  SetMsgHandled(false);
  return 0;
}
