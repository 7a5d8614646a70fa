#include "skin/skinned_dialog.h"

#include <utility>

#include "win/double_buffered_paint.h"
#include "win/scoped_select.h"

SkinnedDialog::SkinnedDialog(const WindowLayout& layout, DialogTemplate dialogTemplate)
    : Dialog(std::move(dialogTemplate)), m_layout(layout) {}

// The window and its controls go while the pictures they draw still exist.
SkinnedDialog::~SkinnedDialog() {
  Destroy();
  m_images.DecodeAheadBy(nullptr);
}

void SkinnedDialog::OnCreating() {
  m_prefetchTaken = false;
  m_painted = false;
  const bool pngBackground = IsPngFile(m_layout.background);
  m_size = {m_layout.width, m_layout.height};
  // The header gives the size; the picture is decoded meanwhile.
  if (pngBackground && (m_size.width <= 0 || m_size.height <= 0)) {
    m_size = PngFileSize(SkinPath(m_layout.background));
  }
  SkinPrefetch::Work work;
  if (pngBackground) {
    work.backgroundPath = SkinPath(m_layout.background);
    work.size = m_size;
  }
  if (!m_layout.mask.Empty()) work.maskPath = SkinPath(m_layout.mask);
  // GDI+ pictures only: a window whose pictures are all GDI bitmaps (the agent's) never
  // starts GDI+.
  for (const ImageFile& file : FirstPaintPictures()) {
    if (IsPngFile(file)) work.files.push_back(file);
  }
  for (const ImageFile& file : FirstPaintImages(m_layout.controls, m_firstPage)) {
    if (IsPngFile(file)) work.files.push_back(file);
  }
  m_prefetch.Start(std::move(work));
  m_images.DecodeAheadBy(&m_prefetch);
}

BOOL SkinnedDialog::OnInitDialog() {
  m_page = 0;
  PictureSize size = m_size;
  if (IsPngFile(m_layout.background)) {
    if (size.width <= 0 || size.height <= 0) {
      TakePrefetched();
      size = {ImageWidth(m_background.get()), ImageHeight(m_background.get())};
    }
  } else {
    m_backgroundPicture = m_images.Picture(m_layout.background);
    if (size.width <= 0 || size.height <= 0) size = BitmapSize(m_backgroundPicture);
  }
  // Sized where the template put it: a modal dialog is then centred by the dialog rules.
  if (size.width > 0 && size.height > 0) {
    ::SetWindowPos(Hwnd(), nullptr, 0, 0, size.width, size.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  m_controls.Create(Hwnd(), m_layout.controls, m_images, m_firstPage);
  TakePrefetched();
  // Armed for good by the first paint; this delay only serves a window that never paints.
  m_pagesAfterPaint = m_controls.PagesToMake() != 0;
  if (m_pagesAfterPaint) SetTimer(kMakePagesTimer, kMakePagesUnpaintedMs);
  return OnReady();
}

void SkinnedDialog::TakePrefetched() {
  if (m_prefetchTaken) return;
  m_prefetchTaken = true;
  if (IsPngFile(m_layout.background)) {
    m_images.Keep(m_layout.background, m_prefetch.Background());
    m_background = m_images.Image(m_layout.background);
  }
  m_shaped = false;
  if (!m_layout.mask.Empty()) {
    UniqueRegion outline = m_prefetch.TakeOutline();
    m_shaped = outline && SetWindowRegion(Hwnd(), outline, true);
  }
}

bool SkinnedDialog::ShowPage(int page) {
  if (page == m_page) return false;
  m_page = page;
  MakePage(page);
  m_controls.ShowPage(page);
  return true;
}

void SkinnedDialog::MakePage(int page) {
  if (m_controls.MakePage(page)) OnPageMade(page);
}

void SkinnedDialog::OnMakePagesTimer() {
  const std::uint32_t pages = m_controls.PagesToMake();
  int page = 1;
  while (page < 32 && (pages & PageBit(page)) == 0) ++page;
  if (page < 32 && m_controls.MakePage(page, kRowsPerStep) && PageMade(page)) OnPageMade(page);
  if (m_controls.PagesToMake() == 0) KillTimer(kMakePagesTimer);
}

ControlSet& SkinnedDialog::MadeControls(int id) {
  if (!m_controls.Made(id)) {
    if (const ControlRow* row = m_controls.Row(id); row != nullptr && row->pages != 0) {
      int page = 1;
      while (page < 32 && !row->ShownOnPage(page)) ++page;
      MakePage(page);
    }
  }
  return m_controls;
}

void SkinnedDialog::PaintWindow(HDC dc, const RECT& client) {
  ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  if (m_background) {
    if (!CopyBackground(dc, client)) {
      DrawSkinImage(dc, m_background.get(), 0, 0, client.right, client.bottom);
    }
    return;
  }
  if (m_backgroundPicture == nullptr) return;
  // Decoded pictures need no GDI+ (the agent never starts it).
  UniqueMemoryDc source(::CreateCompatibleDC(dc));
  if (!source) return;
  ScopedSelect select(source.get(), m_backgroundPicture);
  if (!select) return;
  const PictureSize size = BitmapSize(m_backgroundPicture);
  ::StretchBlt(dc, 0, 0, client.right, client.bottom, source.get(), 0, 0, size.width, size.height,
               SRCCOPY);
}

bool SkinnedDialog::CopyBackground(HDC dc, const RECT& client) {
  UniqueMemoryDc cache(::CreateCompatibleDC(dc));
  if (!cache) return false;
  bool stale = !m_backgroundCache || m_backgroundCacheSize.width != client.right ||
               m_backgroundCacheSize.height != client.bottom;
  if (stale) {
    m_backgroundCacheSize = {client.right, client.bottom};
    m_backgroundCache = m_prefetch.TakeBackgroundCopy(m_backgroundCacheSize);
    stale = !m_backgroundCache;
  }
  if (stale) {
    // Made for the window's own DC: `dc` may be a memory DC of any format.
    const HDC windowDc = ::GetDC(Hwnd());
    m_backgroundCache.reset(::CreateCompatibleBitmap(windowDc, client.right, client.bottom));
    ::ReleaseDC(Hwnd(), windowDc);
  }
  ScopedSelect select(cache.get(), m_backgroundCache.get());
  if (!select) {
    m_backgroundCache.reset();
    return false;
  }
  if (stale) {
    ::FillRect(cache.get(), &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    DrawSkinImage(cache.get(), m_background.get(), 0, 0, client.right, client.bottom);
  }
  return ::BitBlt(dc, 0, 0, client.right, client.bottom, cache.get(), 0, 0, SRCCOPY) != FALSE;
}

void SkinnedDialog::OnPaint() {
  // The area to paint, before BeginPaint empties it.
  UniqueRegion area(::CreateRectRgn(0, 0, 0, 0));
  if (area && ::GetUpdateRgn(Hwnd(), area.get(), FALSE) == ERROR) area.reset();
  DoubleBufferedPaint paint(Hwnd());
  PaintWindow(paint.Dc(), paint.ClientRect());
  // The buttons over it are drawn with it, unless this window clips its children away.
  if (area && (::GetWindowLongPtrW(Hwnd(), GWL_STYLE) & WS_CLIPCHILDREN) == 0) {
    m_controls.PaintButtonsWithin(paint.Dc(), area.get());
  }
  if (m_pagesAfterPaint) {
    // From now: a timer set earlier is already due when the paint ends, and the thread would go
    // from message to message without waiting, which is when Wine shows what was painted.
    m_pagesAfterPaint = false;
    SetTimer(kMakePagesTimer, 0);
  }
  if (!m_painted) {
    // What the second thread has not begun by now is done when asked for.
    m_painted = true;
    m_prefetch.Stop();
  }
}

void SkinnedDialog::OnPrintClient(HDC dc, UINT) {
  // Printing (PrintWindow, screenshots without a screen) draws the background too.
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  PaintWindow(dc, client);
}

void SkinnedDialog::OnBackgroundPress(UINT, POINT point) {
  if (!m_layout.dragByBackground) return;
  // Posted, so whatever else the press does is done before the drag starts.
  ::ClientToScreen(Hwnd(), &point);
  ::PostMessageW(Hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, LParamFromPoint(point));
}

LRESULT SkinnedDialog::OnNcDestroy(WPARAM, LPARAM) {
  // The child windows are gone by now; their objects and the pictures follow.
  m_controls.Destroy();
  m_prefetch.Finish();
  m_images.DecodeAheadBy(nullptr);
  m_background.reset();
  m_backgroundCache.reset();
  m_backgroundPicture = nullptr;
  m_images.Clear();
  m_shaped = false;
  return 0;
}
