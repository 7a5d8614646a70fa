#include "skin/d_marker.h"

#include <algorithm>
#include <utility>

#include "skin/core/marker_math.h"
#include "win/double_buffered_paint.h"
#include "win/scoped_select.h"

void CDMarker::PrepareClass(WNDCLASSEXW& windowClass) const {
  windowClass.hbrBackground = nullptr;
}

bool CDMarker::Create(HWND parent, int id, const RECT& rect, const Setup& setup) {
  m_left = rect.left;
  m_top = rect.top;
  m_right = rect.right;
  m_bottom = rect.bottom;
  m_parent = parent;
  m_minimum = setup.minimum;
  m_maximum = setup.maximum;
  m_position = MarkerPositionInRange(m_minimum, m_minimum, m_maximum);
  m_dragging = false;
  if (!Window::Create(0, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect.left, rect.top,
                      rect.right - rect.left, rect.bottom - rect.top, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)))) {
    return false;
  }
  if (setup.background != nullptr || setup.fill != nullptr) {
    const bool whole =
        setup.source.right <= setup.source.left || setup.source.bottom <= setup.source.top;
    const RECT source =
        whole ? RECT{0, 0, rect.right - rect.left, rect.bottom - rect.top} : setup.source;
    SetMarkerImages(source.left, source.top, source.right, source.bottom, setup.background,
                    setup.fill);
  }
  return true;
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
  const int fill = FillWidth();
  if (fill == m_shownFill) return;
  // Only the columns between the old and the new end of the fill change, and each shows one
  // picture: copied straight through the window's DC, which costs far less than a paint cycle
  // (the agent moves its bar a dozen times during a write).
  if (m_shownFill >= 0 &&
      DrawColumns(std::min(fill, m_shownFill), std::max(fill, m_shownFill), fill > m_shownFill)) {
    m_shownFill = fill;
    return;
  }
  ::InvalidateRect(Hwnd(), nullptr, FALSE);
  ::UpdateWindow(Hwnd());
}

bool CDMarker::DrawColumns(int from, int to, bool filled) {
  const HBITMAP picture = filled && m_fill ? m_fill.get() : m_background.get();
  BITMAP size{};
  if (picture == nullptr || ::GetObjectW(picture, sizeof size, &size) == 0 ||
      size.bmWidth < m_right - m_left || size.bmHeight < m_bottom - m_top) {
    return false;
  }
  const HDC dc = ::GetDC(Hwnd());
  if (dc == nullptr) return false;
  bool drawn = false;
  {
    UniqueMemoryDc source(::CreateCompatibleDC(dc));
    ScopedSelect select(source.get(), picture);
    drawn = select && ::BitBlt(dc, from, 0, to - from, m_bottom - m_top, source.get(), from, 0,
                               SRCCOPY) != FALSE;
  }
  ::ReleaseDC(Hwnd(), dc);
  return drawn;
}

int CDMarker::FillWidth() const noexcept {
  return MarkerFillWidth(m_left, m_right, m_position, m_minimum, m_maximum);
}

void CDMarker::Invalidate() noexcept {
  m_shownFill = -1;
  if (Hwnd() != nullptr) ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

void CDMarker::OnPaint() {
  DoubleBufferedPaint paint(Hwnd());
  const HDC dc = paint.Dc();
  const RECT& client = paint.ClientRect();
  // A paint of part of the bar at another position leaves a mix on the screen.
  const RECT& area = paint.PaintRect();
  const bool whole =
      area.left <= 0 && area.top <= 0 && area.right >= client.right && area.bottom >= client.bottom;
  const int fillWidth = FillWidth();
  m_shownFill = whole || fillWidth == m_shownFill ? fillWidth : -1;
  ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  UniqueMemoryDc source(::CreateCompatibleDC(dc));
  if (!source) return;
  if (m_background) {
    ScopedSelect select(source.get(), m_background.get());
    ::BitBlt(dc, 0, 0, client.right, client.bottom, source.get(), 0, 0, SRCCOPY);
  }
  if (m_fill && fillWidth > 0) {
    ScopedSelect select(source.get(), m_fill.get());
    ::BitBlt(dc, 0, 0, fillWidth, client.bottom, source.get(), 0, 0, SRCCOPY);
  }
}

int CDMarker::PositionAt(POINT point) const noexcept {
  if (m_parent != nullptr) ::MapWindowPoints(Hwnd(), m_parent, &point, 1);
  return MarkerPositionForPointer(point.x, m_left, m_right, m_minimum, m_maximum);
}

void CDMarker::OnLButtonDown(UINT, POINT) {
  ::SetCapture(Hwnd());
  m_dragging = true;
}

void CDMarker::OnMouseMove(UINT, POINT point) {
  if (!m_dragging) return;
  m_position = PositionAt(point);
  Invalidate();
}

void CDMarker::OnLButtonUp(UINT, POINT point) {
  m_dragging = false;
  m_position = PositionAt(point);
  if (::GetCapture() == Hwnd()) ::ReleaseCapture();
  Invalidate();
}

void CDMarker::OnKillFocus(HWND) {
  m_dragging = false;
  Invalidate();
  SetMsgHandled(false);
}

void CDMarker::OnCaptureChanged(HWND) {
  // The capture is already gone; the drag ends with it.
  if (m_dragging) {
    m_dragging = false;
    Invalidate();
  }
  SetMsgHandled(false);
}
