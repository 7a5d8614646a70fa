#pragma once
// The keyboard layout of the calling thread, asked through the platform's key translation.

#include "settings/keyboard_layout.h"

class KeyboardLayoutWin32 final : public KeyboardLayout {
 public:
  char16_t CharacterOf(unsigned vk) const override;
};
