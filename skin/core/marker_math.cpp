#include "skin/core/marker_math.h"

#include <algorithm>

int MarkerPositionInRange(int value, int minimum, int maximum) {
  return value >= minimum && value <= maximum ? value : minimum;
}

int MarkerFillWidth(int left, int right, int position, int minimum, int maximum) {
  const long long width = static_cast<long long>(right) - left;
  const long long range = static_cast<long long>(maximum) - minimum;
  if (width <= 0 || range <= 0) return 0;
  const long long shown =
      MarkerPositionInRange(position, minimum, maximum) - static_cast<long long>(minimum);
  return static_cast<int>(width * shown / range);
}

int MarkerPositionForPointer(int x, int left, int right, int minimum, int maximum) {
  const long long width = static_cast<long long>(right) - left;
  const long long range = static_cast<long long>(maximum) - minimum;
  if (width <= 0 || range <= 0) return minimum;
  const long long offset = std::max<long long>(x, left) - left;
  const long long position = minimum + range * offset / width;
  return static_cast<int>(std::clamp<long long>(position, minimum, maximum));
}
