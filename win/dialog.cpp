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

INT_PTR Dialog::DoModal(HWND owner) {
  if (Hwnd() != nullptr) return -1;
  const std::vector<DWORD> block = m_template.Build();
  m_modal = true;
  m_result = -1;
  const INT_PTR code = ::DialogBoxIndirectParamW(
      ModuleInstance(), reinterpret_cast<const DLGTEMPLATE*>(block.data()), owner,
      &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
  m_modal = false;
  return code;
}

bool Dialog::CreateModeless(HWND owner) {
  if (Hwnd() != nullptr) return false;
  const std::vector<DWORD> block = m_template.Build();
  m_modal = false;
  m_result = -1;
  const HWND window = ::CreateDialogIndirectParamW(
      ModuleInstance(), reinterpret_cast<const DLGTEMPLATE*>(block.data()), owner,
      &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
  return window != nullptr && window == Hwnd();
}

void Dialog::End(INT_PTR code) noexcept {
  m_result = code;
  if (Hwnd() == nullptr) return;
  if (m_modal) {
    ::EndDialog(Hwnd(), code);
  } else {
    ::DestroyWindow(Hwnd());
  }
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
  return OnInitDialog();
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
  Dialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    if (self != nullptr) {
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
  } else {
    self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(window, DWLP_USER));
  }
  if (self == nullptr) return FALSE;

  LRESULT result = 0;
  const bool answered = self->RouteMessage(message, wParam, lParam, result);
  if (message == WM_NCDESTROY) {
    if (!self->m_modal) {
      if (Application* app = Application::Instance()) app->RemoveModelessDialog(window);
    }
    self->ReleaseHandle();
    self->OnFinalMessage();
    return FALSE;
  }
  if (!answered) return FALSE;
  if (ReturnsValueDirectly(message)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
  return TRUE;
}
