#include "contract/mouse_map.h"

#include <cstdlib>

namespace device_map {

int ResolutionOfDotsPerInch(int dotsPerInch) {
  int best = kMinResolution;
  for (int value = kMinResolution + 1; value <= kMaxResolution; ++value) {
    if (std::abs(DotsPerInchOfResolution(value) - dotsPerInch) <
        std::abs(DotsPerInchOfResolution(best) - dotsPerInch)) {
      best = value;
    }
  }
  return best;
}

const std::array<std::uint8_t, 51> kResolutionCodes = {
    0,  2,  4,  6,  8,  11, 13, 15, 18, 20, 22,  25,  27,  29,  32,  34,  36,
    39, 41, 43, 46, 48, 50, 52, 55, 57, 59, 62,  64,  66,  69,  71,  73,  76,
    78, 80, 83, 85, 87, 90, 92, 94, 97, 99, 101, 104, 106, 108, 111, 113, 115};

ResolutionCode EncodeResolution(std::int32_t value) {
  const std::int32_t v = std::clamp(value, kMinResolution, kMaxResolution);
  if (v <= kResolutionStepLimit) return {kResolutionCodes[v], 0};
  return {kResolutionCodes[v - 25], 1};
}

std::optional<std::int32_t> DecodeResolution(std::uint8_t code, std::uint8_t rangeFlag) {
  for (std::int32_t e = 1; e <= kResolutionStepLimit; ++e) {
    if (kResolutionCodes[e] == code) return rangeFlag == 1 ? e + 25 : e;
  }
  return std::nullopt;
}

int DecodeLightingMode(std::uint8_t effect, std::uint8_t option) {
  switch (effect) {
    case 1:
      if (option == 0x04) return 0;
      if (option == 0x08) return 1;
      if (option == 0x02) return 2;
      if (option == 0x10) return 6;
      return 0;
    case 2:
      return option == 0 ? 3 : 0;
    case 6:
      return 4;
    case 7:
      return 5;
    case 0:
      return 7;
    default:
      return 0;
  }
}

}  // namespace device_map
