#include "skin/png_slider_bar.h"

#include <utility>

#include "skin/png_h_slider.h"
#include "win/double_buffered_paint.h"

namespace {

std::unique_ptr<CPngSlider> MakeThumb(SliderAxis axis) {
  if (axis == SliderAxis::kHorizontal) return std::make_unique<CPngHSlider>();
  return std::make_unique<CPngSlider>();
}

}  // namespace

CPngSliderBar::CPngSliderBar(SliderAxis axis) : m_axis(axis), m_thumb(MakeThumb(axis)) {}

// The windows go first (the thumb's with the bar's), while both objects are still whole.
CPngSliderBar::~CPngSliderBar() {
  Destroy();
}

void CPngSliderBar::PrepareClass(WNDCLASSEXW& windowClass) const {
  windowClass.hbrBackground = nullptr;
}

bool CPngSliderBar::Create(HWND parent, int id, const RECT& rect, const Setup& setup) {
  m_id = id;
  m_rect = rect;
  m_parent = parent;
  m_trackImage = setup.track;
  m_minimum = setup.minimum;
  m_maximum = setup.maximum;
  if (!Window::Create(0, L"", WS_CHILD | WS_VISIBLE, rect.left, rect.top, rect.right - rect.left,
                      rect.bottom - rect.top, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)))) {
    return false;
  }
  if (!m_thumb->CreateThumb(setup.thumb, setup.disabledThumb, *this, id)) {
    Destroy();
    return false;
  }
  m_thumb->SetRange(m_minimum, m_maximum);
  m_thumb->SetValue(m_minimum);
  m_created = true;
  return true;
}

int CPngSliderBar::Length() const noexcept {
  RECT client = m_rect;
  if (Hwnd() != nullptr) ::GetClientRect(Hwnd(), &client);
  return m_axis == SliderAxis::kVertical ? client.bottom - client.top : client.right - client.left;
}

void CPngSliderBar::SetTrackImage(SkinImage image) {
  m_trackImage = std::move(image);
  if (Hwnd() != nullptr) ::RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CPngSliderBar::SetRange(int minimum, int maximum) {
  m_minimum = minimum;
  m_maximum = maximum;
  m_thumb->SetRange(minimum, maximum);
}

void CPngSliderBar::SetSliderValue(int value) {
  m_thumb->SetValue(value);
  if (Hwnd() != nullptr) ::RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CPngSliderBar::DrawTrack(HDC dc, int originX, int originY) {
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  const int width = client.right;
  const int height = client.bottom;
  if (m_axis == SliderAxis::kVertical) {
    const RECT area{originX, originY, originX + width, originY + height};
    ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  }
  DrawSkinImage(dc, m_trackImage.get(), originX, originY, width, height);
}

void CPngSliderBar::PaintBackground(HDC dc, const RECT& area) {
  DrawTrack(dc, -area.left, -area.top);
}

void CPngSliderBar::OnPaint() {
  DoubleBufferedPaint paint(Hwnd());
  DrawTrack(paint.Dc(), 0, 0);
}

void CPngSliderBar::OnClick(UINT, POINT point) {
  const int along = m_axis == SliderAxis::kVertical ? point.y : point.x;
  // A thumb that cannot move has no value to show.
  if (!SliderIsUsable(m_thumb->Track())) return;
  const std::optional<int> value = SliderValueForBarClick(along, 0, Length(), m_minimum, m_maximum);
  if (!value) return;
  SetSliderValue(*value);
  if (m_parent != nullptr) {
    ::PostMessageW(m_parent, kSliderValueMessage, static_cast<WPARAM>(*value), m_id);
  }
}

void CPngSliderBar::OnThumbValue(int, int value) {
  if (m_parent != nullptr) {
    ::PostMessageW(m_parent, kSliderValueMessage, static_cast<WPARAM>(value), m_id);
  }
}

void CPngSliderBar::OnEnable(bool enabled) {
  m_thumb->SetEnabledLook(enabled);
}
