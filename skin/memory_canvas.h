#pragma once
// An off-screen 32-bit picture to draw a control into before one copy to the screen, so a
// control never flickers through its background. The DC and bitmap go with the object.
#include <windows.h>

#include "win/scoped_select.h"
#include "win/unique_handle.h"

class MemoryCanvas {
 public:
  // `reference` is the DC the picture will be copied to.
  MemoryCanvas(HDC reference, int width, int height);
  MemoryCanvas(const MemoryCanvas&) = delete;
  MemoryCanvas& operator=(const MemoryCanvas&) = delete;

  explicit operator bool() const noexcept { return static_cast<bool>(m_select); }
  HDC Dc() const noexcept { return m_dc.get(); }
  int Width() const noexcept { return m_width; }
  int Height() const noexcept { return m_height; }

  // Copies the whole picture to (x, y) of `target`.
  void CopyTo(HDC target, int x = 0, int y = 0) const noexcept;

 private:
  int m_width;
  int m_height;
  UniqueMemoryDc m_dc;
  UniqueBitmap m_bitmap;
  ScopedSelect m_select;  // declared last: deselects before the bitmap and DC are deleted
};
