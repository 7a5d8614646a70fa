#include "configurator/performance_page.h"

#include "configurator/tuner_ids.h"
#include "contract/mouse_map.h"
#include "settings/profile_fields.h"

namespace {

constexpr int kRateOfButton[kPollingButtonCount] = {8, 4, 2, 1};
constexpr int kButtonOfUnknownRate = 1;
constexpr int kRateOfUnknownReport = 2;

constexpr int kResolutionFlip = device_map::kMinResolution + device_map::kMaxResolution;

bool InRange(ProfileField field, int value) {
  return OfferedRangeOf(field).Contains(value);
}

}  // namespace

int PollingRateOfButton(int button) {
  return button >= 0 && button < kPollingButtonCount ? kRateOfButton[button] : kRateOfUnknownReport;
}

int PollingButtonOfRate(int rate) {
  for (int button = 0; button < kPollingButtonCount; ++button) {
    if (kRateOfButton[button] == rate) return button;
  }
  return kButtonOfUnknownRate;
}

ReportedPollingRate PollingRateReported(int code) {
  for (int button = 0; button < kPollingButtonCount; ++button) {
    if (kRateOfButton[button] == code) return {code, button};
  }
  return {kRateOfUnknownReport, PollingButtonOfRate(kRateOfUnknownReport)};
}

int ResolutionOfSliderValue(int sliderValue) {
  return kResolutionFlip - sliderValue;
}

int SliderValueOfResolution(int resolution) {
  const int value = kResolutionFlip - resolution;
  return InRange(ProfileField::StageResolution, value) ? value : device_map::kMinResolution;
}

std::u16string DotsPerInchText(int resolution) {
  const std::string digits = std::to_string(device_map::DotsPerInchOfResolution(resolution));
  return std::u16string(digits.begin(), digits.end());
}

SliderChange ApplySliderValue(ProfileRecord& record, int id, int value) {
  using namespace tuner_id;
  struct PointerSlider {
    int id;
    ProfileField field;
    std::int32_t ProfileRecord::*member;
  };
  static constexpr PointerSlider kPointer[] = {
      {kAccelerationSlider, ProfileField::Acceleration, &ProfileRecord::Acceleration},
      {kPointerSpeedSlider, ProfileField::MouseSensitivity, &ProfileRecord::MouseSensitivity},
      {kWheelLinesSlider, ProfileField::WheelScrollLines, &ProfileRecord::WheelScrollLines},
      {kDoubleClickSlider, ProfileField::DoubleClickSpeed, &ProfileRecord::DoubleClickSpeed}};
  for (const PointerSlider& slider : kPointer) {
    if (slider.id != id) continue;
    if (!InRange(slider.field, value)) return {};
    record.*slider.member = value;
    return {SliderChange::kPointer};
  }

  struct StageSliders {
    int firstId;
    bool x, y;
  };
  static constexpr StageSliders kStages[] = {
      {kFirstXSlider, true, false}, {kFirstYSlider, false, true}, {kFirstLinkedSlider, true, true}};
  for (const StageSliders& sliders : kStages) {
    const int stage = id - sliders.firstId;
    if (stage < 0 || stage >= kStageCount) continue;
    if (!InRange(ProfileField::StageResolution, value)) return {};
    DpiStage& target = record.DpiStages[stage];
    const int resolution = ResolutionOfSliderValue(value);
    if (sliders.x) target.X = resolution;
    if (sliders.y) target.Y = resolution;
    return {SliderChange::kStage, stage, sliders.x, sliders.y};
  }
  return {};
}

bool SetStageEnabled(ProfileRecord& record, int stage, bool selected) {
  if (stage < 0 || stage >= tuner_id::kStageCount) return false;
  if (!selected) {
    // The pressed stage still counts as enabled here.
    int disabled = 0;
    for (int s = 0; s < tuner_id::kStageCount; ++s) {
      if (record.DpiStages[s].Enabled == 0) ++disabled;
    }
    if (disabled >= tuner_id::kStageCount - 1) return false;
  }
  record.DpiStages[stage].Enabled = selected ? 1 : 0;
  return true;
}
