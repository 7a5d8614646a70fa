#pragma once
// The message table of a Window or Dialog. A derived class lists the messages it answers, each
// with a member handler of a fixed signature; the compiler checks the signatures. A message the
// table does not answer goes to the base class's table and then to default processing.
//
//   class CTarnhidDlg : public Window {
//     BEGIN_MESSAGE_TABLE(CTarnhidDlg, Window)
//       MSG_WM_CREATE(OnCreate)                 // LRESULT OnCreate(const CREATESTRUCTW&)
//       MSG_WM_LBUTTONDOWN(OnPress)             // void OnPress(UINT keys, POINT point)
//       TIMER_ID_HANDLER(534, OnWatchdog)       // void OnWatchdog()
//       COMMAND_ID_HANDLER(6006, OnExit)        // void OnExit()
//       MESSAGE_SIGNAL_HANDLER(0x4DE, OnApplyAll)  // void OnApplyAll()
//       MESSAGE_HANDLER(0x1514, OnMacro)        // LRESULT OnMacro(WPARAM, LPARAM)
//     END_MESSAGE_TABLE()
//   };
//
// Entries are tried from the top. A handler may call SetMsgHandled(false): the search then goes
// on as if the entry were absent (later entries, the base table, default processing), which is
// how a handler answers a message "and then does the default processing".
//
// Structures behind lParam (WM_NOTIFY, WM_DRAWITEM ...) reach a table only when the window base
// has checked that they come from one of the window's own children on its own thread, so typed
// entries hand them out as references. The skinned controls' own messages have entries in
// skin/control_messages.h.
#include <windows.h>

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

// The point of a mouse message, signed: under a capture, or on a monitor left of or above the
// primary one, coordinates are negative.
inline POINT PointFromLParam(LPARAM lParam) noexcept {
  return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// The lParam of a mouse message at `point`, for handlers that pass a message on.
inline LPARAM LParamFromPoint(POINT point) noexcept {
  return MAKELPARAM(point.x, point.y);
}

// Runs `call` for a matching entry and stops the search unless the handler declined.
#define VIREO_MESSAGE_ENTRY_(condition, call) \
  if (condition) {                            \
    SetMsgHandled(true);                      \
    call;                                     \
    if (IsMsgHandled()) return true;          \
  }

// The code a reflected message arrives with at the child it concerns (see Window).
#define VIREO_REFLECTED_(msg) (Window::kReflectedMessageBase + static_cast<UINT>(msg))

// ---------------------------------------------------------------- any message

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

// void handler() for a message whose parameters carry nothing; answered 0.
#define MESSAGE_SIGNAL_HANDLER(msg, handler) \
  VIREO_MESSAGE_ENTRY_(message == static_cast<UINT>(msg), (handler(), result = 0))

// A message answered 0 without any effect (and without default processing).
#define MESSAGE_IGNORED(msg) \
  if (message == static_cast<UINT>(msg)) return (result = 0, true);

// ---------------------------------------------------------------- window life and painting

// LRESULT handler(const CREATESTRUCTW&): 0 to go on, -1 to fail the creation.
#define MSG_WM_CREATE(handler)               \
  VIREO_MESSAGE_ENTRY_(message == WM_CREATE, \
                       result = handler(*reinterpret_cast<const CREATESTRUCTW*>(lParam)))

// void handler()
#define MSG_WM_DESTROY(handler) VIREO_MESSAGE_ENTRY_(message == WM_DESTROY, (handler(), result = 0))

// void handler()
#define MSG_WM_CLOSE(handler) VIREO_MESSAGE_ENTRY_(message == WM_CLOSE, (handler(), result = 0))

// void handler()
#define MSG_WM_PAINT(handler) VIREO_MESSAGE_ENTRY_(message == WM_PAINT, (handler(), result = 0))

// BOOL handler(HDC dc): TRUE when the background is taken care of (double-buffered windows).
#define MSG_WM_ERASEBKGND(handler) \
  VIREO_MESSAGE_ENTRY_(message == WM_ERASEBKGND, result = handler(reinterpret_cast<HDC>(wParam)))

// void handler(HDC dc, UINT flags): draw the client area into `dc` (PrintWindow, screenshots).
#define MSG_WM_PRINTCLIENT(handler) \
  VIREO_MESSAGE_ENTRY_(             \
      message == WM_PRINTCLIENT,    \
      (handler(reinterpret_cast<HDC>(wParam), static_cast<UINT>(lParam)), result = 0))

// void handler(bool enabled)
#define MSG_WM_ENABLE(handler) \
  VIREO_MESSAGE_ENTRY_(message == WM_ENABLE, (handler(wParam != FALSE), result = 0))

// void handler(HWND other): the window that lost (WM_SETFOCUS) or gains (WM_KILLFOCUS) focus.
#define MSG_WM_SETFOCUS(handler)               \
  VIREO_MESSAGE_ENTRY_(message == WM_SETFOCUS, \
                       (handler(reinterpret_cast<HWND>(wParam)), result = 0))
#define MSG_WM_KILLFOCUS(handler)               \
  VIREO_MESSAGE_ENTRY_(message == WM_KILLFOCUS, \
                       (handler(reinterpret_cast<HWND>(wParam)), result = 0))

// void handler(UINT_PTR timerId)
#define MSG_WM_TIMER(handler) \
  VIREO_MESSAGE_ENTRY_(message == WM_TIMER, (handler(static_cast<UINT_PTR>(wParam)), result = 0))

// void handler() for one timer id.
#define TIMER_ID_HANDLER(id, handler)                                            \
  VIREO_MESSAGE_ENTRY_(message == WM_TIMER && wParam == static_cast<WPARAM>(id), \
                       (handler(), result = 0))

// ---------------------------------------------------------------- mouse and keyboard

// void handler(UINT keys, POINT point): MK_* flags and the client point (negative outside).
#define VIREO_MOUSE_ENTRY_(msg, handler) \
  VIREO_MESSAGE_ENTRY_(message == (msg), \
                       (handler(static_cast<UINT>(wParam), PointFromLParam(lParam)), result = 0))
#define MSG_WM_MOUSEMOVE(handler) VIREO_MOUSE_ENTRY_(WM_MOUSEMOVE, handler)
#define MSG_WM_LBUTTONDOWN(handler) VIREO_MOUSE_ENTRY_(WM_LBUTTONDOWN, handler)
#define MSG_WM_LBUTTONUP(handler) VIREO_MOUSE_ENTRY_(WM_LBUTTONUP, handler)
#define MSG_WM_LBUTTONDBLCLK(handler) VIREO_MOUSE_ENTRY_(WM_LBUTTONDBLCLK, handler)
#define MSG_WM_RBUTTONDOWN(handler) VIREO_MOUSE_ENTRY_(WM_RBUTTONDOWN, handler)
#define MSG_WM_RBUTTONUP(handler) VIREO_MOUSE_ENTRY_(WM_RBUTTONUP, handler)
#define MSG_WM_RBUTTONDBLCLK(handler) VIREO_MOUSE_ENTRY_(WM_RBUTTONDBLCLK, handler)
#define MSG_WM_MBUTTONDOWN(handler) VIREO_MOUSE_ENTRY_(WM_MBUTTONDOWN, handler)
#define MSG_WM_MBUTTONUP(handler) VIREO_MOUSE_ENTRY_(WM_MBUTTONUP, handler)

// void handler(UINT keys, int delta, POINT screenPoint): delta in WHEEL_DELTA units, signed.
#define MSG_WM_MOUSEWHEEL(handler)                                                           \
  VIREO_MESSAGE_ENTRY_(message == WM_MOUSEWHEEL,                                             \
                       (handler(GET_KEYSTATE_WPARAM(wParam), GET_WHEEL_DELTA_WPARAM(wParam), \
                                PointFromLParam(lParam)),                                    \
                        result = 0))

// void handler()
#define MSG_WM_MOUSELEAVE(handler) \
  VIREO_MESSAGE_ENTRY_(message == WM_MOUSELEAVE, (handler(), result = 0))

// void handler(HWND newCapture)
#define MSG_WM_CAPTURECHANGED(handler)               \
  VIREO_MESSAGE_ENTRY_(message == WM_CAPTURECHANGED, \
                       (handler(reinterpret_cast<HWND>(lParam)), result = 0))

// BOOL handler(HWND window, UINT hitTest, UINT mouseMessage): TRUE when the cursor was set.
#define MSG_WM_SETCURSOR(handler)                                                                \
  VIREO_MESSAGE_ENTRY_(message == WM_SETCURSOR, result = handler(reinterpret_cast<HWND>(wParam), \
                                                                 LOWORD(lParam), HIWORD(lParam)))

// LRESULT handler(POINT screenPoint): an HT* code.
#define MSG_WM_NCHITTEST(handler) \
  VIREO_MESSAGE_ENTRY_(message == WM_NCHITTEST, result = handler(PointFromLParam(lParam)))

// void handler(UINT virtualKey, LPARAM keyData) (repeat count, scan code and flags).
#define MSG_WM_KEYDOWN(handler)               \
  VIREO_MESSAGE_ENTRY_(message == WM_KEYDOWN, \
                       (handler(static_cast<UINT>(wParam), lParam), result = 0))
#define MSG_WM_KEYUP(handler)               \
  VIREO_MESSAGE_ENTRY_(message == WM_KEYUP, \
                       (handler(static_cast<UINT>(wParam), lParam), result = 0))
// void handler(UINT character, LPARAM keyData)
#define MSG_WM_CHAR(handler) \
  VIREO_MESSAGE_ENTRY_(message == WM_CHAR, (handler(static_cast<UINT>(wParam), lParam), result = 0))

// ---------------------------------------------------------------- from child controls

// void handler(WORD id, WORD notifyCode, HWND control)
#define MSG_WM_COMMAND(handler) \
  VIREO_MESSAGE_ENTRY_(         \
      message == WM_COMMAND,    \
      (handler(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)), result = 0))

// void handler() for one command id (menu item, accelerator or control), any notification.
#define COMMAND_ID_HANDLER(id, handler)                                                  \
  VIREO_MESSAGE_ENTRY_(message == WM_COMMAND && LOWORD(wParam) == static_cast<WORD>(id), \
                       (handler(), result = 0))

// void handler() for one control id and one notification code (BN_CLICKED, EN_CHANGE ...).
#define COMMAND_HANDLER(id, code, handler)                                                 \
  VIREO_MESSAGE_ENTRY_(message == WM_COMMAND && LOWORD(wParam) == static_cast<WORD>(id) && \
                           HIWORD(wParam) == static_cast<WORD>(code),                      \
                       (handler(), result = 0))

// void handler(int id, HWND control) for one notification code from any control.
#define COMMAND_CODE_HANDLER(code, handler)                               \
  VIREO_MESSAGE_ENTRY_(                                                   \
      message == WM_COMMAND && HIWORD(wParam) == static_cast<WORD>(code), \
      (handler(static_cast<int>(LOWORD(wParam)), reinterpret_cast<HWND>(lParam)), result = 0))

// void handler(int id, int code) for the ids in [first, last], any notification.
#define COMMAND_RANGE_HANDLER(first, last, handler)                          \
  VIREO_MESSAGE_ENTRY_(                                                      \
      message == WM_COMMAND && LOWORD(wParam) >= static_cast<WORD>(first) && \
          LOWORD(wParam) <= static_cast<WORD>(last),                         \
      (handler(static_cast<int>(LOWORD(wParam)), static_cast<int>(HIWORD(wParam))), result = 0))

// void handler(int id) for the ids in [first, last] and one notification code.
#define COMMAND_RANGE_CODE_HANDLER(first, last, code, handler)                                \
  VIREO_MESSAGE_ENTRY_(message == WM_COMMAND && LOWORD(wParam) >= static_cast<WORD>(first) && \
                           LOWORD(wParam) <= static_cast<WORD>(last) &&                       \
                           HIWORD(wParam) == static_cast<WORD>(code),                         \
                       (handler(static_cast<int>(LOWORD(wParam))), result = 0))

// LRESULT handler(const NMHDR&) for every notification.
#define MSG_WM_NOTIFY(handler)               \
  VIREO_MESSAGE_ENTRY_(message == WM_NOTIFY, \
                       result = handler(*reinterpret_cast<const NMHDR*>(lParam)))

// LRESULT handler(const NMHDR&) for one control id and one notification code.
#define NOTIFY_HANDLER(id, code, handler)                                                \
  VIREO_MESSAGE_ENTRY_(                                                                  \
      message == WM_NOTIFY &&                                                            \
          reinterpret_cast<const NMHDR*>(lParam)->idFrom == static_cast<UINT_PTR>(id) && \
          reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(code),       \
      result = handler(*reinterpret_cast<const NMHDR*>(lParam)))

// LRESULT handler(const NMHDR&) for one notification code from any control.
#define NOTIFY_CODE_HANDLER(code, handler)                                                     \
  VIREO_MESSAGE_ENTRY_(message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == \
                                                   static_cast<UINT>(code),                    \
                       result = handler(*reinterpret_cast<const NMHDR*>(lParam)))

// BOOL handler(int id, const DRAWITEMSTRUCT&)
#define MSG_WM_DRAWITEM(handler)                                  \
  VIREO_MESSAGE_ENTRY_(message == WM_DRAWITEM,                    \
                       result = handler(static_cast<int>(wParam), \
                                        *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))

// void handler(int id, MEASUREITEMSTRUCT&)
#define MSG_WM_MEASUREITEM(handler)                                                      \
  VIREO_MESSAGE_ENTRY_(                                                                  \
      message == WM_MEASUREITEM,                                                         \
      (handler(static_cast<int>(wParam), *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)), \
       result = TRUE))

// HBRUSH handler(HDC dc, HWND control): colours of a child control about to paint.
#define VIREO_CTLCOLOR_ENTRY_(msg, handler)                        \
  VIREO_MESSAGE_ENTRY_(message == (msg),                           \
                       result = reinterpret_cast<LRESULT>(handler( \
                           reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))))
#define MSG_WM_CTLCOLORSTATIC(handler) VIREO_CTLCOLOR_ENTRY_(WM_CTLCOLORSTATIC, handler)
#define MSG_WM_CTLCOLOREDIT(handler) VIREO_CTLCOLOR_ENTRY_(WM_CTLCOLOREDIT, handler)
#define MSG_WM_CTLCOLORLISTBOX(handler) VIREO_CTLCOLOR_ENTRY_(WM_CTLCOLORLISTBOX, handler)
#define MSG_WM_CTLCOLORBTN(handler) VIREO_CTLCOLOR_ENTRY_(WM_CTLCOLORBTN, handler)
#define MSG_WM_CTLCOLORDLG(handler) VIREO_CTLCOLOR_ENTRY_(WM_CTLCOLORDLG, handler)
#define MSG_WM_CTLCOLORSCROLLBAR(handler) VIREO_CTLCOLOR_ENTRY_(WM_CTLCOLORSCROLLBAR, handler)

// void handler(int request, int position, HWND scrollBar): SB_* request; the position only for
// SB_THUMBPOSITION and SB_THUMBTRACK; scrollBar null for the window's own bar.
#define MSG_WM_HSCROLL(handler)                                                                    \
  VIREO_MESSAGE_ENTRY_(message == WM_HSCROLL,                                                      \
                       (handler(static_cast<int>(LOWORD(wParam)),                                  \
                                static_cast<int>(HIWORD(wParam)), reinterpret_cast<HWND>(lParam)), \
                        result = 0))
#define MSG_WM_VSCROLL(handler)                                                                    \
  VIREO_MESSAGE_ENTRY_(message == WM_VSCROLL,                                                      \
                       (handler(static_cast<int>(LOWORD(wParam)),                                  \
                                static_cast<int>(HIWORD(wParam)), reinterpret_cast<HWND>(lParam)), \
                        result = 0))

// ---------------------------------------------------------------- reflected to the control

// A parent that does not answer a message about one of its children offers it to that child
// (a Window of ours) as a reflected message: the control draws, colours or notifies itself.

// LRESULT handler(WPARAM, LPARAM) for the reflected form of `msg`.
#define REFLECTED_MESSAGE_HANDLER(msg, handler) \
  VIREO_MESSAGE_ENTRY_(message == VIREO_REFLECTED_(msg), result = handler(wParam, lParam))

// BOOL handler(const DRAWITEMSTRUCT&)
#define REFLECTED_WM_DRAWITEM(handler)                           \
  VIREO_MESSAGE_ENTRY_(message == VIREO_REFLECTED_(WM_DRAWITEM), \
                       result = handler(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))

// void handler(MEASUREITEMSTRUCT&)
#define REFLECTED_WM_MEASUREITEM(handler)                           \
  VIREO_MESSAGE_ENTRY_(message == VIREO_REFLECTED_(WM_MEASUREITEM), \
                       (handler(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)), result = TRUE))

// HBRUSH handler(HDC dc): the control's own colours.
#define VIREO_REFLECTED_CTLCOLOR_(msg, handler)          \
  VIREO_MESSAGE_ENTRY_(message == VIREO_REFLECTED_(msg), \
                       result = reinterpret_cast<LRESULT>(handler(reinterpret_cast<HDC>(wParam))))
#define REFLECTED_WM_CTLCOLORSTATIC(handler) VIREO_REFLECTED_CTLCOLOR_(WM_CTLCOLORSTATIC, handler)
#define REFLECTED_WM_CTLCOLOREDIT(handler) VIREO_REFLECTED_CTLCOLOR_(WM_CTLCOLOREDIT, handler)
#define REFLECTED_WM_CTLCOLORLISTBOX(handler) VIREO_REFLECTED_CTLCOLOR_(WM_CTLCOLORLISTBOX, handler)
#define REFLECTED_WM_CTLCOLORBTN(handler) VIREO_REFLECTED_CTLCOLOR_(WM_CTLCOLORBTN, handler)

// void handler() for the control's own notification `code` (BN_CLICKED, LBN_SELCHANGE ...).
#define REFLECTED_COMMAND_CODE_HANDLER(code, handler)                                       \
  VIREO_MESSAGE_ENTRY_(                                                                     \
      message == VIREO_REFLECTED_(WM_COMMAND) && HIWORD(wParam) == static_cast<WORD>(code), \
      (handler(), result = 0))

// LRESULT handler(const NMHDR&) for the control's own notification `code`.
#define REFLECTED_NOTIFY_CODE_HANDLER(code, handler)                               \
  VIREO_MESSAGE_ENTRY_(                                                            \
      message == VIREO_REFLECTED_(WM_NOTIFY) &&                                    \
          reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(code), \
      result = handler(*reinterpret_cast<const NMHDR*>(lParam)))
