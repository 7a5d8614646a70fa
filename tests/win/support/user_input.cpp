#include "support/user_input.h"

namespace harness {

void MoveTo(HWND window, POINT client) {
  ::ClientToScreen(window, &client);
  ::SetCursorPos(client.x, client.y);
  // A skinned button takes the pointer (capture) when it arrives and lets it go when it leaves:
  // the click must come after the window has seen the move. The move goes into the same input
  // queue as the click as well, so that on a busy machine the click can never overtake it
  // (and land on a button that still holds the pointer from before).
  const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = width > 1 ? MulDiv(client.x, 65535, width - 1) : 0;
  move.mi.dy = height > 1 ? MulDiv(client.y, 65535, height - 1) : 0;
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &move, sizeof(INPUT));
  Sleep(150);
}

void ClickAt(HWND window, POINT client) {
  MoveTo(window, client);
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, clicks, sizeof(INPUT));
  Sleep(50);
}

void TypeText(std::wstring_view text) {
  for (const wchar_t character : text) {
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wScan = keys[1].ki.wScan = character;
    keys[0].ki.dwFlags = KEYEVENTF_UNICODE;
    keys[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    ::SendInput(2, keys, sizeof(INPUT));
    Sleep(5);
  }
}

void PressKey(WORD virtualKey) {
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = virtualKey;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, keys, sizeof(INPUT));
  Sleep(50);
}

}  // namespace harness
