#include "skin/skinned_dialog.h"

#include <utility>

#include "win/double_buffered_paint.h"
#include "win/scoped_select.h"

SkinnedDialog::SkinnedDialog(const WindowLayout& layout, DialogTemplate dialogTemplate)
    : Dialog(std::move(dialogTemplate)), m_layout(layout) {}

// The window and its controls go while the pictures they draw still exist.
SkinnedDialog::~SkinnedDialog() {
  Destroy();
}

void SkinnedDialog::OnCreating() {
  m_prefetchTaken = false;
  const bool pngBackground = IsPngFile(m_layout.background);
  if (pngBackground || !m_layout.mask.Empty()) {
    m_prefetch.Start(pngBackground ? SkinPath(m_layout.background) : std::wstring(),
                     m_layout.mask.Empty() ? std::wstring() : SkinPath(m_layout.mask));
  }
}

BOOL SkinnedDialog::OnInitDialog() {
  m_page = 0;
  PictureSize size{m_layout.width, m_layout.height};
  if (IsPngFile(m_layout.background)) {
    // The header gives the size; the picture is decoded meanwhile.
    if (size.width <= 0 || size.height <= 0) size = PngFileSize(SkinPath(m_layout.background));
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
  const bool prefetched = m_prefetch.Started();
  m_prefetch.Finish();
  if (IsPngFile(m_layout.background)) {
    if (prefetched) m_images.Keep(m_layout.background, m_prefetch.TakeBackground());
    m_background = m_images.Image(m_layout.background);
  }
  m_shaped = false;
  if (!m_layout.mask.Empty()) {
    UniqueRegion outline =
        prefetched ? m_prefetch.TakeOutline() : OutlineFromMask(SkinPath(m_layout.mask));
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
  const bool stale = !m_backgroundCache || m_backgroundCacheSize.width != client.right ||
                     m_backgroundCacheSize.height != client.bottom;
  if (stale) {
    // Made for the window's own DC: `dc` may be a memory DC of any format.
    const HDC windowDc = ::GetDC(Hwnd());
    m_backgroundCache.reset(::CreateCompatibleBitmap(windowDc, client.right, client.bottom));
    ::ReleaseDC(Hwnd(), windowDc);
    m_backgroundCacheSize = {client.right, client.bottom};
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
  m_background.reset();
  m_backgroundCache.reset();
  m_backgroundPicture = nullptr;
  m_images.Clear();
  m_shaped = false;
  return 0;
}
