#pragma once
// GDI+ for the life of the program: one object in wWinMain, created before and destroyed after
// every GDI+ image or graphics object.
#include <windows.h>

class GdiplusSession {
 public:
  GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  ~GdiplusSession();

  bool Started() const noexcept { return m_token != 0; }

 private:
  ULONG_PTR m_token = 0;
};
