#pragma once
// The messages the skinned controls send to the window they belong to, and a typed
// message-table entry for each, so a handler reads e.g. `void OnSliderMoved(int id, int value)`.
// The numbers are the controls' contract with their windows (posted unless said otherwise).
//
//   BEGIN_MESSAGE_TABLE(CTunerDlg, SkinnedDialog)
//     MSG_SLIDER_MOVED(OnSliderMoved)
//     MSG_MENU_CHOICE(OnMenuChoice)
//   END_MESSAGE_TABLE()
#include <windows.h>

#include <cstdint>

#include "skin/core/bmp_menu_layout.h"
#include "win/message_table.h"

// CBitmapBtn, after every mouse move over the button: wParam = the button's window.
inline constexpr UINT kBitmapBtnMouseMoveMessage = WM_USER + 4369;  // 0x1511
// A slider's new value: wParam = value, lParam = the slider's id.
inline constexpr UINT kSliderValueMessage = WM_USER + 4371;  // 0x1513
// CListBoxEx: right button released over a row (wParam row, lParam row data); a delay edited
// in place (wParam value, lParam the edited row); left button pressed over a row of a macro
// list (wParam row, lParam row data).
inline constexpr UINT kListRightClickMessage = WM_USER + 12288;   // 0x3400
inline constexpr UINT kListDelayEditedMessage = WM_USER + 12289;  // 0x3401
inline constexpr UINT kMacroListClickMessage = WM_USER + 12290;   // 0x3402
// CClrEdit: a key released (wParam virtual key, lParam the field's tag), when asked for; the
// focus gained (wParam 1) or lost (wParam 2).
inline constexpr UINT kClrEditKeyUpMessage = WM_USER + 4098;  // 0x1402
inline constexpr UINT kClrEditFocusMessage = WM_USER + 4099;  // 0x1403
inline constexpr WPARAM kClrEditFocusGained = 1;
inline constexpr WPARAM kClrEditFocusLost = 2;
// The menus' 0x500 (cascade to menu) and 0x501 (menu to its parent) are in bmp_menu_layout.h.

// void handler(HWND button)
#define MSG_BUTTON_HOVER(handler)                             \
  VIREO_MESSAGE_ENTRY_(message == kBitmapBtnMouseMoveMessage, \
                       (handler(reinterpret_cast<HWND>(wParam)), result = 0))

// void handler(int id, int value)
#define MSG_SLIDER_MOVED(handler)                      \
  VIREO_MESSAGE_ENTRY_(message == kSliderValueMessage, \
                       (handler(static_cast<int>(lParam), static_cast<int>(wParam)), result = 0))

// void handler(int row, std::uintptr_t rowData)
#define MSG_LIST_RIGHT_CLICK(handler)    \
  VIREO_MESSAGE_ENTRY_(                  \
      message == kListRightClickMessage, \
      (handler(static_cast<int>(wParam), static_cast<std::uintptr_t>(lParam)), result = 0))

// void handler(int row, int value)
#define MSG_LIST_DELAY_EDITED(handler)                     \
  VIREO_MESSAGE_ENTRY_(message == kListDelayEditedMessage, \
                       (handler(static_cast<int>(lParam), static_cast<int>(wParam)), result = 0))

// void handler(int row, std::uintptr_t rowData)
#define MSG_MACRO_LIST_CLICK(handler)    \
  VIREO_MESSAGE_ENTRY_(                  \
      message == kMacroListClickMessage, \
      (handler(static_cast<int>(wParam), static_cast<std::uintptr_t>(lParam)), result = 0))

// void handler(const DecodedMenuChoice& choice): row and sub-row, their ids.
#define MSG_MENU_CHOICE(handler)                                                       \
  VIREO_MESSAGE_ENTRY_(message == kMenuChoiceMessage,                                  \
                       (handler(DecodeMenuChoice(static_cast<std::uint32_t>(wParam),   \
                                                 static_cast<std::uint32_t>(lParam))), \
                        result = 0))

// void handler(int parentRow, int subRow, int subRowId): inside a menu, from its cascade.
#define MSG_SUBMENU_CHOICE(handler)                                                           \
  VIREO_MESSAGE_ENTRY_(message == kSubMenuChoiceMessage,                                      \
                       (handler(static_cast<int>(static_cast<std::uint32_t>(wParam) >> 16),   \
                                static_cast<int>(wParam & 0xFFFF), static_cast<int>(lParam)), \
                        result = 0))

// void handler(UINT virtualKey, int tag)
#define MSG_EDIT_KEY_UP(handler)                        \
  VIREO_MESSAGE_ENTRY_(message == kClrEditKeyUpMessage, \
                       (handler(static_cast<UINT>(wParam), static_cast<int>(lParam)), result = 0))

// void handler(bool gained)
#define MSG_EDIT_FOCUS(handler)                         \
  VIREO_MESSAGE_ENTRY_(message == kClrEditFocusMessage, \
                       (handler(wParam == kClrEditFocusGained), result = 0))
