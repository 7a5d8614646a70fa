#pragma once
// The lighting page's rules: which controls each lighting mode shows, what each option row
// stores, and which row shows a profile's level and rate. Modes 0, 2 and 6 have a colour (the
// preset colours and the picker); options sit beside the picker in those modes and on the left
// in the others; mode 7 (off) shows only its note.

#include "settings/profile_set.h"

// The controls shown for a mode; each option group comes with its label.
struct LightingControls {
  bool Colour = false;      // preset colours, picker, labels L0 and L1
  bool RightLevel = false;  // with L2
  bool RightRate = false;   // with L3
  bool RightRate6 = false;  // with L4
  bool LeftLevel = false;   // with L5
  bool LeftRate = false;    // with L6
  bool OffNote = false;     // L7
};
// A mode outside 0-7 shows as mode 0.
LightingControls LightingControlsOf(int mode);
// Whether the colour picker is drawn and takes clicks in this mode.
bool LightingModeHasColour(int mode);

// The option groups: brightness, speed, and the speed of mode 6.
enum class LightingOption { kLevel, kRate, kRate6 };
inline constexpr int kLightingOptionRows = 3;

// What option row 0-2 of a group stores: Level 1, 2, 3; Rate 8, 5, 2; mode 6's Rate 8, 5, 1.
int LightingOptionValue(LightingOption option, int row);
// The row that shows the entry's value; values no row stores show the first row.
int LightingOptionRow(LightingOption option, const LedLevelEntry& entry);
// Stores option row `row` into the level entry of the record's lighting mode. False (and nothing
// changes) in mode 7, which has no entry, or for a row outside 0-2.
bool StoreLightingOption(ProfileRecord& record, LightingOption option, int row);
