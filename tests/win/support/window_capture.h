#pragma once
// Screenshots of a program's window as the screen shows it: a BitBlt from the window's own DC
// (so nothing outside its outline is copied) into a 32-bit top-down picture, which can be saved
// as a PNG whose pixels outside the window's region are transparent.

#include <windows.h>

#include <cstdint>
#include <string>

#include "win/unique_handle.h"

namespace harness {

struct WindowCapture {
  int width = 0;
  int height = 0;
  UniqueBitmap bitmap;
  std::uint32_t* pixels = nullptr;  // BGRX, top row first

  std::uint32_t At(int x, int y) const { return pixels[y * width + x] & 0xFFFFFF; }
};

bool CaptureWindow(HWND window, WindowCapture& capture);
// The screen's pixels in `area` (screen coordinates), whatever windows lie there.
bool CaptureScreenArea(const RECT& area, WindowCapture& capture);
// Saves the capture as a PNG; with `window` given, the pixels outside its region are
// transparent. GDI+ must be running.
bool SaveCaptureAsPng(const WindowCapture& capture, const std::wstring& path,
                      HWND window = nullptr);

}  // namespace harness
