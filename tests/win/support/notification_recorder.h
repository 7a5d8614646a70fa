#pragma once
// The window a test registers with Conduit.dll: it keeps every notification it was sent, with
// how it was sent and on which thread.
#include <windows.h>

#include <functional>
#include <vector>

#include "conduit/conduit.h"

namespace harness {

struct Notification {
  ConduitNotification Record;
  DWORD SendKind;  // InSendMessageEx inside the handler
  DWORD Thread;
};

class NotificationRecorder {
 public:
  static constexpr UINT kNotifyMessage = 0x502;
  // Sent with a time in wParam: the window runs a message loop that long, like a handler that
  // pumps while another thread waits for it.
  static constexpr UINT kNestedPumpMessage = WM_APP + 50;

  NotificationRecorder();
  ~NotificationRecorder();
  NotificationRecorder(const NotificationRecorder&) = delete;
  NotificationRecorder& operator=(const NotificationRecorder&) = delete;

  HWND Window() const { return m_window; }
  const std::vector<Notification>& Got() const { return m_got; }
  // Runs this thread's messages until `count` notifications arrived in all.
  bool WaitCount(std::size_t count, DWORD milliseconds = 5000);

  std::function<void()> m_duringNestedPump;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_window = nullptr;
  std::vector<Notification> m_got;
};

}  // namespace harness
