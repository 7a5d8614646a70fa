#include "snare/keyboard_hook.h"

#include "contract/window_messages.h"

namespace {

// Handed to the hook's thread while its creator waits for the outcome.
struct StartState {
  HANDLE ready = nullptr;
  bool installed = false;
};

class ExclusiveLock {
 public:
  explicit ExclusiveLock(SRWLOCK& lock) noexcept : m_lock(lock) {
    ::AcquireSRWLockExclusive(&m_lock);
  }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;
  ~ExclusiveLock() { ::ReleaseSRWLockExclusive(&m_lock); }

 private:
  SRWLOCK& m_lock;
};

// A hook sees the generic Shift, Ctrl and Alt keys only from some injected input; the scan code
// and the extended flag tell their sides.
unsigned SidedVirtualKey(const KBDLLHOOKSTRUCT& event) noexcept {
  const bool extended = (event.flags & LLKHF_EXTENDED) != 0;
  switch (event.vkCode) {
    case VK_SHIFT:
      return event.scanCode == 0x36 ? VK_RSHIFT : VK_LSHIFT;
    case VK_CONTROL:
      return extended ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU:
      return extended ? VK_RMENU : VK_LMENU;
    default:
      return event.vkCode;
  }
}

}  // namespace

KeyboardHook& KeyboardHook::Instance() noexcept {
  static KeyboardHook hook;
  return hook;
}

bool KeyboardHook::Install(HWND target) noexcept {
  {
    ExclusiveLock lock(m_lock);
    m_target = target;
    m_enabled = false;
  }
  if (m_thread != nullptr || StartThread()) return true;
  ExclusiveLock lock(m_lock);
  m_target = nullptr;
  return false;
}

void KeyboardHook::Enable(bool deliver) noexcept {
  ExclusiveLock lock(m_lock);
  m_enabled = deliver;
}

void KeyboardHook::Remove() noexcept {
  {
    ExclusiveLock lock(m_lock);
    m_target = nullptr;
    m_enabled = false;
  }
  if (m_thread == nullptr) return;
  ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
  // The thread only unhooks and ends; a wait that still times out leaves it nothing to post.
  ::WaitForSingleObject(m_thread, 5000);
  ::CloseHandle(m_thread);
  m_thread = nullptr;
  m_threadId = 0;
}

bool KeyboardHook::StartThread() noexcept {
  StartState start;
  start.ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (start.ready == nullptr) return false;
  DWORD id = 0;
  const HANDLE thread = ::CreateThread(nullptr, 0, &KeyboardHook::ThreadMain, &start, 0, &id);
  if (thread == nullptr) {
    ::CloseHandle(start.ready);
    return false;
  }
  // The thread either reports its hook or ends without one.
  const HANDLE waits[] = {start.ready, thread};
  const DWORD woke = ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
  ::CloseHandle(start.ready);
  if (woke != WAIT_OBJECT_0 || !start.installed) {
    ::WaitForSingleObject(thread, INFINITE);
    ::CloseHandle(thread);
    return false;
  }
  m_thread = thread;
  m_threadId = id;
  return true;
}

DWORD WINAPI KeyboardHook::ThreadMain(void* parameter) noexcept {
  auto* start = static_cast<StartState*>(parameter);
  // A reference of the thread's own, so the library stays loaded until the thread has ended,
  // even when its loader lets it go first.
  HMODULE self = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCWSTR>(&KeyboardHook::HookProc), &self);
  MSG msg{};
  // The thread's queue exists before Remove can post its WM_QUIT.
  ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  const HHOOK hook = ::SetWindowsHookExW(WH_KEYBOARD_LL, &KeyboardHook::HookProc, self, 0);
  start->installed = hook != nullptr;
  ::SetEvent(start->ready);  // `start` is gone from here on
  if (hook != nullptr) {
    // Low-level hooks are called while the thread waits for messages.
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    }
    ::UnhookWindowsHookEx(hook);
  }
  if (self != nullptr) ::FreeLibraryAndExitThread(self, 0);
  return 0;
}

LRESULT CALLBACK KeyboardHook::HookProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  if (code == HC_ACTION) Instance().Deliver(*reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam));
  // Every keystroke goes on to the other hooks and programs.
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void KeyboardHook::Deliver(const KBDLLHOOKSTRUCT& event) noexcept {
  const WPARAM vk = SidedVirtualKey(event);
  const LPARAM flags =
      static_cast<LPARAM>(event.flags & (hook_msg::kKeyExtended | hook_msg::kKeyReleased));
  ExclusiveLock lock(m_lock);
  if (m_enabled && m_target != nullptr) ::PostMessageW(m_target, hook_msg::kKeyEvent, vk, flags);
}
