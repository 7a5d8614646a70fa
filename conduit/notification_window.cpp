#include "conduit/notification_window.h"

#include <deque>

#include "conduit/conduit.h"

namespace {

constexpr wchar_t kClassName[] = L"ConduitNotificationWindow";
constexpr UINT kOpenedMessage = WM_APP + 1;  // wParam device id, lParam page | usage << 16
constexpr UINT kClosedMessage = WM_APP + 2;
constexpr UINT kRetireMessage = WM_APP + 3;  // destroy from the owning thread
constexpr UINT_PTR kRetryTimer = 1;
constexpr UINT kRetryMilliseconds = 20;

// Where the window sends, and what waits to be sent; owned by the window and freed with it.
struct Target {
  HWND Window;
  UINT Message;
  std::deque<ConduitNotification> Waiting;
};

// Sends what waits, in order. Not while this thread handles a message that another thread
// sent: a notification sent then would look like part of that foreign call, and the receiver
// trusts the record only in a call from its own thread. A timer tries again later.
void Deliver(HWND window, Target& target) {
  if (InSendMessage()) {
    SetTimer(window, kRetryTimer, kRetryMilliseconds, nullptr);
    return;
  }
  KillTimer(window, kRetryTimer);
  while (!target.Waiting.empty()) {
    ConduitNotification record = target.Waiting.front();
    target.Waiting.pop_front();
    // Same thread as the target: a direct call; the record lives on this stack meanwhile.
    SendMessageW(target.Window, target.Message, 1, reinterpret_cast<LPARAM>(&record));
  }
}

HINSTANCE LibraryInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&LibraryInstance), &module);
  return module;
}

}  // namespace

NotificationWindow::NotificationWindow(HWND target, UINT message) {
  HINSTANCE instance = LibraryInstance();
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &NotificationWindow::WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);  // fails harmlessly when already registered

  auto* owned = new Target{target, message, {}};
  m_window =
      CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, owned);
  if (!m_window) delete owned;
}

NotificationWindow::~NotificationWindow() {
  if (!m_window) return;
  if (GetWindowThreadProcessId(m_window, nullptr) == GetCurrentThreadId()) {
    DestroyWindow(m_window);
  } else {
    // Only the owning thread may destroy it; events already queued are delivered first.
    PostMessageW(m_window, kRetireMessage, 0, 0);
  }
}

void NotificationWindow::Post(uint32_t kind, uint32_t deviceId, uint16_t usagePage,
                              uint16_t usage) const {
  if (!m_window) return;
  const UINT message = kind == kConduitCollectionOpened ? kOpenedMessage : kClosedMessage;
  PostMessageW(m_window, message, static_cast<WPARAM>(deviceId),
               static_cast<LPARAM>(usagePage | (static_cast<uint32_t>(usage) << 16)));
}

void NotificationWindow::UnregisterWindowClass() {
  UnregisterClassW(kClassName, LibraryInstance());
}

LRESULT CALLBACK NotificationWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) noexcept {
  auto* target = reinterpret_cast<Target*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE: {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      delete target;
      return 0;
    case kOpenedMessage:
    case kClosedMessage: {
      if (!target) return 0;
      ConduitNotification record{};
      record.EventKind =
          message == kOpenedMessage ? kConduitCollectionOpened : kConduitCollectionClosed;
      record.DeviceId = static_cast<uint32_t>(wParam);
      record.Reserved = static_cast<uint32_t>(lParam) >> 16;  // the collection's usage
      record.UsagePage = static_cast<uint32_t>(lParam) & 0xFFFF;
      target->Waiting.push_back(record);
      Deliver(window, *target);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kRetryTimer && target) Deliver(window, *target);
      return 0;
    case kRetireMessage:
      DestroyWindow(window);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
