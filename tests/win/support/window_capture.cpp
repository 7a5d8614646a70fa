#include "support/window_capture.h"

#include <vector>

#include "skin/png_file.h"
#include "win/gdiplus_headers.h"
#include "win/scoped_select.h"

namespace harness {

namespace {

// Copies width x height pixels at (x, y) of `source` into a new picture.
bool CaptureFrom(HDC source, int x, int y, int width, int height, WindowCapture& capture) {
  capture.width = width;
  capture.height = height;
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
  bool copied = false;
  if (memory && source != nullptr) {
    ScopedSelect select(memory.get(), capture.bitmap.get());
    copied = select && ::BitBlt(memory.get(), 0, 0, capture.width, capture.height, source, x, y,
                                SRCCOPY) != FALSE;
    ::GdiFlush();
  }
  return copied;
}

}  // namespace

bool CaptureWindow(HWND window, WindowCapture& capture) {
  RECT rect{};
  if (!::GetWindowRect(window, &rect)) return false;
  const HDC windowDc = ::GetWindowDC(window);
  const bool copied =
      CaptureFrom(windowDc, 0, 0, rect.right - rect.left, rect.bottom - rect.top, capture);
  if (windowDc != nullptr) ::ReleaseDC(window, windowDc);
  return copied;
}

bool CaptureScreenArea(const RECT& area, WindowCapture& capture) {
  const HDC screen = ::GetDC(nullptr);
  const bool copied = CaptureFrom(screen, area.left, area.top, area.right - area.left,
                                  area.bottom - area.top, capture);
  if (screen != nullptr) ::ReleaseDC(nullptr, screen);
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
