// The skin access functions and the image-based controls with real windows and real messages
// under Wine: images and window outlines, image buttons, sliders, the coloured edit, the
// transparent label and the fill bar. Test pictures are made here with GDI+, in distinct
// colours, so which face or image a control drew can be read back from its pixels.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings/folders.h"
#include "skin/bitmap_btn.h"
#include "skin/clr_edit.h"
#include "skin/d_marker.h"
#include "skin/png_h_slider_bar.h"
#include "skin/png_slider_bar.h"
#include "skin/skin_image.h"
#include "skin/skinned_dialog.h"
#include "skin/static_trans.h"
#include "support/gdi_object_count.h"
#include "support/temp_folder.h"
#include "win/gdiplus_headers.h"
#include "win/gdiplus_session.h"
#include "win/scoped_select.h"
#include "win/text.h"
#include "win/unique_handle.h"
#include "win/window.h"

namespace {

// ---------------------------------------------------------------- environment and helpers

std::wstring g_folder;  // the program folder of these tests, ending in '\'
class HostWindow;
void DestroyHost();

class SkinEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    m_session = std::make_unique<GdiplusSession>();
    g_folder = ToWide(TempTestFolder(u"vireo_skin_"));
    ::CreateDirectoryW(g_folder.c_str(), nullptr);
    for (const wchar_t* sub : {L"images\\", L"images\\0409\\", L"images\\0409\\buttons\\",
                               L"images\\0409\\controls\\", L"images\\0409\\background\\"}) {
      ::CreateDirectoryW((g_folder + sub).c_str(), nullptr);
    }
    SetProcessFolders(ToU16(g_folder), ToU16(g_folder));
  }
  void TearDown() override {
    DestroyHost();
    m_session.reset();
    RemoveTestFolder(g_folder);
  }

 private:
  std::unique_ptr<GdiplusSession> m_session;
};

[[maybe_unused]] testing::Environment* const g_environment =
    testing::AddGlobalTestEnvironment(new SkinEnvironment);

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  MSG msg{};
  for (;;) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (::GetTickCount64() > end) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void Pump() {
  PumpUntil([] { return false; }, 50);
}

CLSID EncoderClsid(const wchar_t* mimeType) {
  UINT count = 0;
  UINT size = 0;
  Gdiplus::GetImageEncodersSize(&count, &size);
  std::vector<std::uint8_t> buffer(size);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  Gdiplus::GetImageEncoders(count, size, encoders);
  for (UINT i = 0; i < count; ++i) {
    if (std::wcscmp(encoders[i].MimeType, mimeType) == 0) return encoders[i].Clsid;
  }
  ADD_FAILURE() << "no encoder for " << ToU16(mimeType).size();
  return {};
}

// Saves a picture drawn by `draw` on a width x height canvas (starting transparent).
void SavePicture(const std::wstring& path, int width, int height, const wchar_t* mimeType,
                 const std::function<void(Gdiplus::Bitmap&)>& draw) {
  Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
  draw(bitmap);
  const CLSID clsid = EncoderClsid(mimeType);
  ASSERT_EQ(bitmap.Save(path.c_str(), &clsid, nullptr), Gdiplus::Ok);
}

void SaveSolidPng(const std::wstring& path, COLORREF colour, int width = 16, int height = 16) {
  SavePicture(path, width, height, L"image/png", [&](Gdiplus::Bitmap& bitmap) {
    Gdiplus::Graphics graphics(&bitmap);
    graphics.Clear(Gdiplus::Color(255, GetRValue(colour), GetGValue(colour), GetBValue(colour)));
  });
}

// A mask picture: black where `opaque` holds, white elsewhere.
void SaveMask(const std::wstring& path, int width, int height, const wchar_t* mimeType,
              const std::function<bool(int, int)>& opaque) {
  SavePicture(path, width, height, mimeType, [&](Gdiplus::Bitmap& bitmap) {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        bitmap.SetPixel(
            x, y, opaque(x, y) ? Gdiplus::Color(255, 0, 0, 0) : Gdiplus::Color(255, 255, 255, 255));
      }
    }
  });
}

std::wstring ButtonsPath(const wchar_t* file) {
  return g_folder + L"images\\0409\\buttons\\" + file;
}
std::wstring ControlsPath(const wchar_t* file) {
  return g_folder + L"images\\0409\\controls\\" + file;
}

// What a window shows: its client area painted now and read back from its own DC.
class Snapshot {
 public:
  explicit Snapshot(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    ::UpdateWindow(window);
    RECT client{};
    ::GetClientRect(window, &client);
    m_width = client.right;
    m_height = client.bottom;
    m_pixels.assign(static_cast<std::size_t>(m_width) * m_height, 0);
    HDC dc = ::GetDC(window);
    UniqueMemoryDc memory(::CreateCompatibleDC(dc));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueBitmap dib(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (dib && bits != nullptr) {
      HGDIOBJ old = ::SelectObject(memory.get(), dib.get());
      ::BitBlt(memory.get(), 0, 0, m_width, m_height, dc, 0, 0, SRCCOPY);
      ::GdiFlush();
      std::memcpy(m_pixels.data(), bits, m_pixels.size() * 4);
      ::SelectObject(memory.get(), old);
    }
    ::ReleaseDC(window, dc);
  }
  // The colour at (x, y) as a COLORREF.
  COLORREF At(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
    const std::uint32_t p = m_pixels[static_cast<std::size_t>(y) * m_width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int Count(const std::function<bool(COLORREF)>& match, RECT area) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) count += match(At(x, y)) ? 1 : 0;
    }
    return count;
  }
  int Width() const { return m_width; }
  int Height() const { return m_height; }

 private:
  int m_width = 0;
  int m_height = 0;
  std::vector<std::uint32_t> m_pixels;
};

// A 32-bit memory picture to draw into, like the ones the controls draw into.
struct MemoryDcAndBitmap {
  static HBITMAP Dib(HDC screen, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    return ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  }
  MemoryDcAndBitmap(int width, int height)
      : rect{0, 0, width, height},
        screen(::GetDC(nullptr)),
        memory(::CreateCompatibleDC(screen)),
        bitmap(Dib(screen, width, height)),
        select(memory.get(), bitmap.get()),
        dc(memory.get()) {}
  ~MemoryDcAndBitmap() { ::ReleaseDC(nullptr, screen); }
  RECT rect;
  HDC screen;
  UniqueMemoryDc memory;
  UniqueBitmap bitmap;
  ScopedSelect select;
  HDC dc;
};

bool Near(COLORREF a, COLORREF b, int tolerance = 8) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
         std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// The count moves by exactly the objects made and deleted.
bool CountingWorks() {
  const DWORD before = GdiObjectCount();
  std::vector<UniqueBrush> brushes;
  for (int i = 0; i < 10; ++i) brushes.emplace_back(::CreateSolidBrush(RGB(i, 1, 2)));
  const DWORD during = GdiObjectCount();
  brushes.clear();
  const DWORD after = GdiObjectCount();
  return before != 0 && during == before + 10 && after == before;
}

// ---------------------------------------------------------------- the host window

struct Posted {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// A parent window of ours (so draw-item and colour requests reach the controls) with a flat
// background, recording the notifications the controls send and post.
class HostWindow : public Window {
 public:
  static constexpr COLORREF kBackground = RGB(30, 90, 40);

  std::vector<Posted> received;

  bool Open(int width = 400, int height = 300) {
    if (!Create(0, L"skin controls", WS_POPUP | WS_VISIBLE, 50, 50, width, height)) return false;
    Activate();
    return true;
  }
  void Activate() {
    ::SetForegroundWindow(Hwnd());
    ::SetActiveWindow(Hwnd());
    Pump();
  }
  std::vector<Posted> Of(UINT message) const {
    std::vector<Posted> matches;
    for (const Posted& p : received) {
      if (p.message == message) matches.push_back(p);
    }
    return matches;
  }

 protected:
  const wchar_t* ClassName() const override { return L"VireoSkinTestHost"; }
  void PrepareClass(WNDCLASSEXW& windowClass) const override {
    static HBRUSH brush = ::CreateSolidBrush(kBackground);
    windowClass.hbrBackground = brush;
  }

 private:
  // Records clicks (then lets them go on, as an owner that ignores them would) and the
  // controls' private messages 0x1402-0x1513.
  bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message == WM_COMMAND) received.push_back({message, wParam, lParam});
    if (message >= 0x1400 && message <= 0x1520) {
      received.push_back({message, wParam, lParam});
      result = 0;
      return true;
    }
    return Window::ProcessMessage(message, wParam, lParam, result);
  }
};

// One host for all tests: Wine takes two seconds to destroy an activated top-level window when
// no window manager answers, so it lives until the end of the program.
std::unique_ptr<HostWindow> g_host;

HostWindow& Host() {
  if (!g_host) {
    g_host = std::make_unique<HostWindow>();
    EXPECT_TRUE(g_host->Open());
  }
  return *g_host;
}

void DestroyHost() {
  g_host.reset();
}

// The host, active, with nothing received yet.
HostWindow& FreshHost() {
  HostWindow& host = Host();
  Pump();
  host.received.clear();
  ::ShowWindow(host.Hwnd(), SW_SHOW);
  if (::GetActiveWindow() != host.Hwnd()) host.Activate();
  return host;
}

// ---------------------------------------------------------------- skin images and regions

TEST(SkinImage, LoadsDrawsAndSurvivesMissingOrBrokenFiles) {
  SaveSolidPng(ControlsPath(L"red.png"), RGB(220, 0, 0), 12, 7);
  SkinImage red = LoadSkinImage(kSkinControlsFolder, L"red.png");
  ASSERT_TRUE(red);
  EXPECT_EQ(ImageWidth(red.get()), 12);
  EXPECT_EQ(ImageHeight(red.get()), 7);
  EXPECT_EQ(SkinPath(kSkinControlsFolder, L"red.png"), ControlsPath(L"red.png"));
  // A window takes its size from the header before the picture is decoded.
  EXPECT_EQ(PngFileSize(ControlsPath(L"red.png")).width, 12);
  EXPECT_EQ(PngFileSize(ControlsPath(L"red.png")).height, 7);

  // Missing and undecodable files give no image; drawing nothing is harmless.
  EXPECT_FALSE(LoadSkinImage(kSkinControlsFolder, L"absent.png"));
  {
    UniqueKernelHandle file(::CreateFileW(ControlsPath(L"broken.png").c_str(), GENERIC_WRITE, 0,
                                          nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(file.get(), "\x89PNG garbage", 12, &written, nullptr);
  }
  EXPECT_FALSE(LoadSkinImage(kSkinControlsFolder, L"broken.png"));
  EXPECT_EQ(ImageWidth(nullptr), 0);
  EXPECT_EQ(PngFileSize(ControlsPath(L"broken.png")).width, 0);
  EXPECT_EQ(PngFileSize(ControlsPath(L"absent.png")).width, 0);

  // Drawn stretched into the rectangle, and nothing for an empty image.
  MemoryDcAndBitmap canvas(40, 20);
  ::FillRect(canvas.dc, &canvas.rect, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  DrawSkinImage(canvas.dc, red.get(), 10, 5, 20, 10);
  DrawSkinImage(canvas.dc, nullptr, 0, 0, 40, 20);
  // (Within a pixel: Wine's GDI+ may leave the first column of a stretched image empty.)
  EXPECT_TRUE(Near(::GetPixel(canvas.dc, 11, 6), RGB(220, 0, 0)));
  EXPECT_TRUE(Near(::GetPixel(canvas.dc, 28, 13), RGB(220, 0, 0)));
  EXPECT_TRUE(Near(::GetPixel(canvas.dc, 20, 14), RGB(220, 0, 0)));
  EXPECT_EQ(::GetPixel(canvas.dc, 8, 5), RGB(0, 0, 0));
  EXPECT_EQ(::GetPixel(canvas.dc, 20, 3), RGB(0, 0, 0));
  EXPECT_EQ(::GetPixel(canvas.dc, 31, 10), RGB(0, 0, 0));
  EXPECT_EQ(::GetPixel(canvas.dc, 20, 16), RGB(0, 0, 0));
}

TEST(SkinImage, PictureLoaderReadsBmpAndJpegAndReplacesTheOldBitmap) {
  const std::wstring bmp = ControlsPath(L"mask.bmp");
  const std::wstring jpg = ControlsPath(L"bar.jpg");
  SaveMask(bmp, 30, 11, L"image/bmp", [](int x, int) { return x < 10; });
  SaveMask(jpg, 64, 9, L"image/jpeg", [](int, int) { return true; });

  UniqueBitmap bitmap;
  const PictureSize first = LoadPictureBitmap(bmp, bitmap);
  EXPECT_EQ(first.width, 30);
  EXPECT_EQ(first.height, 11);
  ASSERT_TRUE(bitmap);
  const HBITMAP old = bitmap.get();

  const PictureSize second = LoadPictureBitmap(jpg, bitmap);
  EXPECT_EQ(second.width, 64);
  EXPECT_EQ(second.height, 9);
  ASSERT_TRUE(bitmap);
  EXPECT_NE(bitmap.get(), old);
  EXPECT_EQ(::GetObjectType(old), 0u) << "the previous bitmap was not deleted";

  // A missing file leaves nothing behind and reports no size.
  const HBITMAP jpegBitmap = bitmap.get();
  const PictureSize missing = LoadPictureBitmap(ControlsPath(L"absent.bmp"), bitmap);
  EXPECT_EQ(missing.width, 0);
  EXPECT_EQ(missing.height, 0);
  EXPECT_FALSE(bitmap);
  EXPECT_EQ(::GetObjectType(jpegBitmap), 0u);
}

UniqueRegion RegionOfMask(const wchar_t* name, int width, int height,
                          const std::function<bool(int, int)>& opaque) {
  const std::wstring path = ControlsPath(name);
  SaveMask(path, width, height, L"image/bmp", opaque);
  UniqueBitmap mask;
  EXPECT_EQ(LoadPictureBitmap(path, mask).width, width);
  return RegionFromBitmap(mask.get(), RGB(255, 255, 255), 0);
}

TEST(SkinImage, RegionOfAMaskWithWhiteCorners) {
  UniqueRegion region = RegionOfMask(L"corners.bmp", 20, 10, [](int x, int y) {
    return !((x == 0 || x == 19) && (y == 0 || y == 9));
  });
  ASSERT_TRUE(region);
  UniqueRegion expected(::CreateRectRgn(0, 0, 20, 10));
  for (POINT corner : {POINT{0, 0}, POINT{19, 0}, POINT{0, 9}, POINT{19, 9}}) {
    UniqueRegion pixel(::CreateRectRgn(corner.x, corner.y, corner.x + 1, corner.y + 1));
    ::CombineRgn(expected.get(), expected.get(), pixel.get(), RGN_DIFF);
  }
  EXPECT_TRUE(::EqualRgn(region.get(), expected.get()));
  EXPECT_FALSE(::PtInRegion(region.get(), 0, 0));
  EXPECT_TRUE(::PtInRegion(region.get(), 1, 0));
}

TEST(SkinImage, CheckerboardWithMoreThanOneBatchOfRuns) {
  // 100 x 100 checkerboard: 5000 runs, more than two batches.
  const auto opaque = [](int x, int y) { return (x + y) % 2 == 0; };
  UniqueRegion region = RegionOfMask(L"checker.bmp", 100, 100, opaque);
  ASSERT_TRUE(region);
  UniqueRegion expected(::CreateRectRgn(0, 0, 0, 0));
  for (int y = 0; y < 100; ++y) {
    for (int x = y % 2; x < 100; x += 2) {
      UniqueRegion pixel(::CreateRectRgn(x, y, x + 1, y + 1));
      ::CombineRgn(expected.get(), expected.get(), pixel.get(), RGN_OR);
    }
  }
  EXPECT_TRUE(::EqualRgn(region.get(), expected.get()));
  RECT box{};
  EXPECT_EQ(::GetRgnBox(region.get(), &box), COMPLEXREGION);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.bottom, 100);
}

TEST(SkinImage, EmptyOrMissingMasksLeaveTheWindowRectangular) {
  EXPECT_FALSE(RegionOfMask(L"white.bmp", 8, 8, [](int, int) { return false; }));
  EXPECT_FALSE(RegionFromBitmap(nullptr, RGB(255, 255, 255), 0));

  // A child window of the host takes a region like a top-level one.
  class Plain : public Window {};
  Plain shaped;
  ASSERT_TRUE(shaped.Create(0, L"", WS_CHILD | WS_VISIBLE, 300, 200, 50, 40, FreshHost().Hwnd()));
  EXPECT_FALSE(ShapeWindowFromMask(shaped.Hwnd(), ControlsPath(L"white.bmp")));
  EXPECT_FALSE(ShapeWindowFromMask(shaped.Hwnd(), ControlsPath(L"absent.bmp")));
  UniqueRegion probe(::CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(::GetWindowRgn(shaped.Hwnd(), probe.get()), ERROR);

  SaveMask(ControlsPath(L"round.bmp"), 50, 40, L"image/bmp",
           [](int x, int y) { return (x - 25) * (x - 25) + (y - 20) * (y - 20) < 400; });
  EXPECT_TRUE(ShapeWindowFromMask(shaped.Hwnd(), ControlsPath(L"round.bmp")));
  EXPECT_EQ(::GetWindowRgn(shaped.Hwnd(), probe.get()), COMPLEXREGION);
  EXPECT_TRUE(::PtInRegion(probe.get(), 25, 20));
  EXPECT_FALSE(::PtInRegion(probe.get(), 1, 1));
}

// ---------------------------------------------------------------- image button

constexpr COLORREF kFaceColours[4] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200),
                                      RGB(200, 200, 0)};
constexpr COLORREF kButtonBackground = RGB(70, 0, 70);

class BitmapBtnTest : public testing::Test {
 protected:
  void SetUp() override {
    static const bool made = [] {
      const wchar_t* names[4] = {L"face-1.png", L"face-2.png", L"face-3.png", L"face-4.png"};
      for (int i = 0; i < 4; ++i) SaveSolidPng(ButtonsPath(names[i]), kFaceColours[i]);
      return true;
    }();
    static_cast<void>(made);
    ASSERT_TRUE(m_button.Create(m_host.Hwnd(), kId, kRect));
    GiveFaces(m_button, true);
    m_button.SetBackgroundColour(kButtonBackground);
  }

  static void GiveFaces(CBitmapBtn& button, bool withPressedFace) {
    button.SetFaces({LoadSkinImage(kSkinButtonsFolder, L"face-1.png"),
                     LoadSkinImage(kSkinButtonsFolder, L"face-2.png"),
                     withPressedFace ? LoadSkinImage(kSkinButtonsFolder, L"face-3.png") : nullptr,
                     LoadSkinImage(kSkinButtonsFolder, L"face-4.png")});
  }

  // The colour in the middle of the button, as drawn now.
  COLORREF ShownColour() {
    Snapshot shot(m_host.Hwnd());
    return shot.At((kRect.left + kRect.right) / 2, (kRect.top + kRect.bottom) / 2);
  }
  int ShownFace() {
    const COLORREF colour = ShownColour();
    for (int i = 0; i < 4; ++i) {
      if (Near(colour, kFaceColours[i])) return i + 1;
    }
    return Near(colour, kButtonBackground) ? 0 : -1;
  }

  void Click(HWND window, int x = 5, int y = 5) {
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  std::vector<Posted> Clicks() {
    std::vector<Posted> clicks;
    for (const Posted& p : m_host.Of(WM_COMMAND)) {
      if (LOWORD(p.wParam) == kId && HIWORD(p.wParam) == BN_CLICKED &&
          reinterpret_cast<HWND>(p.lParam) == m_button.Hwnd()) {
        clicks.push_back(p);
      }
    }
    return clicks;
  }

  static constexpr RECT kRect{20, 30, 120, 60};
  static constexpr int kId = 1234;
  HostWindow& m_host = FreshHost();
  CBitmapBtn m_button;
};

TEST_F(BitmapBtnTest, IsAnOwnerDrawnChildWithoutBorderOrTabStop) {
  const LONG_PTR style = ::GetWindowLongPtrW(m_button.Hwnd(), GWL_STYLE);
  EXPECT_EQ(style & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_TRUE(style & WS_CHILD);
  EXPECT_TRUE(style & WS_VISIBLE);
  EXPECT_FALSE(style & WS_TABSTOP);
  EXPECT_FALSE(style & WS_BORDER);
  EXPECT_EQ(::GetDlgCtrlID(m_button.Hwnd()), kId);
  EXPECT_EQ(ShownFace(), 1);
}

TEST_F(BitmapBtnTest, ToggleButtonFlipsAndNotifiesOnEveryRelease) {
  m_button.SetToggleMode(true);
  Click(m_button.Hwnd());
  EXPECT_TRUE(m_button.IsTicked());
  EXPECT_EQ(Clicks().size(), 1u);
  Pump();
  EXPECT_EQ(::GetCapture(), nullptr) << "the press's capture outlived the click";
  // The ticked face (the pointer is not over it: no hover).
  EXPECT_EQ(ShownFace(), 3);

  // A quick second click (arriving as a double click) flips it back.
  ::SendMessageW(m_button.Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  ::SendMessageW(m_button.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(m_button.IsTicked());
  EXPECT_EQ(Clicks().size(), 2u);
  EXPECT_EQ(ShownFace(), 1);
}

TEST_F(BitmapBtnTest, PushButtonClicksAndQuickDoubleClicks) {
  Click(m_button.Hwnd());
  EXPECT_EQ(Clicks().size(), 1u);
  EXPECT_FALSE(m_button.IsTicked());
  ::SendMessageW(m_button.Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  ::SendMessageW(m_button.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(Clicks().size(), 2u);
  // A release outside the button is no click.
  ::SendMessageW(m_button.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ::SendMessageW(m_button.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
  EXPECT_EQ(Clicks().size(), 2u);
}

TEST_F(BitmapBtnTest, FacesOfDisabledTickedAndPressedButtons) {
  ::EnableWindow(m_button.Hwnd(), FALSE);
  EXPECT_EQ(ShownFace(), 4);
  EXPECT_EQ(m_button.LastDrawnFace(), 4);
  m_button.SetTicked(true);
  EXPECT_EQ(ShownFace(), 3);
  ::EnableWindow(m_button.Hwnd(), TRUE);
  m_button.SetTicked(false);
  EXPECT_EQ(ShownFace(), 1);
  // Pressed (the button's own pushed state).
  ::SendMessageW(m_button.Hwnd(), BM_SETSTATE, TRUE, 0);
  EXPECT_EQ(ShownFace(), 3);
  ::SendMessageW(m_button.Hwnd(), BM_SETSTATE, FALSE, 0);

  // Toggle mode: ticked and disabled shows face 4, or face 3 when asked to keep it.
  m_button.SetToggleMode(true);
  m_button.SetTicked(true);
  ::EnableWindow(m_button.Hwnd(), FALSE);
  EXPECT_EQ(ShownFace(), 4);
  m_button.SetTickedDisabledFace(true);
  EXPECT_EQ(ShownFace(), 3);
}

// A skinned window draws the buttons over the area it paints with its own paint: each in the face
// of its state (ticked, disabled, pushed), as its own paint would; buttons lying over another
// control are left to paint themselves.
constexpr FaceFiles kStateFaces{{SkinFolder::kButtons, u"face-1.png"},
                                {SkinFolder::kButtons, u"face-2.png"},
                                {SkinFolder::kButtons, u"face-3.png"},
                                {SkinFolder::kButtons, u"face-4.png"}};
constexpr ButtonStyle kStateButton{kStateFaces, {.caption = CaptionLayout::kNone}};
constexpr ControlRow kStateRows[] = {
    ButtonRow(1, {10, 10, 60, 40}, kStateButton),
    ButtonRow(2, {70, 10, 120, 40}, kStateButton).Ticked(),
    ButtonRow(3, {130, 10, 180, 40}, kStateButton).Disabled(),
    ButtonRow(4, {10, 50, 60, 80}, kStateButton),
    ButtonRow(5, {70, 50, 120, 80}, kStateButton),
    ButtonRow(6, {100, 60, 150, 90}, kStateButton).Ticked(),
};
constexpr WindowLayout kStateLayout{
    .name = "button states", .width = 200, .height = 100, .controls = kStateRows};

TEST_F(BitmapBtnTest, ASkinnedWindowDrawsItsButtonsInTheFacesOfTheirStates) {
  class StateDialog : public SkinnedDialog {
   public:
    StateDialog() : SkinnedDialog(kStateLayout) {}
    using SkinnedDialog::Button;
  } dialog;
  ASSERT_TRUE(dialog.CreateModeless());
  ::SendMessageW(dialog.Button(4).Hwnd(), BM_SETSTATE, TRUE, 0);
  ::ShowWindow(dialog.Hwnd(), SW_SHOWNA);
  Snapshot shot(dialog.Hwnd());
  EXPECT_TRUE(Near(shot.At(35, 25), kFaceColours[0]));
  EXPECT_TRUE(Near(shot.At(95, 25), kFaceColours[2]));   // ticked
  EXPECT_TRUE(Near(shot.At(155, 25), kFaceColours[3]));  // disabled
  EXPECT_TRUE(Near(shot.At(35, 65), kFaceColours[2]));   // pushed
  EXPECT_TRUE(Near(shot.At(80, 55), kFaceColours[0]));
  EXPECT_TRUE(Near(shot.At(140, 85), kFaceColours[2]));
  EXPECT_TRUE(Near(shot.At(190, 95), RGB(0, 0, 0)));  // no background picture
  for (int id = 1; id <= 6; ++id) EXPECT_NE(dialog.Button(id).LastDrawnFace(), 0) << id;
}

TEST_F(BitmapBtnTest, MissingPressedFaceShowsNoImageButKeepsTextAndBehaviour) {
  CBitmapBtn button;
  const RECT rect{150, 30, 250, 60};
  ASSERT_TRUE(button.Create(m_host.Hwnd(), 77, rect));
  GiveFaces(button, false);
  button.SetBackgroundColour(kButtonBackground);
  button.SetShowCaption(true);
  button.SetCaptionBox({0, 0, 100, 30});
  button.SetCaption(L"WWWW", 0, 1);
  button.SetToggleMode(true);
  Click(button.Hwnd());
  EXPECT_TRUE(button.IsTicked());
  EXPECT_EQ(button.LastDrawnFace(), 3);
  Snapshot shot(m_host.Hwnd());
  const RECT inside{rect.left, rect.top, rect.right, rect.bottom};
  // No face image: the background colour, with the white caption on it.
  EXPECT_GT(shot.Count([](COLORREF c) { return Near(c, kButtonBackground); }, inside), 2000);
  EXPECT_GT(shot.Count([](COLORREF c) { return Near(c, RGB(255, 255, 255), 60); }, inside), 10);
  EXPECT_EQ(shot.Count([](COLORREF c) { return Near(c, kFaceColours[2]); }, inside), 0);
}

TEST_F(BitmapBtnTest, HoverTakesTheCaptureAndLeavingReleasesIt) {
  ASSERT_NE(::GetActiveWindow(), nullptr);
  ::SendMessageW(m_button.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  EXPECT_TRUE(m_button.IsHover());
  EXPECT_EQ(::GetCapture(), m_button.Hwnd());
  EXPECT_EQ(ShownFace(), 2);

  // The pointer leaves (a point over the host, outside the button).
  ::SendMessageW(m_button.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(-10, -10));
  EXPECT_FALSE(m_button.IsHover());
  EXPECT_EQ(::GetCapture(), nullptr);
  EXPECT_EQ(ShownFace(), 1);

  // Leaving with the left button held keeps the capture (the press goes on) but not the hover.
  ::SendMessageW(m_button.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  ::SendMessageW(m_button.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-10, -10));
  EXPECT_FALSE(m_button.IsHover());
  EXPECT_EQ(::GetCapture(), m_button.Hwnd());
  ::ReleaseCapture();

  // A drag that started elsewhere does not light the button.
  ::SendMessageW(m_button.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_FALSE(m_button.IsHover());
  EXPECT_EQ(::GetCapture(), nullptr);

  // Every counted move was reported to the parent with the button's window.
  Pump();
  const std::vector<Posted> moves = m_host.Of(kBitmapBtnMouseMoveMessage);
  ASSERT_EQ(moves.size(), 4u);
  for (const Posted& move : moves) {
    EXPECT_EQ(reinterpret_cast<HWND>(move.wParam), m_button.Hwnd());
    EXPECT_EQ(move.lParam, 0);
  }
}

TEST_F(BitmapBtnTest, LosingTheCaptureToAnotherWindowEndsTheHoverOnly) {
  ::SendMessageW(m_button.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  ASSERT_TRUE(m_button.IsHover());
  ::SetCapture(m_host.Hwnd());
  EXPECT_FALSE(m_button.IsHover());
  // The new owner keeps it.
  EXPECT_EQ(::GetCapture(), m_host.Hwnd());
  ::ReleaseCapture();
  EXPECT_EQ(ShownFace(), 1);
}

// The bounding box of the caption's white pixels within `area`.
RECT InkBox(const Snapshot& shot, const RECT& area) {
  RECT box{area.right, area.bottom, area.left, area.top};
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (!Near(shot.At(x, y), RGB(255, 255, 255), 90)) continue;
      box.left = std::min<LONG>(box.left, x);
      box.top = std::min<LONG>(box.top, y);
      box.right = std::max<LONG>(box.right, x + 1);
      box.bottom = std::max<LONG>(box.bottom, y + 1);
    }
  }
  return box;
}

TEST_F(BitmapBtnTest, CaptionsCentredRotatedAndClipped) {
  CBitmapBtn flat;
  CBitmapBtn rotated;
  CBitmapBtn huge;
  CBitmapBtn empty;
  CBitmapBtn boxed;
  const RECT boxedRect{20, 160, 140, 190};
  ASSERT_TRUE(boxed.Create(m_host.Hwnd(), 5, boxedRect));
  boxed.SetCentredCaption(L"OK OK", 700);
  const RECT flatRect{20, 100, 140, 140};
  const RECT rotatedRect{160, 80, 200, 200};
  const RECT hugeRect{220, 100, 260, 120};
  const RECT emptyRect{280, 100, 320, 140};
  ASSERT_TRUE(flat.Create(m_host.Hwnd(), 1, flatRect));
  ASSERT_TRUE(rotated.Create(m_host.Hwnd(), 2, rotatedRect));
  ASSERT_TRUE(huge.Create(m_host.Hwnd(), 3, hugeRect));
  ASSERT_TRUE(empty.Create(m_host.Hwnd(), 4, emptyRect));
  for (CBitmapBtn* b : {&flat, &rotated, &huge, &empty}) b->SetShowCaption(true);
  GiveFaces(empty, true);
  flat.SetCaption(L"MMMMMM", 0, 1);
  rotated.SetCaption(L"MMMMMM", 0, 2);
  huge.SetCaption(std::wstring(3000, L'M'), 0, 1);
  empty.SetCaption(L"", 0, 1);
  Snapshot shot(m_host.Hwnd());

  const RECT flatInk = InkBox(shot, flatRect);
  ASSERT_LT(flatInk.left, flatInk.right);
  EXPECT_GT(flatInk.right - flatInk.left, flatInk.bottom - flatInk.top);
  EXPECT_NEAR((flatInk.left + flatInk.right) / 2, (flatRect.left + flatRect.right) / 2, 3);
  EXPECT_NEAR((flatInk.top + flatInk.bottom) / 2, (flatRect.top + flatRect.bottom) / 2, 4);

  const RECT boxedInk = InkBox(shot, boxedRect);
  ASSERT_LT(boxedInk.left, boxedInk.right);
  EXPECT_NEAR((boxedInk.left + boxedInk.right) / 2, (boxedRect.left + boxedRect.right) / 2, 3);
  EXPECT_NEAR((boxedInk.top + boxedInk.bottom) / 2, (boxedRect.top + boxedRect.bottom) / 2, 4);

  const RECT rotatedInk = InkBox(shot, rotatedRect);
  ASSERT_LT(rotatedInk.left, rotatedInk.right);
  EXPECT_GT(rotatedInk.bottom - rotatedInk.top, 2 * (rotatedInk.right - rotatedInk.left));
  EXPECT_NEAR((rotatedInk.top + rotatedInk.bottom) / 2, (rotatedRect.top + rotatedRect.bottom) / 2,
              4);

  // The huge caption fills its button and nothing around it.
  const RECT around{hugeRect.left - 15, hugeRect.top - 15, hugeRect.right + 15,
                    hugeRect.bottom + 15};
  const RECT hugeInk = InkBox(shot, around);
  EXPECT_GE(hugeInk.left, hugeRect.left);
  EXPECT_LE(hugeInk.right, hugeRect.right);
  EXPECT_GE(hugeInk.top, hugeRect.top);
  EXPECT_LE(hugeInk.bottom, hugeRect.bottom);
  EXPECT_TRUE(Near(shot.At(hugeRect.left - 5, hugeRect.top + 5), HostWindow::kBackground));
  EXPECT_TRUE(Near(shot.At(hugeRect.right + 5, hugeRect.top + 5), HostWindow::kBackground));

  // No caption: only the face.
  EXPECT_EQ(shot.Count([](COLORREF c) { return Near(c, RGB(255, 255, 255), 90); }, emptyRect), 0);
  EXPECT_EQ(shot.Count([](COLORREF c) { return Near(c, kFaceColours[0]); }, emptyRect), 40 * 40);
}

}  // namespace

namespace {

// ---------------------------------------------------------------- sliders

constexpr COLORREF kThumbColour = RGB(0, 0, 230);
constexpr COLORREF kDisabledThumbColour = RGB(150, 150, 150);
constexpr COLORREF kTrackColour = RGB(230, 120, 0);

class SliderTest : public testing::Test {
 protected:
  void SetUp() override {
    static const bool made = [] {
      SaveSolidPng(ControlsPath(L"thumb-v.png"), kThumbColour, 22, 21);
      SaveSolidPng(ControlsPath(L"thumb-v-off.png"), kDisabledThumbColour, 22, 21);
      SaveSolidPng(ControlsPath(L"thumb-h.png"), kThumbColour, 11, 18);
      SaveSolidPng(ControlsPath(L"track.png"), kTrackColour, 8, 8);
      return true;
    }();
    static_cast<void>(made);
    m_track = LoadImageFile(ControlsPath(L"track.png"));
  }

  // A vertical slider 181 pixels high with a 21-pixel thumb and range 1-11.
  void MakeVertical(CPngSliderBar& bar, int id, const RECT& rect, const wchar_t* disabled,
                    int minimum = 1, int maximum = 11) {
    const SkinImage thumb = LoadImageFile(ControlsPath(L"thumb-v.png"));
    const SkinImage disabledThumb =
        disabled != nullptr ? LoadImageFile(ControlsPath(disabled)) : nullptr;
    ASSERT_TRUE(
        bar.Create(m_host.Hwnd(), id, rect, {thumb, disabledThumb, m_track, minimum, maximum}));
    bar.SetSliderValue(minimum);
  }

  // The thumb's place in its bar.
  static POINT ThumbOrigin(CPngSliderBar& bar) {
    RECT rect{};
    ::GetWindowRect(bar.Thumb().Hwnd(), &rect);
    ::MapWindowPoints(nullptr, bar.Hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top};
  }

  // Drags the thumb by `offset` pixels along its axis and releases it.
  void Drag(CPngSliderBar& bar, int offset) {
    const HWND thumb = bar.Thumb().Hwnd();
    const bool vertical = bar.Axis() == SliderAxis::kVertical;
    ::SendMessageW(thumb, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    const int x = vertical ? 3 : 3 + offset;
    const int y = vertical ? 3 + offset : 3;
    ::SendMessageW(thumb, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
    // The pointer is still on the thumb's grip, which has moved with it.
    ::SendMessageW(thumb, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  }

  std::vector<Posted> Reports() {
    Pump();
    std::vector<Posted> reports = m_host.Of(kSliderValueMessage);
    m_host.received.clear();
    return reports;
  }

  HostWindow& m_host = FreshHost();
  SkinImage m_track;
};

TEST_F(SliderTest, ValuesPlaceTheThumbAndOutOfRangeValuesShowTheMinimum) {
  CPngSliderBar bar;
  MakeVertical(bar, 10008, {20, 20, 42, 201}, nullptr);
  EXPECT_TRUE(bar.Created());
  EXPECT_EQ(ThumbOrigin(bar).y, 0);
  EXPECT_EQ(ThumbOrigin(bar).x, 0);
  bar.SetSliderValue(6);
  EXPECT_EQ(ThumbOrigin(bar).y, 80);
  EXPECT_EQ(bar.Value(), 6);
  bar.SetSliderValue(11);
  EXPECT_EQ(ThumbOrigin(bar).y, 160);
  for (int value : {0, -1, 12}) {
    bar.SetSliderValue(11);
    bar.SetSliderValue(value);
    EXPECT_EQ(ThumbOrigin(bar).y, 0) << value;
    EXPECT_EQ(bar.Value(), 1) << value;
  }
  EXPECT_TRUE(Reports().empty()) << "setting a value is no report";

  // What the window shows: the thumb at 80 over the track.
  bar.SetSliderValue(6);
  Snapshot shot(m_host.Hwnd());
  EXPECT_TRUE(Near(shot.At(30, 20 + 90), kThumbColour));
  EXPECT_TRUE(Near(shot.At(30, 20 + 70), kTrackColour));
  EXPECT_TRUE(Near(shot.At(30, 20 + 110), kTrackColour));
}

TEST_F(SliderTest, ReleasingTheThumbReportsTheValueOfWhereItLies) {
  CPngSliderBar bar;
  MakeVertical(bar, 10013, {20, 20, 42, 201}, nullptr);
  struct Case {
    int position;
    int value;
  };
  for (const Case c : {Case{9, 1}, Case{10, 2}, Case{95, 6}, Case{96, 7}, Case{160, 11}}) {
    bar.SetSliderValue(1);
    Reports();
    Drag(bar, c.position);
    EXPECT_EQ(ThumbOrigin(bar).y, c.position) << "the thumb stays where it was dropped";
    const std::vector<Posted> reports = Reports();
    ASSERT_EQ(reports.size(), 1u) << c.position;
    EXPECT_EQ(reports[0].wParam, static_cast<WPARAM>(c.value)) << c.position;
    EXPECT_EQ(reports[0].lParam, 10013);
    EXPECT_EQ(bar.Value(), c.value);
  }
  EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(SliderTest, DraggingStopsAtTheEndsAndReportsOnlyOnRelease) {
  CPngSliderBar bar;
  MakeVertical(bar, 7, {20, 20, 42, 201}, nullptr);
  bar.SetSliderValue(6);
  const HWND thumb = bar.Thumb().Hwnd();
  ::SendMessageW(thumb, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  EXPECT_EQ(::GetCapture(), thumb);
  ::SendMessageW(thumb, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, 3 + 500));
  EXPECT_EQ(ThumbOrigin(bar).y, 160);
  EXPECT_TRUE(Reports().empty());
  ::SendMessageW(thumb, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, static_cast<WORD>(3 - 900)));
  EXPECT_EQ(ThumbOrigin(bar).y, 0);
  EXPECT_TRUE(Reports().empty());
  ::SendMessageW(thumb, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  std::vector<Posted> reports = Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].wParam, 1u);

  // A drag cut short by another window taking the mouse ends where the thumb lies.
  Drag(bar, 0);
  Reports();
  ::SendMessageW(thumb, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  ::SendMessageW(thumb, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, 3 + 160));
  ::SetCapture(m_host.Hwnd());
  ::ReleaseCapture();
  reports = Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].wParam, 11u);
  EXPECT_FALSE(bar.Thumb().IsDragging());
}

TEST_F(SliderTest, ClickingTheBarMovesTheThumbAndReports) {
  CPngSliderBar bar;
  MakeVertical(bar, 10018, {20, 20, 42, 201}, nullptr);
  struct Case {
    int offset;
    int value;
  };
  for (const Case c : {Case{9, 1}, Case{10, 2}, Case{99, 6}, Case{100, 7}, Case{180, 11}}) {
    bar.SetSliderValue(1);
    Reports();
    // Below the thumb (which sits at the top), so the bar gets the click.
    ::SendMessageW(bar.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, c.offset));
    ::SendMessageW(bar.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, c.offset));
    const std::vector<Posted> reports = Reports();
    ASSERT_EQ(reports.size(), 2u) << "press and release each report";
    for (const Posted& report : reports) {
      EXPECT_EQ(report.wParam, static_cast<WPARAM>(c.value)) << c.offset;
      EXPECT_EQ(report.lParam, 10018);
    }
    EXPECT_EQ(ThumbOrigin(bar).y, 16 * (c.value - 1)) << c.offset;
  }
}

TEST_F(SliderTest, DisabledSliderShowsTheSecondImageOnlyWhenThereIsOne) {
  CPngSliderBar withSecond;
  CPngSliderBar withoutSecond;
  MakeVertical(withSecond, 1, {20, 20, 42, 201}, L"thumb-v-off.png");
  MakeVertical(withoutSecond, 2, {60, 20, 82, 201}, nullptr);
  ::EnableWindow(withSecond.Hwnd(), FALSE);
  ::EnableWindow(withoutSecond.Hwnd(), FALSE);
  Snapshot shot(m_host.Hwnd());
  EXPECT_TRUE(Near(shot.At(30, 30), kDisabledThumbColour));
  EXPECT_TRUE(Near(shot.At(70, 30), kThumbColour));
  // A disabled thumb does not drag.
  Drag(withSecond, 50);
  EXPECT_EQ(ThumbOrigin(withSecond).y, 0);
  EXPECT_TRUE(Reports().empty());

  ::EnableWindow(withSecond.Hwnd(), TRUE);
  Snapshot again(m_host.Hwnd());
  EXPECT_TRUE(Near(again.At(30, 30), kThumbColour));
}

TEST_F(SliderTest, EmptyRangeOrShortTrackShowsTheMinimumAndReportsNothing) {
  CPngSliderBar emptyRange;
  MakeVertical(emptyRange, 3, {20, 20, 42, 201}, nullptr, 5, 5);
  emptyRange.SetSliderValue(5);
  EXPECT_EQ(ThumbOrigin(emptyRange).y, 0);
  EXPECT_EQ(emptyRange.Value(), 5);
  ::SendMessageW(emptyRange.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 100));
  ::SendMessageW(emptyRange.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 100));
  Drag(emptyRange, 40);
  EXPECT_TRUE(Reports().empty());

  // A bar no longer than its thumb.
  CPngSliderBar shortBar;
  MakeVertical(shortBar, 4, {60, 20, 82, 40}, nullptr);
  shortBar.SetSliderValue(6);
  EXPECT_EQ(ThumbOrigin(shortBar).y, 0);
  EXPECT_EQ(shortBar.Value(), 6);
  Drag(shortBar, 10);
  ::SendMessageW(shortBar.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 19));
  EXPECT_TRUE(Reports().empty());
}

TEST_F(SliderTest, HorizontalSliderWorksAlongX) {
  CPngHSliderBar bar;
  const SkinImage thumb = LoadImageFile(ControlsPath(L"thumb-h.png"));
  ASSERT_TRUE(
      bar.Create(m_host.Hwnd(), 10005, {100, 100, 310, 118}, {thumb, thumb, m_track, 1, 20}));
  bar.SetSliderValue(11);
  // (210 - 11) * 10 / 19 = 104
  EXPECT_EQ(ThumbOrigin(bar).x, 104);
  EXPECT_EQ(ThumbOrigin(bar).y, 0);
  Drag(bar, 0);
  std::vector<Posted> reports = Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].wParam, 11u) << "releasing a thumb where a value put it keeps the value";
  EXPECT_EQ(reports[0].lParam, 10005);

  Drag(bar, 1000);
  EXPECT_EQ(ThumbOrigin(bar).x, 199);
  reports = Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].wParam, 20u);

  ::SendMessageW(bar.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 9));
  reports = Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].wParam, 1u);
  EXPECT_EQ(ThumbOrigin(bar).x, 0);
}

}  // namespace

namespace {

// ---------------------------------------------------------------- coloured edit

constexpr COLORREF kEditText = RGB(255, 255, 0);
constexpr COLORREF kEditBack = RGB(0, 0, 150);

TEST(ClrEditTest, KeyReleasesAreReportedOnlyWhenAsked) {
  HostWindow& host = FreshHost();
  CClrEdit quiet;
  CClrEdit notifying;
  ASSERT_TRUE(quiet.Create(host.Hwnd(), 501, {10, 10, 100, 30}));
  ASSERT_TRUE(notifying.Create(host.Hwnd(), 502, {10, 40, 100, 60},
                               {.look = {.tag = 7, .notifyKeyRelease = true, .font = {0, 400}}}));
  ::SendMessageW(quiet.Hwnd(), WM_KEYUP, VK_RETURN, 0);
  ::SendMessageW(notifying.Hwnd(), WM_KEYUP, '5', 0);
  ::SendMessageW(notifying.Hwnd(), WM_KEYUP, VK_ESCAPE, 0);
  Pump();
  const std::vector<Posted> keys = host.Of(kClrEditKeyUpMessage);
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].wParam, static_cast<WPARAM>('5'));
  EXPECT_EQ(keys[0].lParam, 7);
  EXPECT_EQ(keys[1].wParam, static_cast<WPARAM>(VK_ESCAPE));

  // Typed characters still reach the field.
  ::SendMessageW(notifying.Hwnd(), WM_CHAR, '4', 0);
  ::SendMessageW(notifying.Hwnd(), WM_CHAR, '2', 0);
  wchar_t text[16] = {};
  ::GetWindowTextW(notifying.Hwnd(), text, 16);
  EXPECT_EQ(std::wstring(text), L"42");
}

TEST(ClrEditTest, FocusChangesAreReportedWhateverTheFlags) {
  HostWindow& host = FreshHost();
  CClrEdit edit;
  ASSERT_TRUE(edit.Create(host.Hwnd(), 503, {10, 10, 100, 30}));
  ::SetFocus(edit.Hwnd());
  ASSERT_EQ(::GetFocus(), edit.Hwnd());
  ::SetFocus(host.Hwnd());
  Pump();
  const std::vector<Posted> focus = host.Of(kClrEditFocusMessage);
  ASSERT_EQ(focus.size(), 2u);
  EXPECT_EQ(focus[0].wParam, kClrEditFocusGained);
  EXPECT_EQ(focus[1].wParam, kClrEditFocusLost);
  EXPECT_EQ(focus[0].lParam, 0);
  EXPECT_EQ(focus[1].lParam, 0);
}

TEST(ClrEditTest, ColoursBorderAndNoRemainsOfDeletedText) {
  HostWindow& host = FreshHost();
  CClrEdit plain;
  CClrEdit bordered;
  const RECT plainRect{10, 10, 150, 34};
  const RECT borderedRect{10, 50, 150, 74};
  ASSERT_TRUE(plain.Create(host.Hwnd(), 504, plainRect));
  ASSERT_TRUE(bordered.Create(host.Hwnd(), 505, borderedRect,
                              {.look = {.border = true, .font = {0, 400}}}));
  for (CClrEdit* edit : {&plain, &bordered}) {
    edit->SetTextColour(kEditText);
    edit->SetBackgroundColour(kEditBack);
    ::SetWindowTextW(edit->Hwnd(), L"88888888");
  }
  EXPECT_TRUE(::GetWindowLongPtrW(bordered.Hwnd(), GWL_STYLE) & WS_BORDER);
  EXPECT_FALSE(::GetWindowLongPtrW(plain.Hwnd(), GWL_STYLE) & WS_BORDER);

  Snapshot shot(host.Hwnd());
  const auto isText = [](COLORREF c) { return Near(c, kEditText, 70); };
  const int longInk = shot.Count(isText, plainRect);
  EXPECT_GT(longInk, 40);
  EXPECT_GT(shot.Count([](COLORREF c) { return Near(c, kEditBack); }, plainRect), 1500);
  // Only the bordered field has a frame of another colour at its edge.
  EXPECT_TRUE(Near(shot.At(plainRect.right - 1, plainRect.top + 10), kEditBack));
  EXPECT_FALSE(Near(shot.At(borderedRect.right - 1, borderedRect.top + 10), kEditBack));
  EXPECT_TRUE(Near(shot.At(borderedRect.right - 4, borderedRect.top + 10), kEditBack));

  // Deleting most of the text leaves only the short text's ink.
  ::SetWindowTextW(plain.Hwnd(), L"8");
  Snapshot after(host.Hwnd());
  EXPECT_LT(after.Count(isText, plainRect), longInk / 4);

  // The colours are read at every request.
  plain.SetBackgroundColour(RGB(120, 0, 0));
  ::InvalidateRect(plain.Hwnd(), nullptr, TRUE);
  Snapshot red(host.Hwnd());
  EXPECT_TRUE(Near(red.At(plainRect.right - 5, plainRect.top + 12), RGB(120, 0, 0)));
}

// ---------------------------------------------------------------- transparent label

TEST(StaticTransTest, ShorterTextLeavesNoRemainsOnTheBackground) {
  HostWindow& host = FreshHost();
  CStaticTrans label;
  const RECT rect{10, 10, 300, 40};
  ASSERT_TRUE(
      label.Create(host.Hwnd(), CStaticTrans::kDefaultId, rect, {.text = L"WWWWWWWWWWWWWWWWWW"}));
  EXPECT_EQ(::GetDlgCtrlID(label.Hwnd()), 0xFFFF);
  label.SetFontHeight(24);
  Snapshot shot(host.Hwnd());
  const auto isInk = [](COLORREF c) { return Near(c, RGB(255, 255, 255), 90); };
  const RECT right{120, 10, 300, 40};
  EXPECT_GT(shot.Count(isInk, right), 50);
  // Transparent: the host's background shows between the letters.
  EXPECT_TRUE(Near(shot.At(rect.right - 2, rect.bottom - 2), HostWindow::kBackground));

  label.SetText(L"W");
  Pump();
  Snapshot after(host.Hwnd());
  EXPECT_EQ(after.Count(isInk, right), 0);
  EXPECT_GT(after.Count(isInk, {10, 10, 40, 40}), 5);
}

// The height of the ink in `area`.
int InkHeight(const Snapshot& shot, const RECT& area, COLORREF ink) {
  int top = area.bottom;
  int bottom = area.top;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (!Near(shot.At(x, y), ink, 90)) continue;
      top = std::min(top, y);
      bottom = std::max(bottom, y + 1);
    }
  }
  return bottom - top;
}

TEST(StaticTransTest, ExplicitBackgroundUsesTheWindowsOwnFont) {
  HostWindow& host = FreshHost();
  CStaticTrans transparent;
  CStaticTrans coloured;
  const RECT transparentRect{10, 50, 200, 100};
  const RECT colouredRect{10, 110, 200, 160};
  ASSERT_TRUE(transparent.Create(host.Hwnd(), CStaticTrans::kDefaultId, transparentRect,
                                 {.text = L"HHHH"}));
  ASSERT_TRUE(
      coloured.Create(host.Hwnd(), CStaticTrans::kDefaultId, colouredRect, {.text = L"HHHH"}));
  for (CStaticTrans* label : {&transparent, &coloured}) label->SetFontHeight(44);
  coloured.SetBackgroundColour(RGB(0, 0, 120));
  Snapshot shot(host.Hwnd());
  EXPECT_TRUE(Near(shot.At(colouredRect.right - 3, colouredRect.bottom - 3), RGB(0, 0, 120)));
  const int labelFontInk = InkHeight(shot, transparentRect, RGB(255, 255, 255));
  const int ownFontInk = InkHeight(shot, colouredRect, RGB(255, 255, 255));
  EXPECT_GE(labelFontInk, 25);
  EXPECT_GT(ownFontInk, 3);
  EXPECT_LT(ownFontInk, 20);
  EXPECT_EQ(coloured.Font(), nullptr) << "no label font without transparency";

  // The transparent label's font is made once.
  const HFONT font = transparent.Font();
  ASSERT_NE(font, nullptr);
  Snapshot again(host.Hwnd());
  EXPECT_EQ(transparent.Font(), font);
}

// ---------------------------------------------------------------- fill bar

constexpr COLORREF kMarkerBack = RGB(40, 40, 160);
constexpr COLORREF kMarkerFill = RGB(240, 200, 0);

UniqueBitmap SolidBitmap(int width, int height, COLORREF colour, int markWidth = 0,
                         COLORREF mark = 0) {
  const HDC screen = ::GetDC(nullptr);
  UniqueBitmap bitmap(::CreateCompatibleBitmap(screen, width, height));
  UniqueMemoryDc dc(::CreateCompatibleDC(screen));
  ::ReleaseDC(nullptr, screen);
  {
    ScopedSelect select(dc.get(), bitmap.get());
    UniqueBrush brush(::CreateSolidBrush(colour));
    const RECT all{0, 0, width, height};
    ::FillRect(dc.get(), &all, brush.get());
    if (markWidth > 0) {
      UniqueBrush markBrush(::CreateSolidBrush(mark));
      const RECT left{0, 0, markWidth, height};
      ::FillRect(dc.get(), &left, markBrush.get());
    }
  }
  return bitmap;
}

// The colour in the bar's row at x, read from the window without letting messages run.
COLORREF MarkerPixel(HWND marker, int x) {
  const HDC dc = ::GetDC(marker);
  const COLORREF colour = ::GetPixel(dc, x, 10);
  ::ReleaseDC(marker, dc);
  return colour;
}

class MarkerTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_marker.Create(m_host.Hwnd(), 900, {40, 100, 340, 120}));
    m_marker.SetMarkerRange(0, 100);
    // Images larger than the bar: the part from (10, 0) is used; its left 10 columns differ.
    UniqueBitmap back = SolidBitmap(320, 30, kMarkerBack, 10, RGB(255, 0, 0));
    UniqueBitmap fill = SolidBitmap(320, 30, kMarkerFill, 10, RGB(255, 0, 0));
    m_marker.SetMarkerImages(10, 0, 310, 20, back.get(), fill.get());
    // The bar has its own copies: the caller's images may go.
    Pump();
  }

  HostWindow& m_host = FreshHost();
  CDMarker m_marker;
};

TEST_F(MarkerTest, PositionsShowTheirShareOfTheFillAtOnce) {
  EXPECT_EQ(m_marker.Minimum(), 0);
  EXPECT_EQ(m_marker.Maximum(), 100);
  m_marker.SetMarkerPos(50);
  EXPECT_EQ(m_marker.Position(), 50);
  EXPECT_TRUE(Near(MarkerPixel(m_marker.Hwnd(), 0), kMarkerFill));
  EXPECT_TRUE(Near(MarkerPixel(m_marker.Hwnd(), 149), kMarkerFill));
  EXPECT_TRUE(Near(MarkerPixel(m_marker.Hwnd(), 150), kMarkerBack));
  EXPECT_TRUE(Near(MarkerPixel(m_marker.Hwnd(), 299), kMarkerBack));

  m_marker.SetMarkerPos(150);
  EXPECT_EQ(m_marker.Position(), 0);
  EXPECT_TRUE(Near(MarkerPixel(m_marker.Hwnd(), 0), kMarkerBack));

  m_marker.SetMarkerPos(100);
  EXPECT_TRUE(Near(MarkerPixel(m_marker.Hwnd(), 0), kMarkerFill));
  EXPECT_TRUE(Near(MarkerPixel(m_marker.Hwnd(), 299), kMarkerFill));

  m_marker.SetMarkerPos(-3);
  EXPECT_EQ(m_marker.Position(), 0);

  // An empty range shows the minimum.
  m_marker.SetMarkerRange(5, 5);
  m_marker.SetMarkerPos(5);
  EXPECT_TRUE(Near(MarkerPixel(m_marker.Hwnd(), 0), kMarkerBack));
}

TEST_F(MarkerTest, NewPicturesShowWholeAtTheNextPositionWithoutAPaintInBetween) {
  m_marker.SetMarkerPos(50);
  // The agent's thread handles no messages during a write: only SetMarkerPos draws.
  const COLORREF back = RGB(0, 160, 60), fill = RGB(200, 30, 200);
  UniqueBitmap newBack = SolidBitmap(300, 20, back);
  UniqueBitmap newFill = SolidBitmap(300, 20, fill);
  m_marker.SetMarkerImages(0, 0, 300, 20, newBack.get(), newFill.get());
  m_marker.SetMarkerPos(60);
  EXPECT_TRUE(Near(MarkerPixel(m_marker.Hwnd(), 0), fill));
  EXPECT_TRUE(Near(MarkerPixel(m_marker.Hwnd(), 175), fill));
  EXPECT_TRUE(Near(MarkerPixel(m_marker.Hwnd(), 299), back));
}

TEST_F(MarkerTest, DraggingFollowsThePointerWithinTheRange) {
  const HWND bar = m_marker.Hwnd();
  ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
  EXPECT_TRUE(m_marker.IsDragging());
  EXPECT_EQ(::GetCapture(), bar);
  ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(-60), 5));
  EXPECT_EQ(m_marker.Position(), 0);
  ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(900, 5));
  EXPECT_EQ(m_marker.Position(), 100);
  ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(75, 5));
  EXPECT_EQ(m_marker.Position(), 25);
  ::SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(150, 5));
  EXPECT_EQ(m_marker.Position(), 50);
  EXPECT_FALSE(m_marker.IsDragging());
  EXPECT_EQ(::GetCapture(), nullptr);
  // Moves without a press change nothing.
  ::SendMessageW(bar, WM_MOUSEMOVE, 0, MAKELPARAM(10, 5));
  EXPECT_EQ(m_marker.Position(), 50);
  Pump();
  EXPECT_TRUE(m_host.received.empty()) << "the bar reports nothing";
}

TEST_F(MarkerTest, LosingTheCaptureOrFocusEndsTheDrag) {
  const HWND bar = m_marker.Hwnd();
  ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
  ::SetCapture(m_host.Hwnd());
  EXPECT_FALSE(m_marker.IsDragging());
  EXPECT_EQ(::GetCapture(), m_host.Hwnd());
  ::ReleaseCapture();
  ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 5));
  EXPECT_EQ(m_marker.Position(), 0);

  ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
  ::SendMessageW(bar, WM_KILLFOCUS, 0, 0);
  EXPECT_FALSE(m_marker.IsDragging());
  ::ReleaseCapture();
}

}  // namespace

namespace {

// ---------------------------------------------------------------- missing pictures

TEST(MissingPictures, ControlsWithoutAnyImageStillWork) {
  HostWindow& host = FreshHost();
  // A slider whose thumb and track pictures are missing: a thumb without size, working values.
  CPngSliderBar slider;
  ASSERT_TRUE(slider.Create(host.Hwnd(), 11, {20, 20, 42, 201},
                            {LoadImageFile(ControlsPath(L"absent-thumb.png")),
                             LoadImageFile(ControlsPath(L"absent.png")), nullptr, 1, 11}));
  slider.SetSliderValue(6);
  EXPECT_EQ(slider.Value(), 6);
  ::SendMessageW(slider.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 100));
  Pump();
  const std::vector<Posted> reports = host.Of(kSliderValueMessage);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].wParam, 7u);  // as for the 181-pixel bar with a thumb

  // A fill bar without images shows black and keeps working.
  CDMarker marker;
  ASSERT_TRUE(marker.Create(host.Hwnd(), 12, {60, 20, 160, 40}));
  marker.SetMarkerImages(0, 0, 100, 20, nullptr, nullptr);
  marker.SetMarkerPos(5);
  EXPECT_EQ(marker.Position(), 5);
  // A picture region outside the image copies nothing but does not fail.
  UniqueBitmap small = SolidBitmap(4, 4, RGB(1, 2, 3));
  marker.SetMarkerImages(50, 50, 40, 40, small.get(), small.get());

  // A button without faces or caption draws its background only.
  CBitmapBtn bare;
  ASSERT_TRUE(bare.Create(host.Hwnd(), 13, {200, 20, 260, 50}));
  bare.SetBackgroundColour(RGB(0, 140, 140));
  bare.SetShowCaption(true);
  Snapshot shot(host.Hwnd());
  EXPECT_EQ(shot.Count([](COLORREF c) { return Near(c, RGB(0, 140, 140)); }, {200, 20, 260, 50}),
            60 * 30);
  EXPECT_EQ(shot.At(70, 30), RGB(0, 0, 0));
}

}  // namespace

namespace {

// ---------------------------------------------------------------- GDI objects

TEST(SkinControlsGdi, ThousandRepaintsOfEveryControlMakeNoLastingObjects) {
  ASSERT_TRUE(CountingWorks()) << "cannot count this process's GDI objects";
  HostWindow& host = FreshHost();
  SaveSolidPng(ButtonsPath(L"gdi-1.png"), RGB(10, 20, 30));
  CBitmapBtn button;
  ASSERT_TRUE(button.Create(host.Hwnd(), 1, {10, 10, 110, 40}));
  button.SetFaces({LoadSkinImage(kSkinButtonsFolder, L"gdi-1.png"), nullptr, nullptr, nullptr});
  button.SetShowCaption(true);
  button.SetCaption(L"Apply", 0, 1);
  CBitmapBtn rotated;
  ASSERT_TRUE(rotated.Create(host.Hwnd(), 2, {120, 10, 150, 110}));
  rotated.SetShowCaption(true);
  rotated.SetCaption(L"Side", 0, 3);

  SaveSolidPng(ControlsPath(L"gdi-thumb.png"), RGB(1, 2, 250), 12, 12);
  SaveSolidPng(ControlsPath(L"gdi-track.png"), RGB(250, 2, 1), 8, 8);
  SkinImage track = LoadImageFile(ControlsPath(L"gdi-track.png"));
  CPngSliderBar vertical;
  const SkinImage thumb = LoadImageFile(ControlsPath(L"gdi-thumb.png"));
  ASSERT_TRUE(vertical.Create(host.Hwnd(), 3, {160, 10, 172, 150}, {thumb, thumb, track, 1, 75}));
  vertical.SetSliderValue(30);
  CPngHSliderBar horizontal;
  ASSERT_TRUE(
      horizontal.Create(host.Hwnd(), 4, {180, 10, 380, 22}, {thumb, nullptr, track, 1, 20}));
  horizontal.SetSliderValue(7);
  CClrEdit edit;
  ASSERT_TRUE(edit.Create(host.Hwnd(), 5, {180, 40, 260, 60},
                          {.look = {.border = true, .font = {0, 400}}}));
  ::SetWindowTextW(edit.Hwnd(), L"1200");
  CStaticTrans label;
  ASSERT_TRUE(label.Create(host.Hwnd(), CStaticTrans::kDefaultId, {180, 70, 380, 90},
                           {.text = L"Pointer speed"}));
  CStaticTrans colouredLabel;
  ASSERT_TRUE(colouredLabel.Create(host.Hwnd(), CStaticTrans::kDefaultId, {180, 100, 260, 120},
                                   {.look = {.align = TextAlign::kCentre}, .text = L"5000"}));
  colouredLabel.SetBackgroundColour(RGB(0, 0, 90));
  CDMarker marker;
  ASSERT_TRUE(marker.Create(host.Hwnd(), 6, {10, 200, 310, 220}));
  {
    UniqueBitmap back = SolidBitmap(300, 20, RGB(9, 9, 9));
    UniqueBitmap fill = SolidBitmap(300, 20, RGB(99, 99, 99));
    marker.SetMarkerImages(0, 0, 300, 20, back.get(), fill.get());
  }
  marker.SetMarkerRange(0, 100);
  marker.SetMarkerPos(40);

  const auto repaint = [&](int times) {
    for (int i = 0; i < times; ++i) {
      ::RedrawWindow(host.Hwnd(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    Pump();
  };
  repaint(5);  // fonts and caches made once
  const DWORD before = GdiObjectCount();
  repaint(1000);
  // The text and the position change in between, as the programs change them.
  ::SetWindowTextW(edit.Hwnd(), L"7");
  label.SetText(L"Wheel");
  marker.SetMarkerPos(90);
  vertical.SetSliderValue(60);
  repaint(5);
  EXPECT_EQ(GdiObjectCount(), before);
}

}  // namespace
