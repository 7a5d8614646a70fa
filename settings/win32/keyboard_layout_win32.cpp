#include "settings/win32/keyboard_layout_win32.h"

#include <windows.h>

char16_t KeyboardLayoutWin32::CharacterOf(unsigned vk) const {
  const UINT scanCode = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
  // No modifier pressed, so the key's plain character.
  BYTE keyState[256] = {};
  WORD chars[2] = {};
  const int written = ToAscii(vk, scanCode, keyState, chars, 0);
  if (written < 0) {
    // A dead key: the layout wrote its accent, which names the key. The key is now pending in
    // the thread's keyboard state; a second translation clears it so the user's next keystroke
    // is not altered.
    const char16_t accent = static_cast<char16_t>(chars[0] & 0xFFu);
    WORD ignored[2] = {};
    ToAscii(vk, scanCode, keyState, ignored, 0);
    return accent;
  }
  if (written == 0) return 0;
  return static_cast<char16_t>(chars[0] & 0xFFu);
}
