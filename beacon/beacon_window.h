#pragma once
// beacon.exe's hidden window "VireoMouseBeacon": it puts a tray icon with a short "mouse
// connected" notification up and ends on WM_CLOSE (the agent sends it at shut-down), on a
// click on the icon or the notification, or after ten seconds, taking its icon away.

#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <string>

#include "win/unique_handle.h"
#include "win/window.h"

class CBeaconWnd : public Window {
 public:
  static constexpr UINT kLifetimeMs = 10000;
  static constexpr UINT kIconId = 1;
  static constexpr UINT kTrayCallback = WM_APP + 1;

  // `title` and `text` are the notification's; empty ones take the built-in English texts.
  bool CreateBeaconWindow(std::wstring title, std::wstring text);

  // The title is the address the agent finds the beacon by.
  bool OnlyFromOwnThread(UINT message) const noexcept override { return message == WM_SETTEXT; }

 protected:
  const wchar_t* ClassName() const override { return L"VireoBeaconWindow"; }

  static constexpr UINT_PTR kLifetimeTimer = 1;

  BEGIN_MESSAGE_TABLE(CBeaconWnd, Window)
    MSG_WM_CREATE(OnCreate)
    MSG_WM_DESTROY(OnDestroy)
    TIMER_ID_HANDLER(kLifetimeTimer, OnLifetimeTimer)
    MESSAGE_HANDLER(kTrayCallback, OnTrayCallback)
  END_MESSAGE_TABLE()

 private:
  LRESULT OnCreate(const CREATESTRUCTW& create);
  void OnDestroy();
  void OnLifetimeTimer();
  LRESULT OnTrayCallback(WPARAM, LPARAM event);

  std::wstring m_title, m_text;
  UniqueIcon m_smallIcon;
  NOTIFYICONDATAW m_notifyIcon{};
  bool m_iconAdded = false;
};
