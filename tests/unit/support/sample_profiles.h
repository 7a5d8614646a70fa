#pragma once
// A fully populated profile set in which every value is valid (validation leaves it as it is)
// and differs between profiles and buttons: every key block byte, colours with every byte used,
// macro names of full length, with non-ASCII text, with a character outside the BMP, and empty.

#include <cstdint>
#include <string>

#include "settings/profile_set.h"

inline ProfileSet MakeSampleProfileSet() {
  ProfileSet set;
  ResetProfileSet(set);
  set.CurrentProfile = 3;
  for (int p = 0; p < kProfileCount; ++p) {
    ProfileRecord& r = set.Profiles[p];
    r.Group = p % 2;
    r.PollingRate = 8 - p;
    r.DoubleClickSpeed = 10 - p;
    r.WheelScrollLines = 63 - 7 * p;
    r.UniversalScrollEnabled = p % 2;
    r.MouseSensitivity = 20 - 3 * p;
    r.Acceleration = 1 + p % 4;
    r.XYSensitivityEnabled = (p + 1) % 2;
    r.OFASensitivity = p;
    r.MouseSpeedX = 2 * p;
    r.MouseSpeedY = 10 - 2 * p;
    r.LedMode1 = (p * 3) % 8;
    r.LedState1 = 44 - 9 * p;
    r.BreathState1 = 1 + 2 * p;
    r.FlashState1 = 10 - p;
    for (int c = 0; c < kLedModeCount; ++c) {
      // 0 is a valid colour too.
      r.LedColor[c] = c == 0 ? 0 : static_cast<std::int32_t>(0x00FFFFFFu - 0x00102030u * c - p);
    }
    r.ANGLE = p % 2;
    r.LIFT = 1 + p;
    r.DPI = 4 - p;
    r.DPICurrentX = 75 - 11 * p;
    r.DPICurrentY = 1 + 13 * p;
    r.DPIStageNum = 5;
    for (int k = 0; k < kDpiStageCount; ++k) {
      DpiStage& stage = r.DpiStages[k];
      stage.Enabled = (k + p) % 2;
      stage.X = 1 + (k * 13 + p * 7) % 75;
      stage.Y = 75 - (k * 11 + p * 5) % 75;
      stage.Linked = (k + p + 1) % 2;
    }
    for (int m = 0; m < kLedLevelCount; ++m) {
      r.LedLevels[m].Level = 1 + (m + p) % 3;
      r.LedLevels[m].Rate = (m * 3 + p) % 9 - 1;  // -1 too: levels are not validated
    }
    for (int b = 0; b < kButtonCount; ++b) {
      ButtonAssignment& button = r.Buttons[b];
      button.ButtonFunc = static_cast<std::uint8_t>((b * 17 + p * 5) % 0xFF);  // never 0xFF
      button.LoopNumber = static_cast<std::uint8_t>(255 - b - p);
      button.KeyNumber = static_cast<std::uint8_t>(b * 25 + p);
      for (std::size_t i = 0; i < kKeyBlockSize; ++i) {
        button.KeyBlock[i] = static_cast<std::uint8_t>(i * 7 + b * 31 + p * 101);
      }
      std::u16string name;
      switch ((b + p) % 4) {
        case 0:
          for (std::size_t i = 0; i < kMacroNameUnits - 1; ++i) {
            name.push_back(static_cast<char16_t>(u'A' + (i + b + p) % 26));
          }
          break;
        case 1:
          name = u"Makro Größe \u00e9\u4e2d\u6587 ";
          name += static_cast<char16_t>(u'0' + p);
          name += static_cast<char16_t>(u'0' + b);
          break;
        case 2:
          name = u"emoji \U0001F5B1 ;=[x]";
          break;
        default:
          break;  // no macro
      }
      SetMacroName(button, name);
    }
  }
  return set;
}

// The set with every macro name cut down to its ASCII characters, for files written in an ANSI
// code page (which cannot hold every name): a file that already exists keeps its encoding, and
// one the private-profile functions create is ANSI.
inline ProfileSet WithAsciiNames(ProfileSet set) {
  for (ProfileRecord& r : set.Profiles) {
    for (ButtonAssignment& button : r.Buttons) {
      std::u16string name;
      for (char16_t c : MacroNameOf(button)) {
        if (c < 0x80) name.push_back(c);
      }
      SetMacroName(button, name);
    }
  }
  return set;
}
