#pragma once
// Real input for tests that drive a program as a person would: clicks at a window's client
// positions and typed text, sent with SendInput, so they reach whatever window is on the screen
// there, in any process.

#include <windows.h>

#include <string_view>

namespace harness {

// Moves the pointer to the client point of `window` and lets the window see it arrive (a
// skinned button lights, a menu row opens its cascade).
void MoveTo(HWND window, POINT client);
// MoveTo, then a click of the left button there.
void ClickAt(HWND window, POINT client);
// Types the text character by character (as Unicode key events).
void TypeText(std::wstring_view text);
// Presses and releases one key.
void PressKey(WORD virtualKey);

// `clicks` left clicks (2: a double click) at `point` in `window`'s client coordinates, at once:
// the pointer is put there and the presses follow without waiting for the window.
void ClickWithPointer(HWND window, POINT point, int clicks = 1);
// The middle of row `row` of a list box, in its client coordinates.
POINT ListRowPoint(HWND list, int row);

// Keys injected by virtual key, as a keyboard sends them: the keyboard hook (Snare.dll) sees
// them, and so does the window with the focus.
void SendVirtualKey(WORD vk, bool up);
// Each key pressed and released in turn, without pauses; letters and digits are their own
// virtual keys.
void TypeVirtualKeys(std::wstring_view keys);

}  // namespace harness
