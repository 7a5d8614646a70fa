#pragma once
// The library's message-only window on the thread that registered the agent's window. The
// transports' threads post collection events to it; it sends the notification message to the
// registered window from that same thread, so the receiver sees a call from its own thread and
// the record lives on the stack during the call. While that thread is busy with a message sent
// by another thread, notifications wait (in order) until it is done.
#include <windows.h>

#include <cstdint>

class NotificationWindow {
 public:
  // Creates the window on the calling thread; check Created().
  NotificationWindow(HWND target, UINT message);
  ~NotificationWindow();
  NotificationWindow(const NotificationWindow&) = delete;
  NotificationWindow& operator=(const NotificationWindow&) = delete;

  bool Created() const { return m_window != nullptr; }

  // Any thread. `kind` is kConduitCollectionOpened or kConduitCollectionClosed.
  void Post(uint32_t kind, uint32_t deviceId, uint16_t usagePage, uint16_t usage) const;

  // Window classes of a DLL outlive its unloading; the library removes its class then.
  static void UnregisterWindowClass();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;

  HWND m_window = nullptr;
};
