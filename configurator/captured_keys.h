#pragma once
// CapturedKeys: the keys a key capture window starts from and gives back, in the terms of a
// button assignment (ButtonAssignment): a single key is its HID usage (KeyBlock byte 0), a
// combination is its key count (KeyNumber / 2) and its key steps (KeyBlock).
#include <array>
#include <cstdint>

#include "settings/profile_set.h"

struct CapturedKeys {
  // No key: the usage 255, which no key has.
  static constexpr std::uint8_t kNoKey = 255;

  std::uint8_t key = kNoKey;
  int keyCount = 0;
  std::array<std::uint8_t, kKeyBlockSize> block{};

  // What a key capture window opened for `button` shows first: its key when it holds a single
  // key, its combination when it holds one, otherwise nothing.
  static CapturedKeys PresetOf(const ButtonAssignment& button);
};
