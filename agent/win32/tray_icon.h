#pragma once
// The agent's icon in the notification area. It keeps the record it added, so the icon can be
// put back when the shell's task bar is re-created (Explorer restarted), and removes it when the
// agent ends.

#include <windows.h>
// after windows.h
#include <shellapi.h>

#include "win/unique_handle.h"

class TrayIcon {
 public:
  TrayIcon() = default;
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;
  ~TrayIcon() { Remove(); }

  // Adds the icon of `window` with the given id, callback message and tip; the picture is the
  // small icon the shell shows for the program file of `program`: its first icon group. Returns
  // whether the shell took it.
  bool Add(HWND window, UINT id, UINT callbackMessage, HMODULE program, const wchar_t* tip);
  // Adds the same icon again after the task bar was re-created; nothing when none was added.
  bool Restore();
  // Takes the icon out of the notification area and frees its picture.
  void Remove() noexcept;

  bool Added() const noexcept { return m_added; }

  // The message the shell broadcasts when the task bar is (re-)created.
  static UINT TaskbarCreatedMessage() noexcept;

 private:
  NOTIFYICONDATAW m_data{};
  UniqueIcon m_icon;
  bool m_added = false;
};
