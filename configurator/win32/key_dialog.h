#pragma once
// Base of the configurator's small key windows (CSingleKey, CFireKey, CSingleKeyDlg): a skinned
// dialog with a title and a prompt from its opener, and one keyboard rule. Enter runs the OK
// button's steps and Escape cancels wherever the focus is; any other key reaches a control only
// while a field being typed into has the focus. The windows that capture keys read them from the
// keyboard hook (Snare.dll) instead, so a key pressed for capture never also clicks a button.
#include <windows.h>

#include <string>

#include "configurator/win32/snare_library.h"
#include "skin/skinned_dialog.h"

class KeyDialog : public SkinnedDialog {
 public:
  const std::u16string& Title() const noexcept { return m_title; }
  const std::u16string& Prompt() const noexcept { return m_prompt; }

 protected:
  KeyDialog(const WindowLayout& layout, std::u16string title, std::u16string prompt);

  // The controls exist and show the title and the prompt.
  virtual BOOL OnDialogReady() { return TRUE; }
  // Loads the hook library and has it send the key events to this window, delivered from the
  // start or not. The hook is removed when the window goes.
  void InstallHook(bool deliver);
  SnareLibrary& Hook() noexcept { return m_hook; }

  bool PreTranslateMessage(MSG& msg) override;

  BEGIN_MESSAGE_TABLE(KeyDialog, SkinnedDialog)
    MESSAGE_HANDLER_THEN_DEFAULT(WM_DESTROY, OnDestroy)
  END_MESSAGE_TABLE()

 private:
  BOOL OnReady() final;
  LRESULT OnDestroy(WPARAM, LPARAM);
  // Whether the focus is in one of the window's edit fields.
  bool TypingIntoField() const;

  std::u16string m_title;
  std::u16string m_prompt;
  SnareLibrary m_hook;
};
