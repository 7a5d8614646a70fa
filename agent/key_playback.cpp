#include "agent/key_playback.h"

#include "agent/key_synthesiser.h"

namespace {

// Virtual-key codes. Control is the generic key, Alt and Windows the left-hand ones.
constexpr std::uint8_t kVkTab = 0x09;
constexpr std::uint8_t kVkControl = 0x11;
constexpr std::uint8_t kVkLeftWindows = 0x5B;
constexpr std::uint8_t kVkF3 = 0x72;
constexpr std::uint8_t kVkF4 = 0x73;
constexpr std::uint8_t kVkLeftAlt = 0xA4;
constexpr std::uint8_t kVkBrowserBack = 0xA6;
constexpr std::uint8_t kVkBrowserForward = 0xA7;
constexpr std::uint8_t kVkBrowserRefresh = 0xA8;
constexpr std::uint8_t kVkBrowserStop = 0xA9;
constexpr std::uint8_t kVkBrowserFavourites = 0xAB;

}  // namespace

std::optional<KeyShortcut> ShortcutFor(PcOperation operation) {
  switch (operation) {
    case PcOperation::kCut:
      return KeyShortcut{kVkControl, 'X'};
    case PcOperation::kCopy:
      return KeyShortcut{kVkControl, 'C'};
    case PcOperation::kPaste:
      return KeyShortcut{kVkControl, 'V'};
    case PcOperation::kSelectAll:
      return KeyShortcut{kVkControl, 'A'};
    case PcOperation::kFind:
      return KeyShortcut{kVkControl, 'F'};
    case PcOperation::kNewDocument:
      return KeyShortcut{kVkControl, 'N'};
    case PcOperation::kPrint:
      return KeyShortcut{kVkControl, 'P'};
    case PcOperation::kSave:
      return KeyShortcut{kVkControl, 'S'};
    case PcOperation::kSwitchWindow:
      return KeyShortcut{kVkLeftAlt, kVkTab};
    case PcOperation::kCloseWindow:
      return KeyShortcut{kVkLeftAlt, kVkF4};
    case PcOperation::kOpenFileExplorer:
      return KeyShortcut{kVkLeftWindows, 'E'};
    case PcOperation::kOpenRunDialog:
      return KeyShortcut{kVkLeftWindows, 'R'};
    case PcOperation::kShowDesktop:
      return KeyShortcut{kVkLeftWindows, 'D'};
    default:
      return std::nullopt;
  }
}

std::optional<std::uint8_t> SingleKeyFor(PcOperation operation) {
  switch (operation) {
    case PcOperation::kBrowserBack:
      return kVkBrowserBack;
    case PcOperation::kBrowserForward:
      return kVkBrowserForward;
    case PcOperation::kBrowserStop:
      return kVkBrowserStop;
    case PcOperation::kBrowserRefresh:
      return kVkBrowserRefresh;
    case PcOperation::kSearch:
      return kVkF3;
    case PcOperation::kBrowserFavourites:
      return kVkBrowserFavourites;
    default:
      return std::nullopt;
  }
}

void PlayShortcut(KeySynthesiser& keys, KeyShortcut shortcut) {
  keys.KeyEvent(shortcut.modifier, kKeyDownFlags);
  keys.Wait(kShortcutStepMs);
  keys.KeyEvent(shortcut.key, kKeyDownFlags);
  keys.Wait(kShortcutStepMs);
  keys.KeyEvent(shortcut.key, kKeyUpFlags);
  keys.Wait(kShortcutStepMs);
  keys.KeyEvent(shortcut.modifier, kKeyUpFlags);
}

void PlaySingleKey(KeySynthesiser& keys, std::uint8_t virtualKey) {
  keys.KeyEvent(virtualKey, kKeyDownFlags);
  keys.KeyEvent(virtualKey, kKeyUpFlags);
}

bool PlayKeysOf(PcOperation operation, KeySynthesiser& keys) {
  if (const std::optional<KeyShortcut> shortcut = ShortcutFor(operation)) {
    PlayShortcut(keys, *shortcut);
    return true;
  }
  if (const std::optional<std::uint8_t> key = SingleKeyFor(operation)) {
    PlaySingleKey(keys, *key);
    return true;
  }
  return false;
}
