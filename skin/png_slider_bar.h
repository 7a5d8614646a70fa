#pragma once
// An image slider: a bar window showing a track image, with its thumb (CPngSlider) inside. The
// user drags the thumb or clicks the bar; the new value goes to the parent as 0x1513
// (wParam = value, lParam = the slider's id). This class is the vertical slider; the horizontal
// one is CPngHSliderBar.
//
//   m_speed.CreateSlider(SkinPath(kSkinControlsFolder, L"y.png"), SkinPath(...), Hwnd(), 10005,
//                        {511, 268, 721, 286});
//   m_speed.SetTrackImage(m_trackImage.get());
//   m_speed.SetRange(1, 20);
//   m_speed.SetSliderValue(profile.MouseSensitivity);
#include <windows.h>

#include <memory>
#include <string>

#include "skin/png_slider.h"
#include "win/window.h"

class CPngSliderBar : public Window {
 public:
  explicit CPngSliderBar(SliderAxis axis = SliderAxis::kVertical);
  ~CPngSliderBar() override;

  // Creates the bar at `rect` (parent client coordinates) and its thumb, set to the minimum.
  bool CreateSlider(const std::wstring& thumbImagePath, const std::wstring& disabledThumbImagePath,
                    HWND parent, int id, const RECT& rect);

  // The track image, drawn over the whole bar; the owner keeps it (and may replace it).
  void SetTrackImage(Gdiplus::Image* image);
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
  LRESULT OnEraseBkgnd(WPARAM, LPARAM) { return TRUE; }
  LRESULT OnClick(WPARAM wParam, LPARAM lParam);
  LRESULT OnThumbValue(WPARAM wParam, LPARAM lParam);
  LRESULT OnEnable(WPARAM wParam, LPARAM lParam);

  BEGIN_MESSAGE_TABLE(CPngSliderBar, Window)
    MSG_WM_PAINT(OnPaint)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnClick)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnClick)
    MESSAGE_HANDLER(kSliderValueMessage, OnThumbValue)
    MESSAGE_HANDLER(WM_ENABLE, OnEnable)
  END_MESSAGE_TABLE()

  // The track, stretched over a bar-sized area whose top-left lies at (originX, originY).
  void DrawTrack(HDC dc, int originX, int originY);

  SliderAxis m_axis;
  int m_id = 0;
  RECT m_rect{};
  HWND m_parent = nullptr;
  Gdiplus::Image* m_trackImage = nullptr;
  int m_minimum = 0;
  int m_maximum = 10;
  bool m_created = false;
  std::unique_ptr<CPngSlider> m_thumb;
};
