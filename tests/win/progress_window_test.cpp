// The agent's progress window in this process under Wine: its size and outline from the skin,
// what it paints at each position, that the keyboard cannot close it, what it does without its
// pictures, that it leaves no GDI object behind, and how the agent's progress sink places,
// shows and removes it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "agent/win32/progress_dlg.h"
#include "agent/win32/progress_window_sink.h"
#include "settings/folders.h"
#include "skin/skin_image.h"
#include "support/gdi_object_count.h"
#include "support/process_harness.h"
#include "support/temp_folder.h"
#include "win/application.h"
#include "win/scoped_select.h"
#include "win/subclass.h"
#include "win/text.h"
#include "win/unique_handle.h"
#include "win/window.h"

namespace {

constexpr int kFaceWidth = 360;  // the skin's updatebar pictures
constexpr int kFaceHeight = 36;

void Pump(DWORD milliseconds = 50) {
  harness::PumpMessages(milliseconds);
}

COLORREF WindowPixel(HWND window, int x, int y) {
  const HDC dc = ::GetDC(window);
  const COLORREF colour = ::GetPixel(dc, x, y);
  ::ReleaseDC(window, dc);
  return colour;
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  ScopedSelect select(dc.get(), bitmap);
  return ::GetPixel(dc.get(), x, y);
}

// JPEG pixels are compared with a little room for the screen's colour depth.
bool Near(COLORREF a, COLORREF b) {
  return a != CLR_INVALID && b != CLR_INVALID && std::abs(GetRValue(a) - GetRValue(b)) <= 8 &&
         std::abs(GetGValue(a) - GetGValue(b)) <= 8 && std::abs(GetBValue(a) - GetBValue(b)) <= 8;
}

// A program folder of the test's own holding the progress bar's three skin pictures, taken
// from the built skin beside the test programs.
class ProgressWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    m_folder = ToWide(TempTestFolder(u"vireo_progress_"));
    for (const wchar_t* sub : {L"", L"images\\", L"images\\0409\\", L"images\\0409\\controls\\"}) {
      ::CreateDirectoryW((m_folder + sub).c_str(), nullptr);
    }
    const std::wstring skin = harness::BinFolder() + kSkinControlsFolder;
    for (const wchar_t* file : {kProgressMaskFile, kProgressBackgroundFile, kProgressFillFile}) {
      ASSERT_TRUE(::CopyFileW((skin + file).c_str(), Controls(file).c_str(), FALSE))
          << "the built skin lacks a progress picture (build vireo_skin_files)";
    }
    SetProcessFolders(ToU16(m_folder), ToU16(m_folder));
  }
  void TearDown() override { RemoveTestFolder(m_folder); }

  std::wstring Controls(const wchar_t* file) const { return m_folder + kSkinControlsFolder + file; }
  void Remove(const wchar_t* file) const { ASSERT_TRUE(::DeleteFileW(Controls(file).c_str())); }

  std::wstring m_folder;
};

TEST_F(ProgressWindowTest, TakesItsSizeFromTheFaceAndItsOutlineFromTheMask) {
  CProgressDlg dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  const HWND window = dialog.Hwnd();
  wchar_t title[64] = {};
  ::GetWindowTextW(window, title, 64);
  EXPECT_STREQ(title, L"VireoProgressbar");
  const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_EQ(style & WS_CAPTION, 0);
  EXPECT_EQ(style & WS_VISIBLE, 0) << "shown only by its owner";
  EXPECT_TRUE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

  EXPECT_EQ(dialog.Width(), kFaceWidth);
  EXPECT_EQ(dialog.Height(), kFaceHeight);
  RECT rect{};
  ::GetWindowRect(window, &rect);
  EXPECT_EQ(rect.right - rect.left, kFaceWidth);
  EXPECT_EQ(rect.bottom - rect.top, kFaceHeight);

  // The bar is the only child and covers the whole window.
  const HWND bar = ::GetWindow(window, GW_CHILD);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(::GetWindow(bar, GW_HWNDNEXT), nullptr);
  ::GetWindowRect(bar, &rect);
  ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, kFaceWidth);
  EXPECT_EQ(rect.bottom, kFaceHeight);

  // Rounded ends: the corners are cut away, the middle stays.
  EXPECT_TRUE(dialog.Shaped());
  UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(::GetWindowRgn(window, region.get()), COMPLEXREGION);
  EXPECT_FALSE(::PtInRegion(region.get(), 0, 0));
  EXPECT_FALSE(::PtInRegion(region.get(), kFaceWidth - 1, kFaceHeight - 1));
  EXPECT_TRUE(::PtInRegion(region.get(), kFaceWidth / 2, kFaceHeight / 2));
  EXPECT_TRUE(::PtInRegion(region.get(), kFaceHeight / 2, kFaceHeight / 2));
}

TEST_F(ProgressWindowTest, EachPositionIsOnTheScreenWhenSetPosReturns) {
  UniqueBitmap face;
  UniqueBitmap fill;
  ASSERT_GT(LoadPictureBitmap(Controls(kProgressBackgroundFile), face).width, 0);
  ASSERT_GT(LoadPictureBitmap(Controls(kProgressFillFile), fill).width, 0);
  CProgressDlg dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  const HWND window = dialog.Hwnd();
  ::SetWindowPos(window, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Pump();

  // Points a quarter and three quarters along the bar, on its middle line.
  const int y = kFaceHeight / 2;
  const int quarter = kFaceWidth / 4;
  const int threeQuarters = 3 * kFaceWidth / 4;
  ASSERT_FALSE(Near(BitmapPixel(face.get(), quarter, y), BitmapPixel(fill.get(), quarter, y)))
      << "face and fill must differ where they are compared";
  const auto showsFill = [&](int x) {
    return Near(WindowPixel(window, x, y), BitmapPixel(fill.get(), x, y));
  };
  const auto showsFace = [&](int x) {
    return Near(WindowPixel(window, x, y), BitmapPixel(face.get(), x, y));
  };

  // No message is handled between a position and its check: each paints by itself.
  struct Step {
    int set;
    int shown;
    bool quarterFilled;
    bool threeQuartersFilled;
  };
  for (const Step& step :
       {Step{0, 0, false, false}, Step{50, 50, true, false}, Step{100, 100, true, true},
        Step{101, 0, false, false}, Step{70, 70, true, false}, Step{-1, 0, false, false},
        Step{80, 80, true, true}}) {
    SCOPED_TRACE(step.set);
    dialog.SetPos(step.set);
    EXPECT_EQ(dialog.Pos(), step.shown);
    EXPECT_EQ(showsFill(quarter), step.quarterFilled);
    EXPECT_EQ(showsFace(quarter), !step.quarterFilled);
    EXPECT_EQ(showsFill(threeQuarters), step.threeQuartersFilled);
    EXPECT_EQ(showsFace(threeQuarters), !step.threeQuartersFilled);
  }
}

// The agent's loop, where the application sees each message before it is dispatched, for a
// while.
void RunLoopFor(Application& app, UINT milliseconds) {
  const UINT_PTR timer = ::SetTimer(nullptr, 0, milliseconds,
                                    [](HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(0); });
  ASSERT_NE(timer, 0u);
  EXPECT_EQ(app.Run(), 0);
  ::KillTimer(nullptr, timer);
}

TEST_F(ProgressWindowTest, EscapeEnterOkCancelAndCloseLeaveItOpen) {
  Application app;
  ASSERT_EQ(Application::Instance(), &app);
  CProgressDlg dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  const HWND window = dialog.Hwnd();
  const HWND bar = ::GetWindow(window, GW_CHILD);
  ::ShowWindow(window, SW_SHOW);
  ::SetForegroundWindow(window);
  ::SetFocus(bar);
  int commands = 0;
  Subclass watch;
  ASSERT_TRUE(watch.Install(window, [&](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT&) {
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
      ++commands;
    }
    return false;
  }));

  // The keys never become OK or Cancel: they are swallowed before the dialog manager sees them.
  for (HWND target : {window, bar}) {
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
      ::PostMessageW(target, WM_KEYDOWN, key, 1);
      ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    }
  }
  RunLoopFor(app, 300);
  EXPECT_EQ(commands, 0);
  EXPECT_TRUE(::IsWindow(window));

  // OK, Cancel and Close from elsewhere do not end it either.
  ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  RunLoopFor(app, 300);
  EXPECT_GE(commands, 2);
  EXPECT_TRUE(::IsWindow(window));
  EXPECT_EQ(dialog.Hwnd(), window);
  EXPECT_TRUE(::IsWindowVisible(window));
  EXPECT_EQ(dialog.Result(), -1);
}

TEST_F(ProgressWindowTest, WithoutTheMaskTheWindowIsARectangle) {
  Remove(kProgressMaskFile);
  CProgressDlg dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  EXPECT_FALSE(dialog.Shaped());
  UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(::GetWindowRgn(dialog.Hwnd(), region.get()), ERROR) << "no region at all";
  EXPECT_EQ(dialog.Width(), kFaceWidth);
  EXPECT_EQ(dialog.Height(), kFaceHeight);
}

TEST_F(ProgressWindowTest, WithoutTheFaceItKeepsTheTemplateSizeAndStillWorks) {
  Remove(kProgressBackgroundFile);
  CProgressDlg dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  RECT templateSize{0, 0, 316, 28};
  ASSERT_TRUE(::MapDialogRect(dialog.Hwnd(), &templateSize));
  EXPECT_EQ(dialog.Width(), templateSize.right);
  EXPECT_EQ(dialog.Height(), templateSize.bottom);
  RECT client{};
  ::GetClientRect(dialog.Hwnd(), &client);
  EXPECT_EQ(client.right, dialog.Width());
  EXPECT_EQ(client.bottom, dialog.Height());
  ::ShowWindow(dialog.Hwnd(), SW_SHOWNA);
  dialog.SetPos(60);
  EXPECT_EQ(dialog.Pos(), 60);
}

TEST_F(ProgressWindowTest, NoPicturesAtAllGiveAPlainWorkingWindow) {
  for (const wchar_t* file : {kProgressMaskFile, kProgressBackgroundFile, kProgressFillFile}) {
    Remove(file);
  }
  CProgressDlg dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  EXPECT_FALSE(dialog.Shaped());
  EXPECT_GT(dialog.Width(), 0);
  EXPECT_GT(dialog.Height(), 0);
  ::ShowWindow(dialog.Hwnd(), SW_SHOWNA);
  dialog.SetPos(100);
  Pump();
  EXPECT_EQ(dialog.Pos(), 100);
}

TEST_F(ProgressWindowTest, CreatingAndDestroyingLeavesNoGdiObject) {
  const auto cycle = [] {
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    ::ShowWindow(dialog.Hwnd(), SW_SHOWNA);
    for (int percent : {0, 5, 30, 100}) dialog.SetPos(percent);
    Pump(5);
  };
  for (int i = 0; i < 3; ++i) cycle();  // caches made once
  const DWORD before = GdiObjectCount();
  ASSERT_NE(before, 0u) << "GDI objects cannot be counted here";
  for (int i = 0; i < 30; ++i) cycle();
  EXPECT_EQ(GdiObjectCount(), before);
}

TEST_F(ProgressWindowTest, TheSinkShowsOneCentredWindowInFrontAndRemovesIt) {
  Window owner;  // stands in for the agent window
  ASSERT_TRUE(owner.Create(0, L"owner", WS_POPUP, 100, 100, 100, 100));
  ProgressWindowSink sink(owner);
  EXPECT_EQ(sink.ProgressWindow(), nullptr);
  sink.SetPercent(50);  // nothing open: nothing happens

  sink.Open();
  const HWND window = ::FindWindowW(nullptr, L"VireoProgressbar");
  ASSERT_NE(window, nullptr);
  ASSERT_NE(sink.ProgressWindow(), nullptr);
  EXPECT_EQ(sink.ProgressWindow()->Hwnd(), window);
  EXPECT_EQ(sink.ProgressWindow()->Pos(), 0);
  EXPECT_TRUE(::IsWindowVisible(window));
  EXPECT_EQ(::GetWindow(window, GW_OWNER), owner.Hwnd());
  EXPECT_EQ(::GetForegroundWindow(), window);
  RECT rect{};
  ::GetWindowRect(window, &rect);
  EXPECT_EQ(rect.right - rect.left, kFaceWidth);
  EXPECT_EQ(rect.bottom - rect.top, kFaceHeight);
  EXPECT_EQ(rect.left, (::GetSystemMetrics(SM_CXSCREEN) - kFaceWidth) / 2);
  EXPECT_EQ(rect.top, (::GetSystemMetrics(SM_CYSCREEN) - kFaceHeight) / 2);

  sink.SetPercent(40);
  EXPECT_EQ(sink.ProgressWindow()->Pos(), 40);
  sink.SetPercent(250);
  EXPECT_EQ(sink.ProgressWindow()->Pos(), 0);

  // A second write while one window is open still shows only one.
  sink.Open();
  EXPECT_EQ(harness::CountWindows(L"VireoProgressbar"), 1);
  EXPECT_FALSE(::IsWindow(window));

  sink.Close();
  EXPECT_EQ(sink.ProgressWindow(), nullptr);
  EXPECT_EQ(::FindWindowW(nullptr, L"VireoProgressbar"), nullptr);
  sink.Close();  // twice is harmless
  sink.SetPercent(10);
  EXPECT_TRUE(::IsWindow(owner.Hwnd()));
}

}  // namespace
