#include "configurator/captured_keys.h"

#include <algorithm>

#include "settings/button_functions.h"

CapturedKeys CapturedKeys::PresetOf(const ButtonAssignment& button) {
  CapturedKeys keys;
  if (button.ButtonFunc == kFunctionSingleKey) {
    keys.keyCount = 1;
    if (button.KeyBlock[0] != 0) keys.key = button.KeyBlock[0];
  } else if (button.ButtonFunc == kFunctionKeyCombination) {
    keys.keyCount = button.KeyNumber / 2;
    if (button.KeyBlock[0] != 0) keys.key = button.KeyBlock[0];
  } else {
    return keys;
  }
  std::copy(std::begin(button.KeyBlock), std::end(button.KeyBlock), keys.block.begin());
  return keys;
}
