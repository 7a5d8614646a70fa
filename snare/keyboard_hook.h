#pragma once
// The library's one system-wide low-level keyboard hook. It runs on a thread of its own, so a
// keystroke is passed on to the other programs at once whatever the installing window's thread
// is doing, and it posts every key transition to the installed window while delivery is
// enabled. Delivery and removal are decided under one lock with the posting itself: once
// Enable(false) or Remove() has returned, nothing more is posted.
#include <windows.h>

class KeyboardHook {
 public:
  static KeyboardHook& Instance() noexcept;

  // Makes `target` the window that receives the key events, delivery disabled, and starts the
  // hook when it is not running yet. False when the hook could not be set.
  bool Install(HWND target) noexcept;
  void Enable(bool deliver) noexcept;
  // Forgets the window and ends the hook and its thread.
  void Remove() noexcept;

 private:
  KeyboardHook() = default;

  static DWORD WINAPI ThreadMain(void* parameter) noexcept;
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam) noexcept;
  void Deliver(const KBDLLHOOKSTRUCT& event) noexcept;
  bool StartThread() noexcept;

  SRWLOCK m_lock = SRWLOCK_INIT;  // guards the three below and the posting
  HWND m_target = nullptr;
  bool m_enabled = false;
  bool m_running = false;
  // Used only by the installing and removing thread.
  HANDLE m_thread = nullptr;
  DWORD m_threadId = 0;
};
