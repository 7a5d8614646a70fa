#include "configurator/win32/warning_dlg.h"

#include <utility>

#include "win/text.h"

CWarningDlg::CWarningDlg(std::u16string first, std::u16string second, std::u16string third)
    : SkinnedDialog(kWarningLayout),
      m_first(std::move(first)),
      m_second(std::move(second)),
      m_third(std::move(third)) {}

BOOL CWarningDlg::OnReady() {
  Label(warning_id::kFirstText).SetText(AsWide(m_first));
  Label(warning_id::kSecondText).SetText(AsWide(m_second));
  Label(warning_id::kThirdText).SetText(AsWide(m_third));
  // Not shown (no caption), but read by screen readers and the task switcher.
  ::SetWindowTextW(Hwnd(), AsWide(m_first));
  return TRUE;
}

void CWarningDlg::PaintWindow(HDC dc, const RECT& client) {
  SkinnedDialog::PaintWindow(dc, client);
  const TableRect& place = warning_layout::kPicturePlace;
  DrawSkinImage(dc, Images().Image(warning_layout::kPicture).get(), place.left, place.top,
                place.Width(), place.Height());
}

bool CWarningDlg::PreTranslateMessage(MSG& msg) {
  // Before any control sees it: Enter confirms even while Cancel has the focus.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
    End(IDOK);
    return true;
  }
  return SkinnedDialog::PreTranslateMessage(msg);
}
