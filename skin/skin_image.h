#pragma once
// Skin access: images and window outlines from the skin folders below the program folder.
// Exchanging the files re-skins the programs; a missing or broken file never stops a window, it
// only leaves that picture out.
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "win/gdiplus_headers.h"
#include "win/unique_handle.h"

// Skin folders, relative to the program folder.
inline constexpr wchar_t kSkinBackgroundFolder[] = L"images\\0409\\background\\";
inline constexpr wchar_t kSkinButtonsFolder[] = L"images\\0409\\buttons\\";
inline constexpr wchar_t kSkinControlsFolder[] = L"images\\0409\\controls\\";
inline constexpr wchar_t kSkinStringsFolder[] = L"images\\0409\\strings\\";

// A skin picture. Shared: a window loads each file once (SkinImageSet) and its controls hold the
// pictures they draw, so a picture lives as long as anyone draws it. Empty when the file is
// missing or cannot be decoded; every function here accepts an empty one and draws nothing.
using SkinImage = std::shared_ptr<Gdiplus::Bitmap>;

// "<program folder><folder><file>".
std::wstring SkinPath(std::wstring_view folder, std::wstring_view file);

// A GDI+ bitmap of the file `file` in the skin folder `folder` (no colour management).
SkinImage LoadSkinImage(std::wstring_view folder, std::wstring_view file);
// The same for a full path.
SkinImage LoadImageFile(const std::wstring& path);

// Size of an image, 0 for an empty one.
int ImageWidth(const Gdiplus::Image* image) noexcept;
int ImageHeight(const Gdiplus::Image* image) noexcept;

// Draws the whole image stretched into (x, y, width, height). Nothing for an empty image.
void DrawSkinImage(Gdiplus::Graphics& graphics, Gdiplus::Image* image, int x, int y, int width,
                   int height);
// The same on a device context, through a graphics object that lives for this one call.
void DrawSkinImage(HDC dc, Gdiplus::Image* image, int x, int y, int width, int height);

// Width and height of a decoded picture; zero when nothing was decoded.
struct PictureSize {
  int width = 0;
  int height = 0;
};

// The size a PNG file gives in its header, without decoding it; zero when the file is missing or
// is no PNG.
PictureSize PngFileSize(const std::wstring& path);

// Decodes a BMP, JPEG or GIF file with the OLE picture loader into a GDI bitmap that replaces the
// one in `bitmap`. On failure `bitmap` is left empty and the size is zero.
PictureSize LoadPictureBitmap(const std::wstring& path, UniqueBitmap& bitmap);

// The outline of a mask bitmap: every pixel whose red, green and blue values lie in
// [key, key + tolerance] is cut away. Empty (no region) for a missing bitmap or a mask without
// any kept pixel, so that the caller leaves its window rectangular instead of invisible.
UniqueRegion RegionFromBitmap(HBITMAP bitmap, COLORREF key, int tolerance);

// The outline of the mask picture at `maskPath` (white cut away); empty when the mask is missing
// or empty.
UniqueRegion OutlineFromMask(const std::wstring& maskPath);

// Shapes `window` from the mask picture at `maskPath` (white cut away). False, and the window
// stays rectangular, when the mask is missing or empty.
bool ShapeWindowFromMask(HWND window, const std::wstring& maskPath);
