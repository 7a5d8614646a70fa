#pragma once
// The message table of a Window or Dialog. A derived class lists the messages it answers, each
// with a member handler of a fixed signature; the compiler checks the signatures. A message the
// table does not answer goes to the base class's table and then to default processing.
//
//   class CTarnhidDlg : public Window {
//     BEGIN_MESSAGE_TABLE(CTarnhidDlg, Window)
//       MSG_WM_CREATE(OnCreate)                 // LRESULT OnCreate(const CREATESTRUCTW&)
//       MSG_WM_TIMER(OnTimer)                   // void OnTimer(UINT_PTR id)
//       COMMAND_ID_HANDLER(6006, OnExit)        // void OnExit()
//       MESSAGE_HANDLER(0x4DE, OnApplyAll)      // LRESULT OnApplyAll(WPARAM, LPARAM)
//       MESSAGE_HANDLER_THEN_DEFAULT(0x502, OnDeviceNotify)
//     END_MESSAGE_TABLE()
//   };
//
// Entries are tried from the top. A handler may call SetMsgHandled(false): the search then goes
// on as if the entry were absent (later entries, the base table, default processing), which is
// how a handler answers a message "and then does the default processing".

#include <type_traits>

#define BEGIN_MESSAGE_TABLE(ThisClass, BaseClass)                                             \
  bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override { \
    static_assert(std::is_base_of_v<BaseClass, ThisClass>, "wrong base in the table");        \
    using MessageTableBase = BaseClass;                                                       \
    static_cast<void>(wParam);                                                                \
    static_cast<void>(lParam);

#define END_MESSAGE_TABLE()                                                 \
  return MessageTableBase::ProcessMessage(message, wParam, lParam, result); \
  }

// Runs `call` for a matching entry and stops the search unless the handler declined.
#define VIREO_MESSAGE_ENTRY_(condition, call) \
  if (condition) {                            \
    SetMsgHandled(true);                      \
    call;                                     \
    if (IsMsgHandled()) return true;          \
  }

// LRESULT handler(WPARAM, LPARAM)
#define MESSAGE_HANDLER(msg, handler) \
  VIREO_MESSAGE_ENTRY_(message == static_cast<UINT>(msg), result = handler(wParam, lParam))

// LRESULT handler(WPARAM, LPARAM) for every message in [first, last].
#define MESSAGE_RANGE_HANDLER(first, last, handler)                                               \
  VIREO_MESSAGE_ENTRY_(message >= static_cast<UINT>(first) && message <= static_cast<UINT>(last), \
                       result = handler(wParam, lParam))

// LRESULT handler(WPARAM, LPARAM); its result is dropped and default processing follows.
#define MESSAGE_HANDLER_THEN_DEFAULT(msg, handler) \
  if (message == static_cast<UINT>(msg)) {         \
    static_cast<void>(handler(wParam, lParam));    \
  }

// LRESULT handler(const CREATESTRUCTW&): 0 to go on, -1 to fail the creation.
#define MSG_WM_CREATE(handler)               \
  VIREO_MESSAGE_ENTRY_(message == WM_CREATE, \
                       result = handler(*reinterpret_cast<const CREATESTRUCTW*>(lParam)))

// void handler()
#define MSG_WM_DESTROY(handler) VIREO_MESSAGE_ENTRY_(message == WM_DESTROY, (handler(), result = 0))

// void handler()
#define MSG_WM_PAINT(handler) VIREO_MESSAGE_ENTRY_(message == WM_PAINT, (handler(), result = 0))

// void handler(UINT_PTR timerId)
#define MSG_WM_TIMER(handler) \
  VIREO_MESSAGE_ENTRY_(message == WM_TIMER, (handler(static_cast<UINT_PTR>(wParam)), result = 0))

// void handler() for one timer id.
#define TIMER_ID_HANDLER(id, handler)                                            \
  VIREO_MESSAGE_ENTRY_(message == WM_TIMER && wParam == static_cast<WPARAM>(id), \
                       (handler(), result = 0))

// void handler(WORD id, WORD notifyCode, HWND control)
#define MSG_WM_COMMAND(handler) \
  VIREO_MESSAGE_ENTRY_(         \
      message == WM_COMMAND,    \
      (handler(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)), result = 0))

// void handler() for one command id (menu item, accelerator or control).
#define COMMAND_ID_HANDLER(id, handler)                                                  \
  VIREO_MESSAGE_ENTRY_(message == WM_COMMAND && LOWORD(wParam) == static_cast<WORD>(id), \
                       (handler(), result = 0))
