#include "agent/win32/progress_dlg.h"

CProgressDlg::CProgressDlg()
    : SkinnedDialog(kProgressLayout, DialogTemplate(WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW,
                                                    316, 28, kProgressWindowTitle)) {}

bool CProgressDlg::Create(HWND owner) {
  return CreateModeless(owner);
}

BOOL CProgressDlg::OnReady() {
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  m_width = client.right;
  m_height = client.bottom;
  // No focus at creation: the window is still hidden, and its owner decides when it comes to
  // the front.
  return FALSE;
}

void CProgressDlg::SetPos(int percent) {
  if (auto* bar = static_cast<CDMarker*>(Controls().Find(progress_id::kBar))) {
    bar->SetMarkerPos(percent);
  }
}

int CProgressDlg::Pos() const noexcept {
  const auto* bar = static_cast<const CDMarker*>(Controls().Find(progress_id::kBar));
  return bar != nullptr ? bar->Position() : 0;
}

bool CProgressDlg::PreTranslateMessage(MSG& msg) {
  if (msg.message == WM_KEYDOWN && (msg.wParam == VK_ESCAPE || msg.wParam == VK_RETURN)) {
    return true;
  }
  return SkinnedDialog::PreTranslateMessage(msg);
}
