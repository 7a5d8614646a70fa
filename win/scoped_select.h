#pragma once
// Selects a GDI object into a device context for the lifetime of the guard and puts the old one
// back. Not for regions (SelectObject returns a region type for those, not an object).
#include <windows.h>

class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) noexcept
      : m_dc(dc), m_old(dc != nullptr && object != nullptr ? ::SelectObject(dc, object) : nullptr) {
    if (m_old == HGDI_ERROR) m_old = nullptr;
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;
  ~ScopedSelect() {
    if (m_old != nullptr) ::SelectObject(m_dc, m_old);
  }

  // Whether the object was selected.
  explicit operator bool() const noexcept { return m_old != nullptr; }

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};
