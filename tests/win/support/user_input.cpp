#include "support/user_input.h"

namespace harness {

namespace {

void SendLeftClick() {
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, clicks, sizeof(INPUT));
}

}  // namespace

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
  SendLeftClick();
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
  SendVirtualKey(virtualKey, false);
  SendVirtualKey(virtualKey, true);
  Sleep(50);
}

void ClickWithPointer(HWND window, POINT point, int clicks) {
  ::ClientToScreen(window, &point);
  ::SetCursorPos(point.x, point.y);
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dwFlags = MOUSEEVENTF_MOVE;
  ::SendInput(1, &move, sizeof(INPUT));
  for (int i = 0; i < clicks; ++i) SendLeftClick();
}

POINT ListRowPoint(HWND list, int row) {
  RECT rect{};
  ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
  return {rect.left + 30, (rect.top + rect.bottom) / 2};
}

void SendVirtualKey(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  ::SendInput(1, &input, sizeof(INPUT));
}

void TypeVirtualKeys(std::wstring_view keys) {
  for (const wchar_t vk : keys) {
    SendVirtualKey(vk, false);
    SendVirtualKey(vk, true);
  }
}

}  // namespace harness
