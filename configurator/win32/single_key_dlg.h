#pragma once
// CSingleKeyDlg, the text input window: a title, a prompt and a one-line field of at most 20
// characters that starts with the opener's text, selected. OK or Enter takes what was typed.
//
//   CSingleKeyDlg window(SkinText(u"SINGLEKEY", 5), SkinText(u"SINGLEKEY", 6), u"");
//   if (window.DoModal(Hwnd()) == IDOK) Use(window.Text());
#include <windows.h>

#include <string>

#include "configurator/key_window_ids.h"
#include "configurator/win32/key_dialog.h"

class CSingleKeyDlg : public KeyDialog {
 public:
  CSingleKeyDlg(std::u16string title, std::u16string prompt, std::u16string text);

  // After IDOK the text typed; otherwise the text the window started with.
  const std::u16string& Text() const noexcept { return m_text; }

 private:
  BOOL OnDialogReady() override;
  void OnOK() override;
  void PaintWindow(HDC dc, const RECT& client) override;
  HWND Field() { return Edit(single_key_dlg_id::kText).Hwnd(); }

  std::u16string m_text;
};
