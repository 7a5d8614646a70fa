#include "configurator/lighting_page.h"

namespace {

constexpr int kOptionValues[3][kLightingOptionRows] = {{1, 2, 3}, {8, 5, 2}, {8, 5, 1}};

const int* ValuesOf(LightingOption option) {
  return kOptionValues[static_cast<int>(option)];
}

}  // namespace

LightingControls LightingControlsOf(int mode) {
  LightingControls shown;
  switch (mode) {
    case 1:
    case 3:
      shown.LeftLevel = shown.LeftRate = true;
      break;
    case 2:
      shown.Colour = shown.RightLevel = true;
      break;
    case 4:
    case 5:
      shown.LeftLevel = true;
      break;
    case 6:
      shown.Colour = shown.RightLevel = shown.RightRate6 = true;
      break;
    case 7:
      shown.OffNote = true;
      break;
    default:
      shown.Colour = shown.RightLevel = shown.RightRate = true;
      break;
  }
  return shown;
}

bool LightingModeHasColour(int mode) {
  return LightingControlsOf(mode).Colour;
}

int LightingOptionValue(LightingOption option, int row) {
  return row >= 0 && row < kLightingOptionRows ? ValuesOf(option)[row] : ValuesOf(option)[0];
}

int LightingOptionRow(LightingOption option, const LedLevelEntry& entry) {
  const int value = option == LightingOption::kLevel ? entry.Level : entry.Rate;
  for (int row = 0; row < kLightingOptionRows; ++row) {
    if (ValuesOf(option)[row] == value) return row;
  }
  return 0;
}

bool StoreLightingOption(ProfileRecord& record, LightingOption option, int row) {
  const int mode = LightingMode(record);
  if (mode >= kLedLevelCount || row < 0 || row >= kLightingOptionRows) return false;
  LedLevelEntry& entry = record.LedLevels[mode];
  (option == LightingOption::kLevel ? entry.Level : entry.Rate) = LightingOptionValue(option, row);
  return true;
}
