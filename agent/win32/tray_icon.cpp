#include "agent/win32/tray_icon.h"

#include <climits>
#include <cwchar>
#include <string>
#include <variant>

namespace {

// The small picture of a program's first icon group, which is what the shell shows for the
// program file. Asking the shell instead (SHGetFileInfo) would build its image lists of system
// icons in this process: 2.5 MB under Wine, for one 16 x 16 picture.
HICON LoadFirstSmallIcon(HMODULE program) {
  // An icon group is named by a number or by a text valid only during the enumeration.
  std::variant<std::monostate, WORD, std::wstring> first;
  EnumResourceNamesW(
      program, RT_GROUP_ICON,
      [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) -> BOOL {
        auto& result = *reinterpret_cast<std::variant<std::monostate, WORD, std::wstring>*>(found);
        if (IS_INTRESOURCE(name)) {
          result = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
        } else {
          result = std::wstring(name);
        }
        return FALSE;
      },
      reinterpret_cast<LONG_PTR>(&first));
  const wchar_t* name = nullptr;
  if (const WORD* number = std::get_if<WORD>(&first)) name = MAKEINTRESOURCEW(*number);
  if (const std::wstring* text = std::get_if<std::wstring>(&first)) name = text->c_str();
  if (name == nullptr) return nullptr;
  return static_cast<HICON>(LoadImageW(program, name, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                       GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}

}  // namespace

bool TrayIcon::Add(HWND window, UINT id, UINT callbackMessage, HMODULE program,
                   const wchar_t* tip) {
  Remove();
  m_icon.reset(LoadFirstSmallIcon(program));
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
