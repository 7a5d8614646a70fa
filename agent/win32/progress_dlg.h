#pragma once
// The agent's only dialog: a skinned, borderless bar "VireoProgressbar" shown while a full write
// runs. Its outline comes from "updatebar_Mask.BMP", its face from "updatebar_n.jpg" and the
// fill from "updatebar_o.jpg", all below the program folder. The user cannot close it: Escape,
// Enter and the dialog's own OK/Cancel do nothing; its owner hides and destroys it.
//
// A missing picture never stops it: without the mask the window stays rectangular, without the
// face it keeps the size of its template.
#include <windows.h>

#include "skin/d_marker.h"
#include "win/dialog.h"
#include "win/unique_handle.h"

inline constexpr wchar_t kProgressWindowTitle[] = L"VireoProgressbar";
inline constexpr wchar_t kProgressMaskFile[] = L"updatebar_Mask.BMP";
inline constexpr wchar_t kProgressBackgroundFile[] = L"updatebar_n.jpg";
inline constexpr wchar_t kProgressFillFile[] = L"updatebar_o.jpg";

class CProgressDlg : public Dialog {
 public:
  // From template 132, built in memory: popup, no caption, no controls, tool window,
  // 316 x 28 dialog units.
  CProgressDlg();
  ~CProgressDlg() override;

  // Creates the window hidden, owned by `owner`, sized from the face picture.
  bool Create(HWND owner);

  // Window size: that of the face picture, or of the template when it is missing.
  int Width() const noexcept { return m_width; }
  int Height() const noexcept { return m_height; }
  // Whether the mask gave the window its outline.
  bool Shaped() const noexcept { return m_shaped; }

  // percent within 0-100, anything else shows 0; on the screen before the call returns.
  void SetPos(int percent);
  int Pos() const noexcept { return m_bar.Position(); }

  // Swallows the key-downs of Escape and Enter before the dialog manager turns them into
  // Cancel and OK.
  bool PreTranslateMessage(MSG& msg) override;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}

  BEGIN_MESSAGE_TABLE(CProgressDlg, Dialog)
    MSG_WM_PAINT(OnPaint)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MSG_WM_DESTROY(OnDestroy)
  END_MESSAGE_TABLE()

 private:
  void OnPaint();
  LRESULT OnEraseBkgnd(WPARAM, LPARAM) { return TRUE; }
  void OnDestroy();

  UniqueBitmap m_mask;
  UniqueBitmap m_background;
  UniqueBitmap m_fill;
  CDMarker m_bar;
  int m_width = 0;
  int m_height = 0;
  bool m_shaped = false;
};
