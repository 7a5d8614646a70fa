#pragma once
// FireKey: the rapid-fire window's state. What is fired is one of three mouse buttons (kinds
// 0-2, fired as 240-242) or a keyboard key (kind 3), captured from the keyboard hook as in
// single-key mode; two numbers say how the mouse repeats it. The hook is wanted only while the
// keyboard kind is selected and no number field has the focus, so digits typed into a field
// are never taken for the key. Choosing a mouse button and then the keyboard kind again brings
// back the key captured or preset before.
#include <cstdint>
#include <string>
#include <string_view>

#include "configurator/key_capture.h"
#include "settings/profile_set.h"

class FireKey {
 public:
  static constexpr int kKindCount = 4;
  static constexpr int kKeyboardKind = 3;
  // The numbers are stored in bytes.
  static constexpr int kLargestNumber = 255;

  // A rapid-fire assignment in the terms of ButtonAssignment.
  struct Setup {
    std::uint8_t fired =
        kFireMouseButton1;  // KeyBlock byte 0: 240-242 or a key's usage (255: no key)
    int loopNumber = 3;     // the first number
    int keyNumber = 10;     // the second number

    // What the window opened for `button` starts from: its rapid fire when it holds one,
    // otherwise the left button with 3 and 10.
    static Setup PresetOf(const ButtonAssignment& button);
  };

  explicit FireKey(const Setup& preset);

  int Kind() const noexcept { return m_kind; }
  // Kinds outside 0-3 are ignored.
  void SelectKind(int kind);
  // A number field gained or lost the focus.
  void OnNumberFocus(bool gained);
  bool HookWanted() const noexcept { return m_kind == kKeyboardKind && m_numberFocus == 0; }

  // A key event from the hook; taken only while the hook is wanted. True when the key changed.
  bool OnKeyEvent(unsigned vk, unsigned flags);
  // The name of the keyboard key (captured or preset), "" when there is none.
  const std::u16string& KeyText() const noexcept { return m_capture.Text(); }

  // KeyBlock byte 0 as it stands: 240-242 for the mouse-button kinds, the keyboard key's usage
  // for the keyboard kind (255 when no key was captured or preset).
  std::uint8_t Fired() const;

  // The outcome of OK, the two fields' texts read as numbers.
  Setup Confirm(std::u16string_view firstNumber, std::u16string_view secondNumber) const;

  // A field's text as a number: its leading decimal digits (after blanks and a sign), 0 when
  // it has none, held to 0-255.
  static int NumberOf(std::u16string_view text);

 private:
  int m_kind = 0;
  int m_numberFocus = 0;
  std::uint8_t m_presetKey = CapturedKeys::kNoKey;
  KeyCapture m_capture;
};
