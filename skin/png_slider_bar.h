#pragma once
// An image slider: a bar window showing a track image, with its thumb (CPngSlider) inside. The
// user drags the thumb or clicks the bar; the new value goes to the parent as 0x1513
// (wParam = value, lParam = the slider's id). This class is the vertical slider; the horizontal
// one is CPngHSliderBar.
//
//   CPngSliderBar::Setup setup{thumb, thumb, track, 1, 20};   // pictures from the window's set
//   m_speed.Create(Hwnd(), 10005, {511, 268, 721, 286}, setup);
//   m_speed.SetSliderValue(profile.MouseSensitivity);
#include <windows.h>
// after windows.h, whose types it uses
#include <commctrl.h>

#include <memory>
#include <string>

#include "skin/png_slider.h"
#include "win/window.h"

class CPngSliderBar : public Window {
 public:
  struct Setup {
    SkinImage thumb{};
    SkinImage disabledThumb{};  // shown while disabled; empty: the thumb
    SkinImage track{};          // drawn over the whole bar
    int minimum = 0;
    int maximum = 10;
  };

  explicit CPngSliderBar(SliderAxis axis = SliderAxis::kVertical);
  ~CPngSliderBar() override;

  // Creates the bar at `rect` (parent client coordinates) and its thumb, set to the minimum.
  bool Create(HWND parent, int id, const RECT& rect, const Setup& setup);

  // The track image, drawn over the whole bar.
  void SetTrackImage(SkinImage image);
  // The value range of the bar and its thumb.
  void SetRange(int minimum, int maximum);
  void SetSliderValue(int value);

  int Value() const noexcept { return m_thumb->Value(); }
  int Id() const noexcept { return m_id; }
  int Minimum() const noexcept { return m_minimum; }
  int Maximum() const noexcept { return m_maximum; }
  bool Created() const noexcept { return m_created; }
  CPngSlider& Thumb() noexcept { return *m_thumb; }
  SliderAxis Axis() const noexcept { return m_axis; }
  // The bar's length along its axis.
  int Length() const noexcept;

  // Draws what the bar shows behind `area` (bar coordinates) into `dc` at (0, 0): the thumb's
  // background.
  void PaintBackground(HDC dc, const RECT& area);

 protected:
  const wchar_t* ClassName() const override { return L"VireoPngSliderBar"; }
  void PrepareClass(WNDCLASSEXW& windowClass) const override;

 private:
  void OnPaint();
  BOOL OnEraseBkgnd(HDC) { return TRUE; }
  void OnClick(UINT keys, POINT point);
  void OnThumbValue(int id, int value);
  void OnEnable(bool enabled);
  // The value, as a trackbar answers it: for screen readers and programs driving the window.
  LRESULT OnGetPosition(WPARAM, LPARAM) { return Value(); }

  BEGIN_MESSAGE_TABLE(CPngSliderBar, Window)
    MSG_WM_PAINT(OnPaint)
    MSG_WM_ERASEBKGND(OnEraseBkgnd)
    MSG_WM_LBUTTONDOWN(OnClick)
    MSG_WM_LBUTTONUP(OnClick)
    MSG_SLIDER_MOVED(OnThumbValue)
    MSG_WM_ENABLE(OnEnable)
    MESSAGE_HANDLER(TBM_GETPOS, OnGetPosition)
  END_MESSAGE_TABLE()

  // The track, stretched over a bar-sized area whose top-left lies at (originX, originY).
  void DrawTrack(HDC dc, int originX, int originY);

  SliderAxis m_axis;
  int m_id = 0;
  RECT m_rect{};
  HWND m_parent = nullptr;
  SkinImage m_trackImage;
  int m_minimum = 0;
  int m_maximum = 10;
  bool m_created = false;
  std::unique_ptr<CPngSlider> m_thumb;
};
