#include "skin/png_file.h"

#include <vector>

#include "win/scoped_select.h"
#include "win/unique_handle.h"

namespace {

bool PngEncoder(CLSID& clsid) {
  UINT count = 0;
  UINT bytes = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
  std::vector<BYTE> buffer(bytes);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, bytes, encoders) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (encoders[i].MimeType != nullptr && wcscmp(encoders[i].MimeType, L"image/png") == 0) {
      clsid = encoders[i].Clsid;
      return true;
    }
  }
  return false;
}

}  // namespace

bool SaveImageAsPng(Gdiplus::Image& image, const std::wstring& path) {
  CLSID clsid{};
  return PngEncoder(clsid) && image.Save(path.c_str(), &clsid, nullptr) == Gdiplus::Ok;
}

HBITMAP CaptureScreen(const RECT& screenRect) {
  const int width = screenRect.right - screenRect.left;
  const int height = screenRect.bottom - screenRect.top;
  if (width <= 0 || height <= 0) return nullptr;
  HDC screen = ::GetDC(nullptr);
  if (screen == nullptr) return nullptr;
  UniqueBitmap bitmap(::CreateCompatibleBitmap(screen, width, height));
  UniqueMemoryDc memory(::CreateCompatibleDC(screen));
  bool copied = false;
  if (bitmap && memory) {
    ScopedSelect select(memory.get(), bitmap.get());
    copied = select && ::BitBlt(memory.get(), 0, 0, width, height, screen, screenRect.left,
                                screenRect.top, SRCCOPY | CAPTUREBLT);
  }
  ::ReleaseDC(nullptr, screen);
  return copied ? bitmap.release() : nullptr;
}

HBITMAP PrintWindowBitmap(HWND window) {
  RECT rect{};
  if (window == nullptr || !::GetWindowRect(window, &rect)) return nullptr;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return nullptr;
  HDC screen = ::GetDC(nullptr);
  if (screen == nullptr) return nullptr;
  UniqueBitmap bitmap(::CreateCompatibleBitmap(screen, width, height));
  UniqueMemoryDc memory(::CreateCompatibleDC(screen));
  ::ReleaseDC(nullptr, screen);
  if (!bitmap || !memory) return nullptr;
  bool printed = false;
  {
    ScopedSelect select(memory.get(), bitmap.get());
    printed = select && ::PrintWindow(window, memory.get(), 0);
  }
  return printed ? bitmap.release() : nullptr;
}
