#include "support/window_capture.h"

#include <vector>

#include "skin/png_file.h"
#include "win/gdiplus_headers.h"
#include "win/scoped_select.h"

namespace harness {

bool CaptureWindow(HWND window, WindowCapture& capture) {
  RECT rect{};
  if (!::GetWindowRect(window, &rect)) return false;
  capture.width = rect.right - rect.left;
  capture.height = rect.bottom - rect.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = capture.width;
  info.bmiHeader.biHeight = -capture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  capture.bitmap.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!capture.bitmap || bits == nullptr) return false;
  capture.pixels = static_cast<std::uint32_t*>(bits);
  UniqueMemoryDc memory(::CreateCompatibleDC(nullptr));
  const HDC windowDc = ::GetWindowDC(window);
  bool copied = false;
  if (memory && windowDc != nullptr) {
    ScopedSelect select(memory.get(), capture.bitmap.get());
    copied = select && ::BitBlt(memory.get(), 0, 0, capture.width, capture.height, windowDc, 0, 0,
                                SRCCOPY) != FALSE;
    ::GdiFlush();
  }
  if (windowDc != nullptr) ::ReleaseDC(window, windowDc);
  return copied;
}

bool SaveCaptureAsPng(const WindowCapture& capture, const std::wstring& path, HWND window) {
  UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
  const bool shaped = window != nullptr && ::GetWindowRgn(window, region.get()) > NULLREGION;
  std::vector<std::uint32_t> argb(static_cast<std::size_t>(capture.width) * capture.height);
  for (int y = 0; y < capture.height; ++y) {
    for (int x = 0; x < capture.width; ++x) {
      const bool inside = !shaped || ::PtInRegion(region.get(), x, y);
      argb[y * capture.width + x] = inside ? (capture.At(x, y) | 0xFF000000u) : 0;
    }
  }
  Gdiplus::Bitmap image(capture.width, capture.height, capture.width * 4, PixelFormat32bppARGB,
                        reinterpret_cast<BYTE*>(argb.data()));
  return image.GetLastStatus() == Gdiplus::Ok && SaveImageAsPng(image, path);
}

}  // namespace harness
