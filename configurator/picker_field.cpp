#include "configurator/picker_field.h"

namespace {

int Channel(PickerColour colour, int shift) {
  return static_cast<int>((colour >> shift) & 0xFF);
}

// One channel of the row colour. The order of the double operations is part of the result:
// where the product lands next to a whole number, another order truncates differently.
int RowChannel(int channel, int row) {
  if (row >= picker::kRows - 1) return 0;
  if (row <= 60) return static_cast<int>(255.0 - ((255 - channel) / 60.0) * row);
  return static_cast<int>((channel / 60.0) * (119 - row));
}

}  // namespace

PickerColour PickerRowColour(PickerColour base, int row) {
  return PickerRgb(RowChannel(Channel(base, 0), row), RowChannel(Channel(base, 8), row),
                   RowChannel(Channel(base, 16), row));
}

PickerColour PickerShade(int grey, PickerColour rowColour, int step) {
  // Integer division truncates toward zero, as the blend needs for channels below the grey.
  auto blend = [&](int shift) {
    return grey + step * (Channel(rowColour, shift) - grey) / picker::kBlendSteps;
  };
  return PickerRgb(blend(0), blend(8), blend(16));
}

void PickerField::Build(PickerColour base) {
  m_base = base;
  for (int row = 0; row < picker::kRows; ++row) {
    const int grey = PickerRowGrey(row);
    const PickerColour colour = PickerRowColour(base, row);
    for (int column = 0; column < picker::kColumns; ++column) {
      m_entries[row * picker::kColumns + column] = PickerShade(grey, colour, column + 1);
    }
  }
}
