#include "configurator/win32/single_key_dlg.h"

#include <utility>

#include "configurator/single_key_dlg_layout.h"
#include "win/text.h"

CSingleKeyDlg::CSingleKeyDlg(std::u16string title, std::u16string prompt, std::u16string text)
    : KeyDialog(kSingleKeyDlgLayout, std::move(title), std::move(prompt)),
      m_text(std::move(text)) {}

BOOL CSingleKeyDlg::OnDialogReady() {
  // Longer preset texts are cut as the field would cut typing.
  ::SetWindowTextW(Field(), AsWide(m_text.substr(0, kSingleKeyDlgTextLimit)));
  ::SendMessageW(Field(), EM_SETSEL, 0, -1);
  ::SetFocus(Field());
  return FALSE;
}

void CSingleKeyDlg::PaintWindow(HDC dc, const RECT& client) {
  SkinnedDialog::PaintWindow(dc, client);
  const TableRect& place = kSingleKeyDlgFieldPicturePlace;
  DrawSkinImage(dc, Images().Image(kSingleKeyDlgFieldPicture).get(), place.left, place.top,
                place.Width(), place.Height());
}

void CSingleKeyDlg::OnOK() {
  m_text = ToU16(WindowText(Field()));
  End(IDOK);
}
