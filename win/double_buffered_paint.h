#pragma once
// Replaces BeginPaint/EndPaint in a WM_PAINT handler: everything is drawn into a 32-bit top-down
// DIB the size of the client area (so GDI+ can blend PNG alpha into it) and copied to the window
// in one blit when the object goes. The buffer starts black; draw the whole area. Windows
// painted this way answer WM_ERASEBKGND with TRUE.
//
//   void OnPaint() {
//     DoubleBufferedPaint paint(Hwnd());
//     FillRect(paint.Dc(), &paint.ClientRect(), brush);
//   }
#include <windows.h>

#include "win/scoped_select.h"
#include "win/unique_handle.h"

class DoubleBufferedPaint {
 public:
  explicit DoubleBufferedPaint(HWND window);
  DoubleBufferedPaint(const DoubleBufferedPaint&) = delete;
  DoubleBufferedPaint& operator=(const DoubleBufferedPaint&) = delete;
  ~DoubleBufferedPaint();

  // Where to draw: the buffer, or the window's own paint DC when no buffer could be made.
  HDC Dc() const noexcept { return m_bitmap ? m_memoryDc.get() : m_scope.paint.hdc; }
  bool Buffered() const noexcept { return static_cast<bool>(m_bitmap); }
  const RECT& ClientRect() const noexcept { return m_client; }
  const RECT& PaintRect() const noexcept { return m_scope.paint.rcPaint; }
  // The buffer's pixels (BGRA, top row first), null when unbuffered.
  void* Bits() const noexcept { return m_bits; }

 private:
  // BeginPaint/EndPaint; declared first so EndPaint comes last.
  struct PaintScope {
    explicit PaintScope(HWND window) noexcept;
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope();
    HWND window;
    PAINTSTRUCT paint{};
  };

  PaintScope m_scope;
  RECT m_client{};
  void* m_bits = nullptr;
  UniqueMemoryDc m_memoryDc;
  UniqueBitmap m_bitmap;
  ScopedSelect m_select;  // destroyed first: the bitmap leaves the DC before either is deleted
};
