#pragma once
// What the rows of a skinned menu and of its cascades have in common: the row buttons share the
// faces of their menu, and show their caption centred, white, light grey under the pointer.
#include <windows.h>

#include <string_view>

#include "skin/bitmap_btn.h"
#include "skin/skin_image.h"

// Row buttons have these control ids (away from IDOK and IDCANCEL).
inline constexpr int kMenuRowButtonIdBase = 0x100;

// A copy of `image`, cut to width × height when both are positive; empty for an empty image.
SkinImage CopyImage(Gdiplus::Bitmap* image, int width = 0, int height = 0);

// Creates row button `row` at `rect` in `parent` with the faces and the caption.
bool CreateMenuRowButton(CBitmapBtn& button, HWND parent, int row, const RECT& rect,
                         const ButtonFaces& faces, std::wstring_view text);
