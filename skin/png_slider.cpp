#include "skin/png_slider.h"

#include <utility>

#include "skin/png_slider_bar.h"
#include "win/double_buffered_paint.h"

void CPngSlider::PrepareClass(WNDCLASSEXW& windowClass) const {
  windowClass.hbrBackground = nullptr;
}

bool CPngSlider::CreateThumb(SkinImage image, SkinImage disabledImage, CPngSliderBar& bar, int id) {
  m_bar = &bar;
  m_id = id;
  m_image = std::move(image);
  m_disabledImage = std::move(disabledImage);
  const int width = ImageWidth(m_image.get());
  const int height = ImageHeight(m_image.get());
  RECT barClient{};
  ::GetClientRect(bar.Hwnd(), &barClient);
  const bool vertical = m_axis == SliderAxis::kVertical;
  m_fixed = vertical ? (barClient.right - width) / 2 : (barClient.bottom - height) / 2;
  m_track.trackStart = 0;
  m_track.trackEnd = vertical ? barClient.bottom : barClient.right;
  m_track.thumbSize = vertical ? height : width;
  const int x = vertical ? m_fixed : 0;
  const int y = vertical ? 0 : m_fixed;
  return Create(0, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y, width, height, bar.Hwnd(),
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

int CPngSlider::Size() const noexcept {
  return m_track.thumbSize;
}

void CPngSlider::SetValue(int value) {
  m_value = SliderValueInRange(value, m_track.minimum, m_track.maximum);
  MoveTo(SliderPositionForValue(m_track, m_value));
}

void CPngSlider::SetEnabledLook(bool enabled) {
  m_enabled = enabled;
  if (Hwnd() != nullptr) ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

void CPngSlider::MoveTo(int position) {
  m_position = position;
  if (Hwnd() == nullptr) return;
  const bool vertical = m_axis == SliderAxis::kVertical;
  ::SetWindowPos(Hwnd(), nullptr, vertical ? m_fixed : position, vertical ? position : m_fixed, 0,
                 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The bar shows through where the thumb was.
  ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

void CPngSlider::OnPaint() {
  DoubleBufferedPaint paint(Hwnd());
  const RECT& client = paint.ClientRect();
  if (m_bar != nullptr) {
    const bool vertical = m_axis == SliderAxis::kVertical;
    const int x = vertical ? m_fixed : m_position;
    const int y = vertical ? m_position : m_fixed;
    m_bar->PaintBackground(paint.Dc(), {x, y, x + client.right, y + client.bottom});
  }
  Gdiplus::Bitmap* image = !m_enabled && m_disabledImage ? m_disabledImage.get() : m_image.get();
  DrawSkinImage(paint.Dc(), image, 0, 0, client.right, client.bottom);
}

POINT CPngSlider::ScreenPoint(POINT client) const noexcept {
  ::ClientToScreen(Hwnd(), &client);
  return client;
}

void CPngSlider::OnLButtonDown(UINT, POINT point) {
  if (m_draggable && m_enabled) {
    ::SetCapture(Hwnd());
    m_pressPoint = ScreenPoint(point);
    m_pressPosition = m_position;
    m_dragging = true;
  }
  SetMsgHandled(false);
}

void CPngSlider::OnMouseMove(UINT, POINT client) {
  if (!m_dragging) {
    SetMsgHandled(false);
    return;
  }
  const POINT point = ScreenPoint(client);
  const int offset =
      m_axis == SliderAxis::kVertical ? point.y - m_pressPoint.y : point.x - m_pressPoint.x;
  const int position = ClampThumbPosition(m_track, m_pressPosition + offset);
  if (position != m_position) {
    MoveTo(position);
    ::UpdateWindow(Hwnd());
  }
}

void CPngSlider::OnLButtonUp(UINT, POINT) {
  if (m_dragging) FinishDrag();
  SetMsgHandled(false);
}

void CPngSlider::OnCaptureChanged(HWND) {
  // A drag cut short (another window took the mouse) ends where the thumb lies, so the value
  // and the thumb never disagree.
  if (m_dragging) FinishDrag();
  SetMsgHandled(false);
}

void CPngSlider::FinishDrag() {
  m_dragging = false;
  if (::GetCapture() == Hwnd()) ::ReleaseCapture();
  const std::optional<int> value = SliderValueForPosition(m_track, m_position);
  if (!value) return;
  m_value = *value;
  if (m_bar != nullptr && m_bar->Hwnd() != nullptr) {
    ::PostMessageW(m_bar->Hwnd(), kSliderValueMessage, static_cast<WPARAM>(m_value), m_id);
  }
}
