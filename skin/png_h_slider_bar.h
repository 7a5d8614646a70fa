#pragma once
// The horizontal image slider: the same as CPngSliderBar along x, with a CPngHSlider thumb. Its
// track image covers the bar without a black fill below it.
#include "skin/png_slider_bar.h"

class CPngHSliderBar : public CPngSliderBar {
 public:
  CPngHSliderBar() : CPngSliderBar(SliderAxis::kHorizontal) {}
};
