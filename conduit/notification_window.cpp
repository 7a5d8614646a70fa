#include "conduit/notification_window.h"

#include <deque>
#include <mutex>

#include "conduit/conduit.h"
#include "conduit/window_creation.h"
#include "win/module_instance.h"

namespace {

constexpr wchar_t kClassName[] = L"ConduitNotificationWindow";
constexpr UINT kWakeMessage = WM_APP + 1;  // look at the queue; carries nothing
constexpr UINT_PTR kRetryTimer = 1;
constexpr UINT kRetryMilliseconds = 20;

}  // namespace

struct NotificationWindow::Queue {
  HWND Target;
  UINT Message;
  std::mutex Mutex;
  std::deque<ConduitNotification> Waiting;
  bool Retiring = false;    // the owner is gone: deliver what waits, then destroy the window
  bool Destroying = false;  // a WM_NCDESTROY before this is not the system's

  // Sends what waits, in order. Not while this thread handles a message that another thread
  // sent: a notification sent then would look like part of that foreign call, and the
  // receiver trusts the record only in a call from its own thread. A timer tries again later.
  void Deliver(HWND window) {
    for (;;) {
      if (InSendMessage()) {
        SetTimer(window, kRetryTimer, kRetryMilliseconds, nullptr);
        return;
      }
      ConduitNotification record{};
      {
        std::lock_guard lock(Mutex);
        if (Waiting.empty()) break;
        record = Waiting.front();
        Waiting.pop_front();
      }
      // Same thread as the target: a direct call; the record lives on this stack meanwhile.
      SendMessageW(Target, Message, 1, reinterpret_cast<LPARAM>(&record));
    }
    KillTimer(window, kRetryTimer);
    bool retiring;
    {
      std::lock_guard lock(Mutex);
      retiring = Retiring;
    }
    if (retiring) {
      Destroying = true;
      DestroyWindow(window);
    }
  }
};

NotificationWindow::NotificationWindow(HWND target, UINT message)
    : m_queue(std::make_shared<Queue>()) {
  m_queue->Target = target;
  m_queue->Message = message;
  HINSTANCE instance = ThisModuleInstance();
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &NotificationWindow::WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);  // fails harmlessly when already registered

  // The window keeps its own reference to the queue, freed with it.
  auto* owned = new std::shared_ptr<Queue>(m_queue);
  {
    const WindowCreation creation(owned);
    m_window =
        CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, owned);
  }
  if (!m_window) delete owned;
}

NotificationWindow::~NotificationWindow() {
  if (!m_window) return;
  if (GetWindowThreadProcessId(m_window, nullptr) == GetCurrentThreadId()) {
    m_queue->Destroying = true;
    DestroyWindow(m_window);
    return;
  }
  // Only the owning thread may destroy it; events already queued are delivered first.
  {
    std::lock_guard lock(m_queue->Mutex);
    m_queue->Retiring = true;
  }
  PostMessageW(m_window, kWakeMessage, 0, 0);
}

void NotificationWindow::Post(uint32_t kind, uint32_t deviceId, uint32_t deviceKey,
                              uint16_t usagePage) const {
  if (!m_window) return;
  {
    std::lock_guard lock(m_queue->Mutex);
    m_queue->Waiting.push_back({kind, deviceId, deviceKey, usagePage});
  }
  PostMessageW(m_window, kWakeMessage, 0, 0);
}

void NotificationWindow::UnregisterWindowClass() {
  UnregisterClassW(kClassName, ThisModuleInstance());
}

LRESULT CALLBACK NotificationWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) noexcept {
  auto* queue = reinterpret_cast<std::shared_ptr<Queue>*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE: {
      // Bound once, by its creation; the same number from outside is nothing.
      void* created = queue ? nullptr : WindowCreation::Bindable(lParam);
      if (!created) return 0;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
      break;
    }
    case WM_NCDESTROY:
      if (queue && !(*queue)->Destroying) return 0;  // not the library's DestroyWindow
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      delete queue;
      return 0;
    case WM_CLOSE:
      return 0;  // ended by its owner only
    case kWakeMessage:
    case WM_TIMER:
      // Whoever posted it: only what the library queued is delivered.
      if (queue) (*queue)->Deliver(window);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
