#include "skin/menu_row_button.h"

#include <algorithm>

SkinImage CopyImage(Gdiplus::Bitmap* image, int width, int height) {
  if (image == nullptr) return nullptr;
  const int w = width > 0 ? width : ImageWidth(image);
  const int h = height > 0 ? height : ImageHeight(image);
  if (w <= 0 || h <= 0) return nullptr;
  // A cut larger than the picture is not possible: keep what there is.
  const int cutWidth = std::min(w, ImageWidth(image));
  const int cutHeight = std::min(h, ImageHeight(image));
  SkinImage copy(image->Clone(0, 0, cutWidth, cutHeight, PixelFormat32bppARGB));
  if (copy && copy->GetLastStatus() != Gdiplus::Ok) copy.reset();
  return copy;
}

bool CreateMenuRowButton(CBitmapBtn& button, HWND parent, int row, const RECT& rect,
                         Gdiplus::Bitmap* const (&faces)[4], std::wstring_view text) {
  if (!button.Create(rect, parent, kMenuRowButtonIdBase + row)) return false;
  button.SetFaces(CopyImage(faces[0]), CopyImage(faces[1]), CopyImage(faces[2]),
                  CopyImage(faces[3]), rect);
  button.SetShowCaption(true);
  button.SetCaptionBox(RECT{0, 0, rect.right - rect.left, rect.bottom - rect.top});
  button.SetCaptionColours(RGB(255, 255, 255), RGB(200, 200, 200), RGB(255, 255, 255));
  button.SetCaption(text, 0, 1);
  return true;
}
