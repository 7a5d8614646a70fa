// CTunerDlg: pages 1, 2 and 4. Pointer and wheel sliders, polling buttons, the assignment
// buttons' captions, the resolution stages, and RefreshAll, which sets every control from the
// current profile. None of these controls writes a file: Apply, OK, Import, a reset or a profile
// switch does.
#include <cstdint>
#include <string>

#include "configurator/lighting_page.h"
#include "configurator/performance_page.h"
#include "configurator/win32/tuner_dlg.h"
#include "settings/skin_texts.h"
#include "win/text.h"

void CTunerDlg::RefreshAll() {
  const ProfileRecord& record = Current();
  SelectProfile(m_curProfile);
  Group(tuner_group::kPolling).Select(PollingButtonOfRate(record.PollingRate));
  ShowLightingMode(LightingMode(record));
  SelectOptionButtons();
  Slider(tuner_id::kAccelerationSlider).SetSliderValue(record.Acceleration);
  Slider(tuner_id::kPointerSpeedSlider).SetSliderValue(record.MouseSensitivity);
  Slider(tuner_id::kWheelLinesSlider).SetSliderValue(record.WheelScrollLines);
  Slider(tuner_id::kDoubleClickSlider).SetSliderValue(record.DoubleClickSpeed);
  RefreshResolutionPage();
  ShowStageTitle();
}

void CTunerDlg::OnPageMade(int page) {
  if (page == 2) {
    RefreshResolutionPage();
    ShowStageTitle();
  } else if (page == 3) {
    ShowLightingMode(LightingMode(Current()));
    SelectOptionButtons();
  }
}

// ---------------------------------------------------------------- page 1

void CTunerDlg::OnSliderMoved(int id, int value) {
  const SliderChange change = ApplySliderValue(Current(), id, value);
  if (change.What == SliderChange::kNone) return;
  m_unsentChanges = true;
  if (change.What == SliderChange::kStage) ShowStageValues(change.Stage, change.X, change.Y);
}

void CTunerDlg::OnPollingButton(int id) {
  const int button = id - tuner_id::kFirstPolling;
  Group(tuner_group::kPolling).Select(button);
  Current().PollingRate = PollingRateOfButton(button);
  m_unsentChanges = true;
}

void CTunerDlg::OnAssignButton(int id) {
  OpenAssignMenu(id - tuner_id::kFirstAssign);
}

AssignmentCaptions CTunerDlg::CaptionsOf(ProfileRecord& record) {
  std::uint8_t codes[kButtonCount];
  for (int b = 0; b < kButtonCount; ++b) codes[b] = record.Buttons[b].ButtonFunc;
  const AssignmentCaptions captions =
      ::WriteCaptions(record, {SkinTexts::ForProcess(), m_macros, m_keyboardLayout});
  for (int b = 0; b < kButtonCount; ++b) {
    if (record.Buttons[b].ButtonFunc != codes[b]) m_unsentChanges = true;
  }
  return captions;
}

void CTunerDlg::WriteCaptions() {
  const AssignmentCaptions captions = CaptionsOf(Current());
  const bool visible = ::IsWindowVisible(Hwnd()) != FALSE;
  for (int b = 0; b < tuner_id::kAssignCount; ++b) {
    CBitmapBtn& button = Button(tuner_id::kFirstAssign + b);
    button.SetCaptionText(ToWide(captions[b]));
    // At once: a caption is often rewritten while the window waits for the agent. A window not
    // shown yet paints it with its first paint.
    if (visible) {
      ::RedrawWindow(button.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
  }
}

// ---------------------------------------------------------------- page 2

void CTunerDlg::OnStageButton(int id) {
  const int stage = id - tuner_id::kFirstStage;
  CBitmapBtn& button = Button(id);
  // The button has ticked or unticked itself; the last enabled stage stays ticked.
  if (!SetStageEnabled(Current(), stage, button.IsTicked())) {
    button.SetTicked(true);
    return;
  }
  m_unsentChanges = true;
  ::EnableWindow(Slider(tuner_id::kFirstLinkedSlider + stage).Hwnd(), button.IsTicked());
}

void CTunerDlg::RefreshResolutionPage() {
  if (!PageMade(2)) return;
  for (int stage = 0; stage < tuner_id::kStageCount; ++stage) {
    const DpiStage& values = Current().DpiStages[stage];
    const bool enabled = values.Enabled != 0;
    Button(tuner_id::kFirstStage + stage).SetTicked(enabled);
    CPngSliderBar& linked = Slider(tuner_id::kFirstLinkedSlider + stage);
    CPngSliderBar& x = Slider(tuner_id::kFirstXSlider + stage);
    CPngSliderBar& y = Slider(tuner_id::kFirstYSlider + stage);
    ::EnableWindow(linked.Hwnd(), enabled);
    if (Page() == 2) {
      // One slider for both axes, or one for each.
      const bool together = values.Linked != 0;
      ::ShowWindow(linked.Hwnd(), together ? SW_SHOW : SW_HIDE);
      ::ShowWindow(x.Hwnd(), together ? SW_HIDE : SW_SHOW);
      ::ShowWindow(y.Hwnd(), together ? SW_HIDE : SW_SHOW);
    }
    x.SetSliderValue(SliderValueOfResolution(values.X));
    y.SetSliderValue(SliderValueOfResolution(values.Y));
    linked.SetSliderValue(SliderValueOfResolution(values.Y));
    ShowStageValues(stage, true, true);
  }
}

void CTunerDlg::ShowStageValues(int stage, bool x, bool y) {
  const DpiStage& values = Current().DpiStages[stage];
  if (x) Label(tuner_id::kFirstXLabel + stage).SetText(ToWide(DotsPerInchText(values.X)));
  if (y) Label(tuner_id::kFirstYLabel + stage).SetText(ToWide(DotsPerInchText(values.Y)));
}

void CTunerDlg::ShowStageTitle() {
  if (!PageMade(2)) return;
  // "%s : %d": the text, then the stage counted from 1.
  const std::wstring title =
      ToWide(SkinText(u"General", 91)) + L" : " + std::to_wstring(Current().DPI + 1);
  Label(tuner_id::kStageTitle).SetText(title);
}
