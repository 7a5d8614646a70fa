#pragma once
// Value <-> position arithmetic of the image sliders. Positions are the thumb's leading edge
// (top for vertical sliders, left for horizontal ones) in bar coordinates. All divisions
// truncate towards zero. A slider whose range is empty (maximum = minimum) or whose track is no
// longer than its thumb shows its minimum and reports no value.
#include <optional>

struct SliderTrack {
  int trackStart = 0;  // lo
  int trackEnd = 0;    // hi
  int thumbSize = 0;   // s
  int minimum = 0;
  int maximum = 10;
};

// Values outside [minimum, maximum] (negative ones included) become the minimum.
int SliderValueInRange(int value, int minimum, int maximum);

// Whether the thumb can move and the range has steps.
bool SliderIsUsable(const SliderTrack& track);

// Thumb position of `value` (after SliderValueInRange); the track start when unusable.
int SliderPositionForValue(const SliderTrack& track, int value);

// Keeps a dragged thumb on the track: its leading edge not before the start, its far edge not
// past the end.
int ClampThumbPosition(const SliderTrack& track, int position);

// Value reported when the thumb is released at `position`; none when unusable. A thumb on the
// position of a value reports that value; between two values it reports the upper one once it
// is more than half a whole-track step past the lower one.
std::optional<int> SliderValueForPosition(const SliderTrack& track, int position);

// Value reported for a click at `point` on a bar spanning [barStart, barEnd) along its axis
// (all in the same coordinates); none when the range or the bar is empty.
std::optional<int> SliderValueForBarClick(int point, int barStart, int barEnd, int minimum,
                                          int maximum);
