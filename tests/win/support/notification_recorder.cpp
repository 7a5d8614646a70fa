#include "support/notification_recorder.h"

#include "support/process_harness.h"

namespace harness {

NotificationRecorder::NotificationRecorder() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &NotificationRecorder::Proc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"ConduitTestRecorder";
  RegisterClassW(&windowClass);
  m_window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                             nullptr, windowClass.hInstance, nullptr);
  SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

NotificationRecorder::~NotificationRecorder() {
  DestroyWindow(m_window);
}

bool NotificationRecorder::WaitCount(std::size_t count, DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  while (m_got.size() < count && GetTickCount64() < end) PumpMessages(20);
  return m_got.size() >= count;
}

LRESULT CALLBACK NotificationRecorder::Proc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  auto* self = reinterpret_cast<NotificationRecorder*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self && message == kNestedPumpMessage) {
    if (self->m_duringNestedPump) self->m_duringNestedPump();
    PumpMessages(static_cast<DWORD>(wParam));
    return 0;
  }
  if (self && message == kNotifyMessage && wParam == 1) {
    self->m_got.push_back({*reinterpret_cast<const ConduitNotification*>(lParam),
                           InSendMessageEx(nullptr), GetCurrentThreadId()});
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace harness
