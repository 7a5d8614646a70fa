#pragma once
// The arithmetic of the pointer, wheel, polling-rate and resolution controls (pages 1 and 2):
// which polling button shows which rate code, what a slider's value means for the profile, how a
// resolution slider and its labels show a resolution value, and the guard that keeps at least
// one resolution stage in the cycle.

#include <string>

#include "settings/profile_set.h"

// ---- polling rate

inline constexpr int kPollingButtonCount = 4;

// The rate code polling button 0-3 stores: 8, 4, 2, 1 (125, 250, 500, 1000 reports a second).
int PollingRateOfButton(int button);
// The button that shows a profile's rate code; a code no button stores shows the second button
// (the profile keeps its code).
int PollingButtonOfRate(int rate);

// A rate the mouse reported: what the profile takes and the button that shows it. A code no
// button stores becomes 2 (the third button).
struct ReportedPollingRate {
  int Rate;
  int Button;
};
ReportedPollingRate PollingRateReported(int code);

// ---- resolution sliders

// The top of a resolution slider is the highest resolution: slider value s stands for the
// resolution value 76 - s.
int ResolutionOfSliderValue(int sliderValue);
// The slider value that shows a resolution value; one outside 1-75 shows at the top (1), as
// sliders show values outside their range, and the profile keeps it.
int SliderValueOfResolution(int resolution);
// A value label: the resolution in dots per inch, in decimal.
std::u16string DotsPerInchText(int resolution);

// ---- the slider message

// What a slider's new value changed in the current profile.
struct SliderChange {
  enum Kind { kNone, kPointer, kStage } What = kNone;
  int Stage = -1;  // kStage: the stage 0-4, with the axes whose labels change
  bool X = false;
  bool Y = false;
};
// Stores the value of slider `id` into `record`: the four pointer and wheel settings, or a
// stage's X, Y or both. Unknown ids, and values outside the slider's range, change nothing.
SliderChange ApplySliderValue(ProfileRecord& record, int id, int value);

// ---- resolution stages

// A stage button was pressed and now shows `selected`: the stage takes it, unless it is the last
// enabled stage of 0-4 being switched off. Returns false when refused (the button must be put
// back into the selected state).
bool SetStageEnabled(ProfileRecord& record, int stage, bool selected);
