#pragma once
// The library's message-only windows bind their object at WM_NCCREATE. Another process can send
// that number to a live window as well; only the creation run by CreateWindowEx on this thread,
// for the object named in it, binds anything.
#include <windows.h>

class WindowCreation {
 public:
  // Around CreateWindowEx for `object`, which is also its creation parameter.
  explicit WindowCreation(const void* object) noexcept : m_outer(t_object) { t_object = object; }
  ~WindowCreation() { t_object = m_outer; }
  WindowCreation(const WindowCreation&) = delete;
  WindowCreation& operator=(const WindowCreation&) = delete;

  // The object a WM_NCCREATE with this CREATESTRUCT may bind to a window that has none yet;
  // null for one that is not this thread's creation of that object.
  static void* Bindable(LPARAM createStruct) noexcept {
    void* object = reinterpret_cast<const CREATESTRUCTW*>(createStruct)->lpCreateParams;
    return object != nullptr && object == t_object ? object : nullptr;
  }

 private:
  static inline thread_local const void* t_object = nullptr;
  const void* m_outer;
};
