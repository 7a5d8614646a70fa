#include "win/dialog.h"

#include <cwchar>
#include <utility>

#include "win/application.h"

namespace {

// Messages whose answer is the dialog procedure's return value itself rather than
// DWLP_MSGRESULT.
bool ReturnsValueDirectly(UINT message) {
  switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
      return true;
    default:
      return false;
  }
}

}  // namespace

Dialog::Dialog(DialogTemplate dialogTemplate) : m_template(std::move(dialogTemplate)) {}

Dialog::~Dialog() {
  if (Hwnd() != nullptr && !m_modal) {
    if (Application* app = Application::Instance()) app->RemoveModelessDialog(Hwnd());
  }
}

HWND Dialog::CreateFromTemplate(HWND owner) {
  const std::vector<DWORD> block = m_template.Build();
  OnCreating();
  m_result = -1;
  m_endRequested = false;
  // A creation that fails after WM_INITDIALOG leaves the object to us (see Window).
  SetCreating(true);
  const HWND window = ::CreateDialogIndirectParamW(
      ModuleInstance(), reinterpret_cast<const DLGTEMPLATE*>(block.data()), owner,
      &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
  SetCreating(false);
  return window != nullptr && window == Hwnd() ? window : nullptr;
}

INT_PTR Dialog::DoModal(HWND owner) {
  if (Hwnd() != nullptr) return -1;
  if (owner != nullptr) owner = ::GetAncestor(owner, GA_ROOT);
  // Disabled first, so nothing reaches the owner while the dialog initialises.
  const bool ownerDisabled = owner != nullptr && ::IsWindowEnabled(owner) != FALSE;
  if (ownerDisabled) ::EnableWindow(owner, FALSE);
  m_modal = true;
  const HWND window = CreateFromTemplate(owner);
  if (window != nullptr) {
    if (!m_endRequested) {
      if (!::IsWindowVisible(window)) ::ShowWindow(window, SW_SHOWNORMAL);
      RunModalLoop(window);
    }
  } else {
    m_result = -1;
  }
  // The owner is enabled before the dialog goes, so the activation returns to it.
  if (ownerDisabled) ::EnableWindow(owner, TRUE);
  if (window != nullptr && ::IsWindow(window)) {
    ::ShowWindow(window, SW_HIDE);
    ::DestroyWindow(window);
  }
  m_modal = false;
  return m_result;
}

void Dialog::RunModalLoop(HWND window) {
  MSG msg{};
  while (!m_endRequested && ::IsWindow(window)) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      // For the loop outside, which ends too.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      m_result = -1;
      break;
    }
    if (Application::FilterMessage(msg)) continue;
    if (::IsDialogMessageW(window, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

bool Dialog::CreateModeless(HWND owner) {
  if (Hwnd() != nullptr) return false;
  m_modal = false;
  return CreateFromTemplate(owner) != nullptr;
}

void Dialog::End(INT_PTR code) noexcept {
  m_result = code;
  if (m_modal) {
    m_endRequested = true;
    // Wakes the loop when End comes from outside a message (a timer procedure, a hook).
    if (Hwnd() != nullptr) ::PostMessageW(Hwnd(), WM_NULL, 0, 0);
    return;
  }
  if (Hwnd() != nullptr) ::DestroyWindow(Hwnd());
}

void Dialog::CentreIfLeftInPlace(const RECT& before) noexcept {
  RECT rect{};
  if (!::GetWindowRect(Hwnd(), &rect) || rect.left != before.left || rect.top != before.top) {
    return;
  }
  if (::IsWindowVisible(Hwnd()) || (::GetWindowLongPtrW(Hwnd(), GWL_STYLE) & WS_CHILD) != 0) {
    return;
  }
  const HWND owner = ::GetWindow(Hwnd(), GW_OWNER);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!::GetMonitorInfoW(
          ::MonitorFromWindow(owner != nullptr ? owner : Hwnd(), MONITOR_DEFAULTTOPRIMARY),
          &monitor)) {
    return;
  }
  const RECT& work = monitor.rcWork;
  RECT around = work;
  if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
    ::GetWindowRect(owner, &around);
  }
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  int x = around.left + ((around.right - around.left) - width) / 2;
  int y = around.top + ((around.bottom - around.top) - height) / 2;
  // Kept on the work area, its top-left corner first.
  if (x + width > work.right) x = work.right - width;
  if (y + height > work.bottom) y = work.bottom - height;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  ::SetWindowPos(Hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Dialog* Dialog::FromDialogHandle(HWND window) noexcept {
  wchar_t className[16] = {};
  if (::GetClassNameW(window, className, 16) == 0 || std::wcscmp(className, L"#32770") != 0) {
    return nullptr;
  }
  if (::GetWindowLongPtrW(window, DWLP_DLGPROC) !=
      reinterpret_cast<LONG_PTR>(&Dialog::DialogProc)) {
    return nullptr;
  }
  return reinterpret_cast<Dialog*>(::GetWindowLongPtrW(window, DWLP_USER));
}

LRESULT Dialog::HandleInitDialog(WPARAM, LPARAM) {
  RECT before{};
  ::GetWindowRect(Hwnd(), &before);
  const BOOL focusDefault = OnInitDialog();
  if (m_modal && Hwnd() != nullptr) CentreIfLeftInPlace(before);
  return focusDefault;
}

LRESULT Dialog::HandleCommand(WPARAM wParam, LPARAM) {
  // Only clicks (and Escape/Enter, which arrive as clicks): a control with id 1 or 2 may send
  // other notifications.
  if (HIWORD(wParam) == BN_CLICKED) {
    if (LOWORD(wParam) == IDOK) {
      OnOK();
      return 0;
    }
    if (LOWORD(wParam) == IDCANCEL) {
      OnCancel();
      return 0;
    }
  }
  SetMsgHandled(false);
  return 0;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(window, DWLP_USER));
  // The creation binds the object named by CreateDialog, once, from this thread.
  if (message == WM_INITDIALOG && self == nullptr &&
      IsCreatingOnThisThread(static_cast<const Window*>(reinterpret_cast<Dialog*>(lParam)))) {
    self = reinterpret_cast<Dialog*>(lParam);
    self->BindHandle(window, Kind::kDialog);
    ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    if (!self->m_modal) {
      if (Application* app = Application::Instance()) {
        try {
          app->AddModelessDialog(window);
        } catch (...) {
          // Without registration the dialog only lacks keyboard navigation.
        }
      }
    }
  }
  if (self == nullptr) return FALSE;
  if (self->IsForged(message)) {
    // Answered here, so that the dialog manager's default processing does not run either.
    ::SetWindowLongPtrW(window, DWLP_MSGRESULT, 0);
    return TRUE;
  }

  LRESULT result = 0;
  const bool answered = self->RouteMessage(message, wParam, lParam, result);
  if (message == WM_NCDESTROY) {
    if (!self->m_modal) {
      if (Application* app = Application::Instance()) app->RemoveModelessDialog(window);
    }
    self->FinishLastMessage();
    return FALSE;
  }
  if (!answered) return FALSE;
  if (ReturnsValueDirectly(message)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
  return TRUE;
}
