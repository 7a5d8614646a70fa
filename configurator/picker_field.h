#pragma once
// The lighting page's colour picker: a field of 126 columns by 120 rows computed from one base
// colour. Row i runs from white (row 0) through the base colour (row 60) to black (row 119);
// each row is a blend from the row's grey at its left end to the row's colour at its right end.
// The window paints the field from these very numbers, so a click stores exactly the colour
// under the pointer.
//
// Colours are laid out as COLORREF: red in the low byte.

#include <array>
#include <cstdint>

using PickerColour = std::uint32_t;

constexpr PickerColour PickerRgb(int red, int green, int blue) {
  return static_cast<PickerColour>(red & 0xFF) | (static_cast<PickerColour>(green & 0xFF) << 8) |
         (static_cast<PickerColour>(blue & 0xFF) << 16);
}

namespace picker {

inline constexpr int kColumns = 126;
inline constexpr int kRows = 120;
// Client position of entry (0, 0); column r is x = kLeft + r, row i is y = kTop + i.
inline constexpr int kLeft = 331;
inline constexpr int kTop = 294;
// A click counts inside [kLeft, kClickRight) x [kTop, kClickBottom).
inline constexpr int kClickRight = 457;
inline constexpr int kClickBottom = 411;
// Each painted row is one step wider on both sides: it runs from x = kLeft - 1 (the row's
// grey, step 0) for kPaintedSteps pixels, entry r being step r + 1.
inline constexpr int kPaintedSteps = 128;
inline constexpr int kBlendSteps = 128;

constexpr bool Contains(int x, int y) {
  return x >= kLeft && x < kClickRight && y >= kTop && y < kClickBottom;
}

}  // namespace picker

// The grey at the left end of row i: 255 - 2i.
constexpr int PickerRowGrey(int row) {
  return 255 - 2 * row;
}
// The colour at the right end of row i (0-119) for `base`.
PickerColour PickerRowColour(PickerColour base, int row);
// The colour `step` (0-128) steps from the row's grey towards its colour.
PickerColour PickerShade(int grey, PickerColour rowColour, int step);

class PickerField {
 public:
  // Recomputes every entry from `base`.
  void Build(PickerColour base);

  PickerColour Base() const { return m_base; }
  // Entry (column, row); both must be inside the field.
  PickerColour At(int column, int row) const { return m_entries[row * picker::kColumns + column]; }
  // The entry under the client point (x, y) inside the click area.
  PickerColour AtPoint(int x, int y) const { return At(x - picker::kLeft, y - picker::kTop); }

 private:
  PickerColour m_base = 0;
  std::array<PickerColour, picker::kColumns * picker::kRows> m_entries{};
};
