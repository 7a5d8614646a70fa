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

}  // namespace harness
