#pragma once
// The thumb of an image slider: a child window of its bar showing the thumb image (or, while the
// slider is disabled, the second image when there is one). Dragging moves it along the bar's
// axis; on release it reports its value to the bar with 0x1513. Owned by its bar
// (CPngSliderBar); the owner of the slider talks to the bar.
#include <windows.h>

#include <string>

#include "skin/control_messages.h"
#include "skin/core/control_table.h"
#include "skin/core/slider_math.h"
#include "skin/skin_image.h"
#include "win/window.h"

class CPngSliderBar;

class CPngSlider : public Window {
 public:
  explicit CPngSlider(SliderAxis axis = SliderAxis::kVertical) : m_axis(axis) {}

  // Creates the thumb in `bar`, sized like its image and centred across the bar; the track
  // covers the bar. The second image, when there is one, shows while the slider is disabled.
  bool CreateThumb(SkinImage image, SkinImage disabledImage, CPngSliderBar& bar, int id);

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
  BOOL OnEraseBkgnd(HDC) { return TRUE; }
  void OnLButtonDown(UINT keys, POINT point);
  void OnMouseMove(UINT keys, POINT point);
  void OnLButtonUp(UINT keys, POINT point);
  void OnCaptureChanged(HWND newCapture);

  BEGIN_MESSAGE_TABLE(CPngSlider, Window)
    MSG_WM_PAINT(OnPaint)
    MSG_WM_ERASEBKGND(OnEraseBkgnd)
    MSG_WM_LBUTTONDOWN(OnLButtonDown)
    MSG_WM_MOUSEMOVE(OnMouseMove)
    MSG_WM_LBUTTONUP(OnLButtonUp)
    MSG_WM_CAPTURECHANGED(OnCaptureChanged)
  END_MESSAGE_TABLE()

  // Moves the window to `position` along the axis.
  void MoveTo(int position);
  // Ends a drag: the value of where the thumb lies goes to the bar.
  void FinishDrag();
  int Size() const noexcept;
  POINT ScreenPoint(POINT client) const noexcept;

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
