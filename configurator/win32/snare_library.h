#pragma once
// Snare.dll, the keyboard hook, loaded at run time from the program folder and owned for one
// window's life. Without the library, or without one of its entry points, the calls do nothing
// and the window simply receives no keys.
//
//   m_hook.Load();                 // in OnReady
//   m_hook.Install(Hwnd(), true);  // key events arrive as hook_msg::kKeyEvent
//   ...
//   m_hook.Remove();               // at WM_DESTROY; the destructor does it too
#include <windows.h>

#include <string>

#include "win/unique_handle.h"

class SnareLibrary {
 public:
  SnareLibrary() = default;
  SnareLibrary(const SnareLibrary&) = delete;
  SnareLibrary& operator=(const SnareLibrary&) = delete;
  // Removes the hook, then lets go of the library (its hook thread keeps it loaded until it
  // has ended).
  ~SnareLibrary();

  // Loads "<program folder>Snare.dll", or the library at `path`. False when it is missing.
  bool Load();
  bool Load(const std::wstring& path);
  bool Loaded() const noexcept { return static_cast<bool>(m_module); }

  // Sends the key events to `window` (installhook), delivered from the start or not
  // (enablehook). Another window may take them over later.
  void Install(HWND window, bool deliver);
  void Enable(bool deliver);
  // Delivery off and the hook removed; nothing arrives afterwards.
  void Remove();
  bool Installed() const noexcept { return m_installed; }

 private:
  using InstallHook = int(__cdecl*)(HWND);
  using RemoveHook = int(__cdecl*)();
  using EnableHook = int(__cdecl*)(int);

  UniqueModule m_module;
  InstallHook m_installHook = nullptr;
  RemoveHook m_removeHook = nullptr;
  EnableHook m_enableHook = nullptr;
  bool m_installed = false;
};
