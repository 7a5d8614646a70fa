#pragma once
// The configurator's skinned confirmation box: a warning picture, three lines of text, OK and
// Cancel. Shown modally before a destructive action and when a choice is refused; the caller
// acts only on IDOK. Enter anywhere in it answers OK, Escape Cancel.
//
//   CWarningDlg warning(SkinText(u"WARNING", 6), SkinText(u"WARNING", 7), SkinText(u"WARNING", 8));
//   if (warning.DoModal(Hwnd()) == IDOK) ResetAll();
#include <windows.h>

#include <string>

#include "configurator/warning_layout.h"
#include "skin/skinned_dialog.h"

class CWarningDlg : public SkinnedDialog {
 public:
  CWarningDlg(std::u16string first, std::u16string second, std::u16string third);

  bool PreTranslateMessage(MSG& msg) override;

 private:
  BOOL OnReady() override;
  void PaintWindow(HDC dc, const RECT& client) override;

  std::u16string m_first;
  std::u16string m_second;
  std::u16string m_third;
};
