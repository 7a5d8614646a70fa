#pragma once
// Carries out the PC-side functions the mouse reports: keyboard shortcuts and browser keys
// typed into whatever has the focus, and three shell actions (lock, browser home page, mail
// client). It keeps no state and never creates a window; one object serves one event.

#include "agent/pc_operation.h"
#include "win/window.h"

class CBasicFunction : public Window {
 public:
  CBasicFunction() = default;

  // The named operation below that belongs to `operation`.
  void Perform(PcOperation operation);

  // Control + X, C, V, A, F, N, P, S.
  void Cut();
  void Copy();
  void Paste();
  void SelectAll();
  void Find();
  void NewDocument();
  void Print();
  void Save();
  // Left Alt + Tab, left Alt + F4.
  void SwitchWindow();
  void CloseWindow();
  // Left Windows + E, R, D.
  void OpenFileExplorer();
  void OpenRunDialog();
  void ShowDesktop();

  // Browser keys; Search is F3.
  void BrowserBack();
  void BrowserForward();
  void BrowserStop();
  void BrowserRefresh();
  void Search();
  void BrowserFavourites();

  // Locks the workstation through rundll32.
  void RunLockCommand();
  // Opens the browser's home page as the browser settings name it: the key's default value
  // when it has a non-empty one, otherwise "Start Page".
  void OpenBrowserHome();
  // Starts the mail client named, in double quotes, by the mailto "open" command.
  void OpenMailClient();

 private:
  void PlayKeys(PcOperation operation);
};
