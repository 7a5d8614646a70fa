#include "agent/win32/progress_dlg.h"

#include "skin/skin_image.h"
#include "win/scoped_select.h"

namespace {

constexpr int kBarId = 1000;
constexpr COLORREF kMaskKey = RGB(255, 255, 255);

std::wstring ControlsImage(const wchar_t* file) {
  return SkinPath(kSkinControlsFolder, file);
}

}  // namespace

CProgressDlg::CProgressDlg()
    : Dialog(DialogTemplate(WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW, 316, 28,
                            kProgressWindowTitle)) {}

CProgressDlg::~CProgressDlg() = default;

bool CProgressDlg::Create(HWND owner) {
  return CreateModeless(owner);
}

BOOL CProgressDlg::OnInitDialog() {
  // The template's size stays when there is no face picture to take the size from.
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  m_width = client.right;
  m_height = client.bottom;

  LoadPictureBitmap(ControlsImage(kProgressMaskFile), m_mask);
  const PictureSize face = LoadPictureBitmap(ControlsImage(kProgressBackgroundFile), m_background);
  LoadPictureBitmap(ControlsImage(kProgressFillFile), m_fill);
  if (face.width > 0 && face.height > 0) {
    m_width = face.width;
    m_height = face.height;
    ::SetWindowPos(Hwnd(), nullptr, 0, 0, m_width, m_height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  m_bar.CreateMarker(0, 0, m_width, m_height, Hwnd(), kBarId);
  m_bar.SetMarkerImages(0, 0, m_width, m_height, m_background.get(), m_fill.get());
  m_bar.SetMarkerRange(0, 100);

  UniqueRegion region = RegionFromBitmap(m_mask.get(), kMaskKey, 0);
  m_shaped = region && SetWindowRegion(Hwnd(), region, true);
  // No focus at creation: the window is still hidden, and its owner decides when it comes to
  // the front.
  return FALSE;
}

void CProgressDlg::SetPos(int percent) {
  m_bar.SetMarkerPos(percent);
}

bool CProgressDlg::PreTranslateMessage(MSG& msg) {
  if (msg.message == WM_KEYDOWN && (msg.wParam == VK_ESCAPE || msg.wParam == VK_RETURN)) {
    return true;
  }
  return Dialog::PreTranslateMessage(msg);
}

void CProgressDlg::OnPaint() {
  PAINTSTRUCT paint{};
  const HDC dc = ::BeginPaint(Hwnd(), &paint);
  if (dc == nullptr) return;
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  bool drawn = false;
  if (m_background) {
    UniqueMemoryDc memory(::CreateCompatibleDC(dc));
    if (memory) {
      ScopedSelect select(memory.get(), m_background.get());
      drawn = static_cast<bool>(select) &&
              ::BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY) != FALSE;
    }
  }
  if (!drawn) ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  ::EndPaint(Hwnd(), &paint);
}

void CProgressDlg::OnDestroy() {
  m_mask.reset();
  m_background.reset();
  m_fill.reset();
  SetMsgHandled(false);
}
