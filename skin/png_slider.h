#pragma once
// The thumb of an image slider: a child window of its bar showing the thumb image (or, while the
// slider is disabled, the second image when there is one). Dragging moves it along the bar's
// axis; on release it reports its value to the bar with 0x1513. Owned by its bar
// (CPngSliderBar); the owner of the slider talks to the bar.
#include <windows.h>

#include <string>

#include "skin/core/slider_math.h"
#include "skin/skin_image.h"
#include "win/window.h"

// Posted by a slider with its new value: wParam = value, lParam = the slider's id.
inline constexpr UINT kSliderValueMessage = WM_USER + 4371;  // 0x1513

enum class SliderAxis { kVertical, kHorizontal };

class CPngSliderBar;

class CPngSlider : public Window {
 public:
  explicit CPngSlider(SliderAxis axis = SliderAxis::kVertical) : m_axis(axis) {}

  // Loads the images (the second only when its path is not empty) and creates the thumb in
  // `bar`, sized like the thumb image and centred across the bar; the track covers the bar.
  bool CreateThumb(const std::wstring& imagePath, const std::wstring& disabledImagePath,
                   CPngSliderBar& bar, int id);

  void SetRange(int minimum, int maximum) noexcept {
    m_track.minimum = minimum;
    m_track.maximum = maximum;
  }
  void SetTrack(int start, int end) noexcept {
    m_track.trackStart = start;
    m_track.trackEnd = end;
  }
  // Value and position (see SliderPositionForValue); out-of-range values show the minimum.
  void SetValue(int value);
  void SetDraggable(bool draggable) noexcept { m_draggable = draggable; }
  // Follows the bar's enabled state; a disabled thumb shows the second image and does not drag.
  void SetEnabledLook(bool enabled);

  int Value() const noexcept { return m_value; }
  int Position() const noexcept { return m_position; }
  int FixedCoordinate() const noexcept { return m_fixed; }
  bool IsDragging() const noexcept { return m_dragging; }
  const SliderTrack& Track() const noexcept { return m_track; }
  SliderAxis Axis() const noexcept { return m_axis; }

 protected:
  const wchar_t* ClassName() const override { return L"VireoPngSlider"; }
  void PrepareClass(WNDCLASSEXW& windowClass) const override;

 private:
  void OnPaint();
  LRESULT OnEraseBkgnd(WPARAM, LPARAM) { return TRUE; }
  LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
  LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);

  BEGIN_MESSAGE_TABLE(CPngSlider, Window)
    MSG_WM_PAINT(OnPaint)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
  END_MESSAGE_TABLE()

  // Moves the window to `position` along the axis.
  void MoveTo(int position);
  // Ends a drag: the value of where the thumb lies goes to the bar.
  void FinishDrag();
  int Size() const noexcept;
  POINT ScreenPoint(LPARAM lParam) const noexcept;

  SliderAxis m_axis;
  CPngSliderBar* m_bar = nullptr;
  int m_id = 0;
  SkinImage m_image;
  SkinImage m_disabledImage;
  int m_fixed = 0;
  SliderTrack m_track{0, 0, 0, 0, 10};
  int m_position = 0;
  int m_value = 0;
  bool m_draggable = true;
  bool m_enabled = true;
  bool m_dragging = false;
  POINT m_pressPoint{};  // screen coordinates
  int m_pressPosition = 0;
};
