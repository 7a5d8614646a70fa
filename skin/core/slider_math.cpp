#include "skin/core/slider_math.h"

#include <algorithm>

namespace {

int ClampValue(long long value, int minimum, int maximum) {
  return static_cast<int>(std::clamp<long long>(value, minimum, maximum));
}

}  // namespace

int SliderValueInRange(int value, int minimum, int maximum) {
  // For the ranges in use (minimum >= 0) this equals an unsigned comparison, which counts
  // negative values as large; compared signed it also holds for negative minimums.
  return value < minimum || value > maximum ? minimum : value;
}

bool SliderIsUsable(const SliderTrack& t) {
  return t.maximum > t.minimum &&
         static_cast<long long>(t.trackEnd) - t.trackStart - t.thumbSize > 0;
}

int SliderPositionForValue(const SliderTrack& t, int value) {
  if (!SliderIsUsable(t)) return t.trackStart;
  const long long v = SliderValueInRange(value, t.minimum, t.maximum);
  const long long travel = static_cast<long long>(t.trackEnd) - t.trackStart - t.thumbSize;
  return static_cast<int>(
      travel * (v - t.minimum) / (static_cast<long long>(t.maximum) - t.minimum) + t.trackStart);
}

int ClampThumbPosition(const SliderTrack& t, int position) {
  const long long last = static_cast<long long>(t.trackEnd) - t.thumbSize;
  if (last <= t.trackStart) return t.trackStart;
  return static_cast<int>(std::clamp<long long>(position, t.trackStart, last));
}

std::optional<int> SliderValueForPosition(const SliderTrack& t, int position) {
  if (!SliderIsUsable(t)) return std::nullopt;
  const long long range = static_cast<long long>(t.maximum) - t.minimum;
  const long long travel = static_cast<long long>(t.trackEnd) - t.trackStart - t.thumbSize;
  const long long offset = static_cast<long long>(position) - t.trackStart;
  if (offset <= 0) return t.minimum;
  // The last value whose thumb position is not past the thumb. Positions are truncated, so the
  // plain quotient can fall one short of it; a thumb on a value's own position reports that
  // value.
  long long v = t.minimum + offset * range / travel;
  while (v < t.maximum && SliderPositionForValue(t, static_cast<int>(v + 1)) <= position) ++v;
  if (v >= t.maximum) return t.maximum;
  if (SliderPositionForValue(t, static_cast<int>(v)) == position) return static_cast<int>(v);
  // Between two values: the upper one once the thumb is more than half a step past the lower
  // one, in steps of the whole track.
  const long long step = (static_cast<long long>(t.trackEnd) - t.trackStart) / range;
  if (offset - step * (v - t.minimum) > step / 2) ++v;
  return ClampValue(v, t.minimum, t.maximum);
}

std::optional<int> SliderValueForBarClick(int point, int barStart, int barEnd, int minimum,
                                          int maximum) {
  const long long range = static_cast<long long>(maximum) - minimum;
  const long long length = static_cast<long long>(barEnd) - barStart;
  if (range <= 0 || length <= 0) return std::nullopt;
  const long long offset = static_cast<long long>(point) - barStart;
  const long long d = offset * range / length;
  const long long step = length / range;
  long long v = minimum + d;
  if (offset - step * d > step / 2) ++v;
  return ClampValue(v, minimum, maximum);
}
