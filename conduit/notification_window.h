#pragma once
// The library's message-only window on the thread that registered the agent's window. The
// transports' threads queue collection events here; the window sends the notification message
// to the registered window from that same thread, so the receiver sees a call from its own
// thread and the record lives on the stack during the call. While that thread is busy with a
// message sent by another thread, notifications wait (in order) until it is done.
//
// Whatever is posted to the window only wakes it to look at the queue: an event comes only
// from inside the library, so no other process can forge an open or close, or end the window.
#include <windows.h>

#include <cstdint>
#include <memory>

class NotificationWindow {
 public:
  // Creates the window on the calling thread; check Created().
  NotificationWindow(HWND target, UINT message);
  ~NotificationWindow();
  NotificationWindow(const NotificationWindow&) = delete;
  NotificationWindow& operator=(const NotificationWindow&) = delete;

  bool Created() const { return m_window != nullptr; }

  // Any thread. `kind` is kConduitCollectionOpened or kConduitCollectionClosed.
  void Post(uint32_t kind, uint32_t deviceId, uint32_t deviceKey, uint16_t usagePage) const;

  // Window classes of a DLL outlive its unloading; the library removes its class then.
  static void UnregisterWindowClass();

  struct Queue;  // shared by this object and its window

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;

  std::shared_ptr<Queue> m_queue;
  HWND m_window = nullptr;
};
