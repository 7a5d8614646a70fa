#pragma once
// What the rows of a skinned menu and of its cascades have in common: each row button owns its
// own copies of the faces, and shows its caption centred, white, light grey under the pointer.
#include <windows.h>

#include <string_view>

#include "skin/bitmap_btn.h"
#include "skin/skin_image.h"

// Row buttons have these control ids (away from IDOK and IDCANCEL).
inline constexpr int kMenuRowButtonIdBase = 0x100;

// A copy of `image`, cut to width × height when both are positive; empty for an empty image.
SkinImage CopyImage(Gdiplus::Bitmap* image, int width = 0, int height = 0);

// Creates row button `row` at `rect` in `parent`, gives it copies of the four faces and the
// caption.
bool CreateMenuRowButton(CBitmapBtn& button, HWND parent, int row, const RECT& rect,
                         Gdiplus::Bitmap* const (&faces)[4], std::wstring_view text);
