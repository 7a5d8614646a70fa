#include "win/gdiplus_session.h"

#include "win/gdiplus_headers.h"

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) m_token = token;
}

GdiplusSession::~GdiplusSession() {
  if (m_token != 0) Gdiplus::GdiplusShutdown(m_token);
}
