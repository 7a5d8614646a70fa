#pragma once
// The keystrokes of the PC-side functions that are keyboard shortcuts or browser keys, and how
// they are played: a shortcut holds its modifier around the key with 50 ms between events (so
// that slow applications see the modifier), a browser key is pressed and released at once.

#include <cstdint>
#include <optional>

#include "agent/pc_operation.h"

class KeySynthesiser;

struct KeyShortcut {
  std::uint8_t modifier;
  std::uint8_t key;
};

// Every down event is marked extended, every up event extended and up, whatever the key.
inline constexpr std::uint32_t kKeyDownFlags = 0x1;
inline constexpr std::uint32_t kKeyUpFlags = 0x3;
inline constexpr unsigned kShortcutStepMs = 50;

// The shortcut of an operation; none for browser keys and shell actions.
std::optional<KeyShortcut> ShortcutFor(PcOperation operation);
// The single key of an operation; none for shortcuts and shell actions.
std::optional<std::uint8_t> SingleKeyFor(PcOperation operation);

// Modifier down, wait, key down, wait, key up, wait, modifier up.
void PlayShortcut(KeySynthesiser& keys, KeyShortcut shortcut);
// Key down, key up, no wait.
void PlaySingleKey(KeySynthesiser& keys, std::uint8_t virtualKey);

// Plays the keystrokes of an operation; false, and nothing played, for the shell actions.
bool PlayKeysOf(PcOperation operation, KeySynthesiser& keys);
