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
                         const ButtonFaces& faces, std::wstring_view text) {
  const ButtonLook look{.caption = CaptionLayout::kBox, .hoverColour = SkinRgb(200, 200, 200)};
  return button.Create(parent, kMenuRowButtonIdBase + row, rect,
                       CBitmapBtn::Setup{faces, look, std::wstring(text)});
}
