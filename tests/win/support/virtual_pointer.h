#pragma once
// Clicks with the real pointer: moved onto a point of a window and pressed through SendInput, so
// whatever window is under it gets the click a user's hand gives, focus changes included. The
// window must be visible on the display and not covered.
#include <windows.h>

namespace harness {

// `clicks` left clicks (2: a double click) at `point` in `window`'s client coordinates.
inline void ClickWithPointer(HWND window, POINT point, int clicks = 1) {
  ::ClientToScreen(window, &point);
  ::SetCursorPos(point.x, point.y);
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dwFlags = MOUSEEVENTF_MOVE;
  ::SendInput(1, &move, sizeof(INPUT));
  for (int i = 0; i < clicks; ++i) {
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, press, sizeof(INPUT));
  }
}

// The middle of row `row` of a list box, in its client coordinates.
inline POINT ListRowPoint(HWND list, int row) {
  RECT rect{};
  ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
  return {rect.left + 30, (rect.top + rect.bottom) / 2};
}

}  // namespace harness
