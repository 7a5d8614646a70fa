#include "skin/memory_canvas.h"

namespace {

HBITMAP CreateCanvasBitmap(HDC reference, int width, int height) {
  if (reference == nullptr || width <= 0 || height <= 0) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  return ::CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

}  // namespace

MemoryCanvas::MemoryCanvas(HDC reference, int width, int height)
    : m_width(width),
      m_height(height),
      m_dc(reference != nullptr ? ::CreateCompatibleDC(reference) : nullptr),
      m_bitmap(m_dc ? CreateCanvasBitmap(reference, width, height) : nullptr),
      m_select(m_dc.get(), m_bitmap.get()) {}

void MemoryCanvas::CopyTo(HDC target, int x, int y) const noexcept {
  if (!*this || target == nullptr) return;
  ::GdiFlush();
  ::BitBlt(target, x, y, m_width, m_height, m_dc.get(), 0, 0, SRCCOPY);
}
