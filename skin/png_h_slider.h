#pragma once
// The thumb of a horizontal image slider (CPngHSliderBar): it moves along x.
#include "skin/png_slider.h"

class CPngHSlider : public CPngSlider {
 public:
  CPngHSlider() : CPngSlider(SliderAxis::kHorizontal) {}
};
