#pragma once
// KeyboardLayout: the character that a key produces on the user's current keyboard layout.
// The key tables name most keys themselves; letters, digits and punctuation are named by
// what the layout types for them, which only the platform knows.

class KeyboardLayout {
 public:
  virtual ~KeyboardLayout() = default;

  // The character the virtual key types with no modifier pressed (only the low byte of the
  // platform's answer is meaningful), or 0 when it types none.
  virtual char16_t CharacterOf(unsigned vk) const = 0;
};
