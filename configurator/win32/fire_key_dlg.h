#pragma once
// CFireKey, the rapid-fire window: what a button fires (left, right or middle mouse button, or
// a keyboard key captured from the keyboard hook) and the two numbers the mouse repeats it by.
// The hook delivers keys only while the keyboard kind is chosen and no number field has the
// focus, so digits typed into a field never become the key. OK or Enter takes everything as it
// stands, the numbers held to 0-255.
//
//   CFireKey window(FireKey::Setup::PresetOf(button));
//   if (window.DoModal(Hwnd()) == IDOK && window.Result().fired != CapturedKeys::kNoKey) {
//     // ButtonFunc 12; KeyBlock[0] = fired; LoopNumber, KeyNumber = the two numbers
//   }
//
// `fired` is kNoKey only when the keyboard kind is chosen and no key was captured or preset.
#include <windows.h>

#include <string>

#include "configurator/fire_key.h"
#include "configurator/key_window_ids.h"
#include "configurator/win32/key_dialog.h"
#include "contract/window_messages.h"
#include "skin/control_messages.h"

class CFireKey : public KeyDialog {
 public:
  // With the skin's title (SINGLEKEY 7).
  explicit CFireKey(const FireKey::Setup& preset);
  CFireKey(std::u16string title, const FireKey::Setup& preset);

  // After IDOK: what is fired and the two numbers.
  const FireKey::Setup& Result() const noexcept { return m_result; }
  const FireKey& State() const noexcept { return m_fire; }

 private:
  BOOL OnDialogReady() override;
  void OnOK() override;
  void OnKind(int id);
  void OnNumberFocus(bool gained);
  LRESULT OnKeyEvent(WPARAM vk, LPARAM flags);

  BEGIN_MESSAGE_TABLE(CFireKey, KeyDialog)
    MESSAGE_HANDLER(hook_msg::kKeyEvent, OnKeyEvent)
    MSG_EDIT_FOCUS(OnNumberFocus)
    COMMAND_RANGE_CODE_HANDLER(fire_key_id::kFirstKind, fire_key_id::kLastKind, BN_CLICKED, OnKind)
  END_MESSAGE_TABLE()

  // The kind buttons, the hook and the key field as the state says.
  void ShowState();

  FireKey m_fire;
  FireKey::Setup m_result;
};
