#include "agent/win32/tray_icon.h"

#include <climits>
#include <cwchar>

bool TrayIcon::Add(HWND window, UINT id, UINT callbackMessage, const std::wstring& iconFile,
                   const wchar_t* tip) {
  Remove();
  SHFILEINFOW info{};
  if (SHGetFileInfoW(iconFile.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON) != 0) {
    m_icon.reset(info.hIcon);
  }
  m_data = {};
  m_data.cbSize = sizeof m_data;
  m_data.hWnd = window;
  m_data.uID = id;
  m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  m_data.uCallbackMessage = callbackMessage;
  m_data.hIcon = m_icon.get();
  wcsncpy(m_data.szTip, tip, ARRAYSIZE(m_data.szTip) - 1);
  m_added = Shell_NotifyIconW(NIM_ADD, &m_data) != FALSE;
  return m_added;
}

bool TrayIcon::Restore() {
  if (m_data.hWnd == nullptr) return false;
  // After a restart of the shell the old icon is gone; if it somehow survived, refresh it.
  m_added = Shell_NotifyIconW(NIM_ADD, &m_data) != FALSE ||
            Shell_NotifyIconW(NIM_MODIFY, &m_data) != FALSE;
  return m_added;
}

void TrayIcon::Remove() noexcept {
  if (m_data.hWnd != nullptr) Shell_NotifyIconW(NIM_DELETE, &m_data);
  m_data = {};
  m_icon.reset();
  m_added = false;
}

UINT TrayIcon::TaskbarCreatedMessage() noexcept {
  static const UINT registered = RegisterWindowMessageW(L"TaskbarCreated");
  // Registration cannot really fail; if it did, 0 must not be taken for WM_NULL.
  return registered != 0 ? registered : UINT_MAX;
}
