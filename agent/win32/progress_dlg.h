#pragma once
// The agent's only dialog: a skinned, borderless bar "VireoProgressbar" shown while a full write
// runs (agent/progress_layout.h: its outline from "updatebar_Mask.BMP", its face from
// "updatebar_n.jpg", the fill from "updatebar_o.jpg", all below the program folder). The user
// cannot close it: Escape, Enter and the dialog's own OK/Cancel do nothing; its owner hides and
// destroys it.
//
// A missing picture never stops it: without the mask the window stays rectangular, without the
// face it keeps the size of its template.
#include <windows.h>

#include "agent/progress_layout.h"
#include "skin/skinned_dialog.h"
#include "win/text.h"

inline constexpr wchar_t kProgressWindowTitle[] = L"VireoProgressbar";
inline const wchar_t* const kProgressMaskFile = AsWide(kProgressMaskName);
inline const wchar_t* const kProgressBackgroundFile = AsWide(kProgressBackgroundName);
inline const wchar_t* const kProgressFillFile = AsWide(kProgressFillName);

class CProgressDlg : public SkinnedDialog {
 public:
  // From template 132, built in memory: popup, no caption, no controls, tool window,
  // 316 x 28 dialog units.
  CProgressDlg();

  // Creates the window hidden, owned by `owner`, sized from the face picture.
  bool Create(HWND owner);

  // Window size: that of the face picture, or of the template when it is missing.
  int Width() const noexcept { return m_width; }
  int Height() const noexcept { return m_height; }

  // percent within 0-100, anything else shows 0; on the screen before the call returns.
  void SetPos(int percent);
  int Pos() const noexcept;

  // Swallows the key-downs of Escape and Enter before the dialog manager turns them into
  // Cancel and OK.
  bool PreTranslateMessage(MSG& msg) override;

 protected:
  BOOL OnReady() override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  int m_width = 0;
  int m_height = 0;
};
