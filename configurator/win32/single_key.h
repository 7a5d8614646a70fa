#pragma once
// CSingleKey, the key capture window: the user presses a key (single-key mode) or holds a
// combination of modifiers and one key (combination mode), read system-wide from the keyboard
// hook, and the key field shows it; OK (or Enter) takes it.
//
//   CSingleKey window(KeyCapture::Mode::kCombination, CapturedKeys::PresetOf(button));
//   if (window.DoModal(Hwnd()) == IDOK) {
//     const CapturedKeys& keys = window.Result();  // key, keyCount, block
//   }
//
// The result is IDOK only when a key was captured; OK before any key, Cancel, Escape and a
// missing hook library give IDCANCEL, and the assignment keeps its function.
#include <windows.h>

#include <string>

#include "configurator/captured_keys.h"
#include "configurator/key_capture.h"
#include "configurator/win32/key_dialog.h"
#include "contract/window_messages.h"

class CSingleKey : public KeyDialog {
 public:
  // With the skin's texts for the mode: title and prompt SINGLEKEY 1 and 2 for a single key
  // (the title said twice told the user nothing more), SINGLEKEY 3 and 4 for a combination.
  CSingleKey(KeyCapture::Mode mode, const CapturedKeys& preset);
  CSingleKey(std::u16string title, std::u16string prompt, KeyCapture::Mode mode,
             const CapturedKeys& preset);

  // After IDOK: the key captured (single-key mode) or the combination: its key count, its
  // key steps when it has 2-5 keys, and its key when it has one.
  const CapturedKeys& Result() const noexcept { return m_result; }
  // What the key field shows.
  const std::u16string& KeyText() const noexcept { return m_capture.Text(); }
  KeyCapture::Mode GetMode() const noexcept { return m_capture.GetMode(); }

 private:
  BOOL OnDialogReady() override;
  void OnOK() override;
  LRESULT OnKeyEvent(WPARAM vk, LPARAM flags);

  BEGIN_MESSAGE_TABLE(CSingleKey, KeyDialog)
    MESSAGE_HANDLER(hook_msg::kKeyEvent, OnKeyEvent)
  END_MESSAGE_TABLE()

  KeyCapture m_capture;
  CapturedKeys m_result;
};
