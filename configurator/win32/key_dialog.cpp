#include "configurator/win32/key_dialog.h"

#include <utility>

#include "configurator/key_window_ids.h"
#include "win/text.h"

KeyDialog::KeyDialog(const WindowLayout& layout, std::u16string title, std::u16string prompt)
    : SkinnedDialog(layout), m_title(std::move(title)), m_prompt(std::move(prompt)) {}

BOOL KeyDialog::OnReady() {
  // The title names the window too, for the taskbar's and the tests' sake.
  ::SetWindowTextW(Hwnd(), AsWide(m_title));
  Label(dialog_id::kTitle).SetText(AsWide(m_title));
  Label(dialog_id::kPrompt).SetText(AsWide(m_prompt));
  return OnDialogReady();
}

void KeyDialog::InstallHook(bool deliver) {
  if (m_hook.Load()) m_hook.Install(Hwnd(), deliver);
}

LRESULT KeyDialog::OnDestroy(WPARAM, LPARAM) {
  m_hook.Remove();
  return 0;
}

bool KeyDialog::TypingIntoField() const {
  const HWND focus = ::GetFocus();
  if (focus == nullptr || ::GetParent(focus) != Hwnd()) return false;
  const ControlRow* row = Controls().Row(::GetDlgCtrlID(focus));
  return row != nullptr && row->Kind() == ControlKind::kEdit;
}

bool KeyDialog::PreTranslateMessage(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) {
    return SkinnedDialog::PreTranslateMessage(msg);
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
    OnOK();
    return true;
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
    OnCancel();
    return true;
  }
  return !TypingIntoField();
}
