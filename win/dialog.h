#pragma once
// Base class of our dialogs: built from an empty in-memory template, children created in
// OnInitDialog, messages answered by the same kind of table as Window.
//
//   class CProgressDlg : public Dialog {
//    public:
//     CProgressDlg() : Dialog(DialogTemplate(WS_POPUP, WS_EX_TOOLWINDOW, 316, 28)) {}
//    private:
//     BOOL OnInitDialog() override;   // create the controls here
//     BEGIN_MESSAGE_TABLE(CProgressDlg, Dialog)
//       MSG_WM_PAINT(OnPaint)
//     END_MESSAGE_TABLE()
//   };
//
// A dialog procedure never sees WM_NCCREATE or WM_CREATE: do creation work in OnInitDialog.
// An unanswered message gets the dialog manager's default processing. OK and Cancel (including
// Escape and WM_CLOSE) end the dialog through OnOK/OnCancel and End.
//
// A modal dialog runs in a message loop of ours, not the system's: its owner is disabled while
// it runs and enabled again before it goes, every message first passes the PreTranslateMessage
// of the windows it concerns (so a control's keyboard handling works as in a modeless dialog),
// End may be called from any handler, and a WM_QUIT ends the loop and is posted again for the
// loop outside. A modal dialog that its OnInitDialog left where the template put it is centred
// over its owner (on the work area when it has none, or the owner is hidden or minimised).
#include <windows.h>

#include "win/dialog_template.h"
#include "win/window.h"

class Dialog : public Window {
 public:
  explicit Dialog(DialogTemplate dialogTemplate);
  ~Dialog() override;

  // Runs the dialog modally; returns the code given to End, or -1 when it could not be created
  // or a WM_QUIT ended it first. `owner` may be any window: its top-level window is the owner.
  INT_PTR DoModal(HWND owner = nullptr);

  // Creates the dialog modeless (not shown unless the template has WS_VISIBLE). The
  // application's message loop gives it keyboard navigation.
  bool CreateModeless(HWND owner = nullptr);

  // Ends a modal dialog with `code` (its loop returns once the current message is handled), or
  // destroys a modeless one (keeping the code). Use this rather than ::EndDialog.
  void End(INT_PTR code) noexcept;

  bool IsModal() const noexcept { return m_modal; }
  // The code the dialog ended with, -1 before it ended.
  INT_PTR Result() const noexcept { return m_result; }

  // The Dialog behind a dialog window of ours, or null.
  static Dialog* FromDialogHandle(HWND window) noexcept;

 protected:
  // Called just before the window is made: for work that can run while it is.
  virtual void OnCreating() {}
  // Create the children here. TRUE lets the system set the focus.
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnOK() { End(IDOK); }
  virtual void OnCancel() { End(IDCANCEL); }

  BEGIN_MESSAGE_TABLE(Dialog, Window)
    MESSAGE_HANDLER(WM_INITDIALOG, HandleInitDialog)
    MESSAGE_HANDLER(WM_COMMAND, HandleCommand)
  END_MESSAGE_TABLE()

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;
  LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT HandleCommand(WPARAM wParam, LPARAM lParam);
  // CreateDialogIndirectParam over the template; the window, or null.
  HWND CreateFromTemplate(HWND owner);
  void RunModalLoop(HWND window);
  // The automatic placement of a modal dialog (see above).
  void CentreIfLeftInPlace(const RECT& before) noexcept;

  DialogTemplate m_template;
  bool m_modal = false;
  bool m_endRequested = false;
  INT_PTR m_result = -1;
};
