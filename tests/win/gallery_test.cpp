// The control gallery as a person sees it: the program is started, its skinned window is found
// on the screen, and a screenshot of it is saved beside the programs (gallery.png) and checked
// for a real picture.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <set>
#include <string>

#include "skin/png_file.h"
#include "support/process_harness.h"
#include "win/gdiplus_headers.h"
#include "win/gdiplus_session.h"
#include "win/unique_handle.h"

namespace {

constexpr wchar_t kTitle[] = L"Vireo control gallery";

// Distinct colours on a grid of sample points, and how many points are plain black.
struct ColourCount {
  size_t distinct = 0;
  int black = 0;
  int samples = 0;
};

ColourCount CountColours(HBITMAP bitmap, int width, int height) {
  ColourCount count;
  HDC memory = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  std::set<COLORREF> colours;
  for (int y = 0; y < height; y += 4) {
    for (int x = 0; x < width; x += 4) {
      const COLORREF c = ::GetPixel(memory, x, y);
      colours.insert(c);
      count.black += c == 0 ? 1 : 0;
      ++count.samples;
    }
  }
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  count.distinct = colours.size();
  return count;
}

TEST(Gallery, ShowsEveryControlInASkinnedWindowAndEndsOnClose) {
  GdiplusSession gdiplus;
  ASSERT_TRUE(gdiplus.Started());
  harness::Process gallery(harness::BinFolder() + L"gallery.exe", L"--seconds 60");
  ASSERT_TRUE(gallery.Started());
  const HWND window = harness::WaitForReadyWindow(kTitle, 20000);
  ASSERT_NE(window, nullptr);
  // Let it paint, open its menu and the menu's cascade.
  harness::PumpMessages(1500);

  // Shaped by the skin's mask: the outline's corners are cut away.
  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(::GetWindowRgn(window, region), ERROR);
  EXPECT_FALSE(::PtInRegion(region, 0, 0));
  EXPECT_TRUE(::PtInRegion(region, 300, 300));
  ::DeleteObject(region);

  RECT rect{};
  ASSERT_TRUE(::GetWindowRect(window, &rect));
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  // The screen as shown (the menu lies over the window); the window's own print when there is
  // no screen to read.
  UniqueBitmap shot(CaptureScreen(rect));
  ColourCount colours = shot ? CountColours(shot.get(), width, height) : ColourCount{};
  if (colours.distinct < 2) {
    shot.reset(PrintWindowBitmap(window));
    ASSERT_TRUE(shot);
    colours = CountColours(shot.get(), width, height);
  }
  if (colours.distinct < 2 && ::GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) == 0) {
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    GTEST_SKIP() << "no screen to take a picture from (DISPLAY is not set)";
  }

  std::unique_ptr<Gdiplus::Bitmap> picture(Gdiplus::Bitmap::FromHBITMAP(shot.get(), nullptr));
  ASSERT_TRUE(picture);
  const std::wstring path = harness::BinFolder() + L"gallery.png";
  EXPECT_TRUE(SaveImageAsPng(*picture, path)) << "could not write the screenshot";
  picture.reset();

  // A real picture: many colours (faces, texts, highlights), mostly not black.
  EXPECT_GE(colours.distinct, 40u);
  EXPECT_LT(colours.black * 2, colours.samples);

  ::PostMessageW(window, WM_CLOSE, 0, 0);
  DWORD exitCode = 1;
  EXPECT_TRUE(gallery.WaitExit(10000, &exitCode));
  EXPECT_EQ(exitCode, 0u);
}

}  // namespace
