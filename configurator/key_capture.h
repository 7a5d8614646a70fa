#pragma once
// KeyCapture: what the key capture window makes of the key events the keyboard hook reports.
//
// Single-key mode takes the last key pressed or released. Combination mode keeps the live
// state of the keys held (KeyChord: left Shift, left Ctrl, left Windows, left Alt and one other
// key) and shows, and at the end stores, the keys held at the last press, so letting go of the
// keys before pressing OK keeps the combination.
//
// The first key event replaces whatever the opener preset. A key the mouse cannot send (no HID
// usage) captures nothing, nor does a release before any press in combination mode: until a
// key is captured, the window's outcome is Cancel and the assignment keeps its function. An
// event that repeats the previous one (a held key's auto-repeat) is dropped; each window starts
// with an empty memory, so its first key is never lost.
#include <cstdint>
#include <optional>
#include <string>

#include "configurator/captured_keys.h"
#include "settings/key_chord.h"

class KeyCapture {
 public:
  enum class Mode { kSingleKey, kCombination };

  // `preset` is what the window shows before the first key: a combination when its key count
  // is 2 or more, else its key.
  KeyCapture(Mode mode, const CapturedKeys& preset);

  Mode GetMode() const noexcept { return m_mode; }

  // A key event from the hook: the virtual key and its flags (bit 7 set for a release). True
  // when it changed what is captured.
  bool OnKeyEvent(unsigned vk, unsigned flags);

  // What the key field shows.
  const std::u16string& Text() const noexcept { return m_text; }
  // Whether a key was captured since the window opened.
  bool Captured() const noexcept { return m_captured; }

  // The outcome of OK: nothing when no key was captured (the window ends with Cancel);
  // otherwise the key (single-key mode, or the one key of a combination), the key count and,
  // for a combination of 2 to 5 keys, its key steps in the block.
  std::optional<CapturedKeys> Confirm() const;

 private:
  Mode m_mode;
  CapturedKeys m_keys;
  std::u16string m_text;
  bool m_captured = false;
  KeyChord m_down;   // keys held now (combination mode)
  KeyChord m_shown;  // keys held at the last press: what is shown and stored
  bool m_hasPrevious = false;
  unsigned m_previousVk = 0;
  unsigned m_previousFlags = 0;
};
