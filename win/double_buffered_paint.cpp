#include "win/double_buffered_paint.h"

namespace {

RECT ClientRectOf(HWND window) {
  RECT rect{};
  ::GetClientRect(window, &rect);
  return rect;
}

HBITMAP CreateTopDownDib(HDC reference, const RECT& rect, void** bits) {
  const LONG width = rect.right - rect.left;
  const LONG height = rect.bottom - rect.top;
  if (reference == nullptr || width <= 0 || height <= 0) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return ::CreateDIBSection(reference, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

HDC CreateMemoryDc(HDC reference) {
  return reference != nullptr ? ::CreateCompatibleDC(reference) : nullptr;
}

}  // namespace

DoubleBufferedPaint::PaintScope::PaintScope(HWND paintedWindow) noexcept : window(paintedWindow) {
  ::BeginPaint(window, &paint);
}

DoubleBufferedPaint::PaintScope::~PaintScope() {
  ::EndPaint(window, &paint);
}

DoubleBufferedPaint::DoubleBufferedPaint(HWND window)
    : m_scope(window),
      m_client(ClientRectOf(window)),
      m_memoryDc(CreateMemoryDc(m_scope.paint.hdc)),
      m_bitmap(m_memoryDc ? CreateTopDownDib(m_scope.paint.hdc, m_client, &m_bits) : nullptr),
      m_select(m_memoryDc.get(), m_bitmap.get()) {
  if (!m_select) {
    m_bitmap.reset();
    m_bits = nullptr;
  }
}

DoubleBufferedPaint::~DoubleBufferedPaint() {
  if (!m_bitmap) return;
  ::GdiFlush();
  const RECT& area = m_scope.paint.rcPaint;
  ::BitBlt(m_scope.paint.hdc, area.left, area.top, area.right - area.left, area.bottom - area.top,
           m_memoryDc.get(), area.left, area.top, SRCCOPY);
}
