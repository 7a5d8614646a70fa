// CTunerDlg: the lighting page. Mode buttons, preset colours, option groups and the colour
// picker. Unlike the other pages, every change here is written and sent at once
// (NotifyLighting).
#include <windows.h>

#include <cstdint>
#include <optional>

#include "configurator/lighting_page.h"
#include "configurator/win32/tuner_dlg.h"
#include "win/gdiplus_headers.h"
#include "win/scoped_select.h"

namespace {

constexpr ImageFile kLightingPicture{SkinFolder::kBackground, u"light.png"};
constexpr TableRect kLightingPicturePlace{100, 201, 708, 482};
// What a mode switch and a picked colour repaint: the picker with its marker's margin.
constexpr RECT kPickerArea{321, 284, 467, 421};
constexpr RECT kPickerRebuildArea{326, 289, 463, 416};
constexpr POINT kPresetMarker{454, 353};
constexpr int kMarkerSize = 5;

constexpr PickerColour kPresetColours[tuner_id::kPresetCount] = {
    PickerRgb(255, 0, 0),   PickerRgb(255, 102, 0), PickerRgb(255, 255, 0), PickerRgb(0, 255, 0),
    PickerRgb(0, 172, 253), PickerRgb(0, 0, 255),   PickerRgb(172, 0, 203)};

// Each option group, its twin on the other side (the same option, 0: none) and what it stores.
struct OptionGroup {
  int firstId;
  int group;
  int twinGroup;
  LightingOption option;
};
constexpr OptionGroup kOptionGroups[] = {
    {tuner_id::kFirstRightLevel, tuner_group::kRightLevel, tuner_group::kLeftLevel,
     LightingOption::kLevel},
    {tuner_id::kFirstRightRate, tuner_group::kRightRate, tuner_group::kLeftRate,
     LightingOption::kRate},
    {tuner_id::kFirstRightRate6, tuner_group::kRightRate6, 0, LightingOption::kRate6},
    {tuner_id::kFirstLeftLevel, tuner_group::kLeftLevel, tuner_group::kRightLevel,
     LightingOption::kLevel},
    {tuner_id::kFirstLeftRate, tuner_group::kLeftRate, tuner_group::kRightRate,
     LightingOption::kRate},
};

}  // namespace

void CTunerDlg::ShowLightingMode(int mode) {
  if (Page() != 3) return;
  if (mode < 0 || mode >= tuner_id::kModeCount) mode = 0;
  Group(tuner_group::kModes).Select(mode);
  const LightingControls shown = LightingControlsOf(mode);
  auto show = [this](int id, bool visible) {
    if (Window* control = Controls().Find(id)) {
      ::ShowWindow(control->Hwnd(), visible ? SW_SHOW : SW_HIDE);
    }
  };
  auto showRows = [&](int firstId, bool visible) {
    for (int row = 0; row < tuner_id::kOptionRows; ++row) show(firstId + row, visible);
  };
  for (int k = 0; k < tuner_id::kPresetCount; ++k) show(tuner_id::kFirstPreset + k, shown.Colour);
  const bool labels[tuner_id::kLightingLabelCount] = {
      shown.Colour,     shown.Colour,    shown.RightLevel, shown.RightRate,
      shown.RightRate6, shown.LeftLevel, shown.LeftRate,   shown.OffNote};
  for (int l = 0; l < tuner_id::kLightingLabelCount; ++l) {
    show(tuner_id::kFirstLightingLabel + l, labels[l]);
  }
  showRows(tuner_id::kFirstRightLevel, shown.RightLevel);
  showRows(tuner_id::kFirstRightRate, shown.RightRate);
  showRows(tuner_id::kFirstRightRate6, shown.RightRate6);
  showRows(tuner_id::kFirstLeftLevel, shown.LeftLevel);
  showRows(tuner_id::kFirstLeftRate, shown.LeftRate);
  ::InvalidateRect(Hwnd(), &kPickerArea, FALSE);
}

void CTunerDlg::SelectOptionButtons() {
  const std::optional<LedLevelEntry> entry = LightingLevel(Current());
  if (!entry) return;  // mode 7 has no options
  for (const OptionGroup& group : kOptionGroups) {
    Group(group.group).Select(LightingOptionRow(group.option, *entry));
  }
}

void CTunerDlg::OnModeButton(int id) {
  const int mode = id - tuner_id::kFirstMode;
  ShowLightingMode(mode);
  Current().LedMode1 = mode;
  SelectOptionButtons();
  NotifyLighting();
}

void CTunerDlg::OnPresetButton(int id) {
  const PickerColour colour = kPresetColours[id - tuner_id::kFirstPreset];
  Current().LedColor[LightingMode(Current())] = static_cast<std::int32_t>(colour);
  m_pickerMarker = kPresetMarker;
  m_pickerField.Build(colour);
  BuildPickerField();
  ::InvalidateRect(Hwnd(), &kPickerRebuildArea, FALSE);
  NotifyLighting();
}

void CTunerDlg::OnOptionButton(int id) {
  for (const OptionGroup& group : kOptionGroups) {
    const int row = id - group.firstId;
    if (row < 0 || row >= tuner_id::kOptionRows) continue;
    Group(group.group).Select(row);
    if (group.twinGroup != 0) Group(group.twinGroup).Select(row);
    StoreLightingOption(Current(), group.option, row);
    NotifyLighting();
    return;
  }
}

void CTunerDlg::PickColour(POINT point) {
  m_pickerMarker = point;
  Current().LedColor[LightingMode(Current())] =
      static_cast<std::int32_t>(m_pickerField.AtPoint(point.x, point.y));
  ::InvalidateRect(Hwnd(), &kPickerArea, FALSE);
  NotifyLighting();
}

// ---------------------------------------------------------------- painting

void CTunerDlg::BuildPickerField() {
  // A top-down 32-bit picture of the painted rows: step 0 (the row's grey) at the left edge,
  // field entry r at step r + 1, so the screen shows exactly the stored colours.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = picker::kPaintedSteps;
  info.bmiHeader.biHeight = -picker::kRows;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  m_pickerPicture.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!m_pickerPicture || bits == nullptr) return;
  auto* pixels = static_cast<std::uint32_t*>(bits);
  const PickerColour base = m_pickerField.Base();
  for (int row = 0; row < picker::kRows; ++row) {
    const int grey = PickerRowGrey(row);
    const PickerColour colour = PickerRowColour(base, row);
    for (int step = 0; step < picker::kPaintedSteps; ++step) {
      const PickerColour shade = PickerShade(grey, colour, step);
      // COLORREF is red-green-blue from the low byte, a DIB pixel blue-green-red.
      pixels[row * picker::kPaintedSteps + step] =
          ((shade & 0xFF) << 16) | (shade & 0xFF00) | ((shade >> 16) & 0xFF);
    }
  }
  ::GdiFlush();
}

void CTunerDlg::PaintLightingPage(HDC dc) {
  DrawSkinImage(dc, Images().Image(kLightingPicture).get(), kLightingPicturePlace.left,
                kLightingPicturePlace.top, kLightingPicturePlace.Width(),
                kLightingPicturePlace.Height());
  if (!LightingModeHasColour(LightingMode(Current())) || !m_pickerPicture) return;
  UniqueMemoryDc source(::CreateCompatibleDC(dc));
  if (source) {
    ScopedSelect select(source.get(), m_pickerPicture.get());
    if (select) {
      ::BitBlt(dc, picker::kLeft - 1, picker::kTop, picker::kPaintedSteps, picker::kRows,
               source.get(), 0, 0, SRCCOPY);
    }
  }
  Gdiplus::Graphics graphics(dc);
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  const Gdiplus::Pen outline(Gdiplus::Color(255, 0, 0, 0), 2.0f);
  const Gdiplus::Pen ring(Gdiplus::Color(255, 255, 255, 255), 1.0f);
  graphics.DrawEllipse(&outline, m_pickerMarker.x, m_pickerMarker.y, kMarkerSize, kMarkerSize);
  graphics.DrawEllipse(&ring, m_pickerMarker.x, m_pickerMarker.y, kMarkerSize, kMarkerSize);
}
