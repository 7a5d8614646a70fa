#pragma once
// Writing pictures as PNG files through GDI+: screenshots of windows and the pictures the tests
// make. GDI+ must be running.
#include <windows.h>

#include <string>

#include "win/gdiplus_headers.h"

bool SaveImageAsPng(Gdiplus::Image& image, const std::wstring& path);

// A rectangle of the screen as it is shown, popups over the window included. Null on failure.
HBITMAP CaptureScreen(const RECT& screenRect);

// The window as it prints itself (regions and windows above it ignored). Null on failure.
HBITMAP PrintWindowBitmap(HWND window);
