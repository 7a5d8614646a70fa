#include "beacon/beacon_window.h"

#include <cwchar>

#include "contract/program_names.h"
#include "win/text.h"

namespace {

constexpr wchar_t kDefaultTitle[] = L"Vireo Gaming Mouse";
constexpr wchar_t kDefaultText[] = L"Mouse connected";

HICON LoadOwnIcon(int width, int height) {
  return static_cast<HICON>(LoadImageW(Window::ModuleInstance(), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                       width, height, LR_DEFAULTCOLOR));
}

template <std::size_t N>
void CopyText(wchar_t (&field)[N], const std::wstring& text) {
  wcsncpy(field, text.c_str(), N - 1);
  field[N - 1] = L'\0';
}

}  // namespace

bool CBeaconWnd::CreateBeaconWindow(std::wstring title, std::wstring text) {
  m_title = title.empty() ? kDefaultTitle : std::move(title);
  m_text = text.empty() ? kDefaultText : std::move(text);
  return Create(WS_EX_TOOLWINDOW, AsWide(program_names::kBeaconWindowTitle), WS_POPUP, 0, 0, 0, 0);
}

LRESULT CBeaconWnd::OnCreate(const CREATESTRUCTW&) {
  m_smallIcon.reset(LoadOwnIcon(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)));

  m_notifyIcon.cbSize = sizeof m_notifyIcon;
  m_notifyIcon.hWnd = Hwnd();
  m_notifyIcon.uID = kIconId;
  m_notifyIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
  m_notifyIcon.uCallbackMessage = kTrayCallback;
  m_notifyIcon.hIcon = m_smallIcon.get();
  CopyText(m_notifyIcon.szTip, m_title);
  CopyText(m_notifyIcon.szInfoTitle, m_title);
  CopyText(m_notifyIcon.szInfo, m_text);
  m_notifyIcon.uTimeout = kLifetimeMs;
  // The plain information symbol: Wine lays a balloon with a user icon out too short, and the
  // tray icon beside it already is ours.
  m_notifyIcon.dwInfoFlags = NIIF_INFO;
  m_iconAdded = Shell_NotifyIconW(NIM_ADD, &m_notifyIcon) != FALSE;

  // Ends by itself even when the shell has no tray to show the notification in.
  SetTimer(kLifetimeTimer, kLifetimeMs);
  return 0;
}

void CBeaconWnd::OnLifetimeTimer() {
  KillTimer(kLifetimeTimer);
  Destroy();
}

LRESULT CBeaconWnd::OnTrayCallback(WPARAM, LPARAM event) {
  // A click on the icon or on the notification means it has been seen.
  switch (static_cast<UINT>(event)) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case NIN_BALLOONUSERCLICK:
      PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
      break;
    default:
      break;
  }
  return 0;
}

void CBeaconWnd::OnDestroy() {
  if (m_iconAdded) Shell_NotifyIconW(NIM_DELETE, &m_notifyIcon);
  m_iconAdded = false;
}
