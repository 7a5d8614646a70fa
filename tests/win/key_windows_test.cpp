// The key windows in this process, run modally as the configurator runs them, with keys
// injected through SendInput so that they reach the windows through Snare.dll: what each window
// shows and gives back, Enter acting as OK, and the rapid-fire window's hook following its kind
// and its number fields.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "configurator/key_window_ids.h"
#include "configurator/win32/fire_key_dlg.h"
#include "configurator/win32/single_key.h"
#include "configurator/win32/single_key_dlg.h"
#include "settings/folders.h"
#include "support/modal_script.h"
#include "support/process_harness.h"
#include "support/user_input.h"
#include "win/gdiplus_session.h"
#include "win/text.h"

namespace {

// Steps run one per timer tick inside the window's modal loop.
using Script = harness::ModalScript;

using harness::TypeVirtualKeys;

void Click(const Dialog& window, int id) {
  ::SendMessageW(::GetDlgItem(window.Hwnd(), id), BM_CLICK, 0, 0);
}

class KeyWindowsTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_gdiplus.Started());
    // Snare.dll and the skin beside the test programs.
    SetProcessFolders(ToU16(harness::BinFolder()), ToU16(harness::BinFolder()));
  }
  GdiplusSession m_gdiplus;
};

CapturedKeys PresetKey(std::uint8_t usage) {
  CapturedKeys keys;
  keys.key = usage;
  keys.keyCount = 1;
  return keys;
}

TEST_F(KeyWindowsTest, SingleKeyTakesTheKeyPressedAnywhereAndEnterIsAKeyThatEndsItAsOk) {
  CSingleKey window(u"Press a key", u"Prompt", KeyCapture::Mode::kSingleKey, PresetKey(0x05));
  std::u16string shownFirst, shownAfterA;
  Script script(window, {[&] {
                           shownFirst = window.KeyText();
                           TypeVirtualKeys(L"A");
                         },
                         [&] {
                           shownAfterA = window.KeyText();
                           TypeVirtualKeys(L"\r");
                         }});
  ASSERT_EQ(window.DoModal(), IDOK);
  EXPECT_EQ(shownFirst, u"B");
  EXPECT_EQ(shownAfterA, u"A");
  EXPECT_EQ(window.KeyText(), u"Enter");
  EXPECT_EQ(window.Result().key, 0x28);
  EXPECT_EQ(window.Result().keyCount, 1);
}

TEST_F(KeyWindowsTest, AWindowLeftWithoutAKeyKeepsThePreviousFunction) {
  CSingleKey window(u"Press a key", u"Prompt", KeyCapture::Mode::kSingleKey, PresetKey(0x05));
  Script script(window, {[&] { Click(window, dialog_id::kOk); }});
  EXPECT_EQ(window.DoModal(), IDCANCEL);
  EXPECT_EQ(window.Result().key, 0x05);
}

TEST_F(KeyWindowsTest, FireKeyCapturesOnlyForTheKeyboardKindAndNotWhileANumberIsTyped) {
  CFireKey window(u"Rapid fire", FireKey::Setup{0xF0, 3, 10});
  std::uint8_t firedWithButtonKind = 0, firedAfterKey = 0, firedAfterDigits = 0;
  std::wstring typed;
  const auto field = [&] { return ::GetDlgItem(window.Hwnd(), fire_key_id::kFirstNumber); };
  Script script(window, {
                            [&] { TypeVirtualKeys(L"A"); },  // the left button is fired: no capture
                            [&] {
                              firedWithButtonKind = window.State().Fired();
                              Click(window, fire_key_id::kLastKind);
                            },
                            [&] { TypeVirtualKeys(L"A"); },
                            [&] {
                              firedAfterKey = window.State().Fired();
                              ::SetFocus(field());
                              ::SendMessageW(field(), EM_SETSEL, 0, -1);
                            },
                            [&] { TypeVirtualKeys(L"300"); },
                            [&] {
                              firedAfterDigits = window.State().Fired();
                              typed = WindowText(field());
                              // Enter in the field: OK with the number as typed.
                              TypeVirtualKeys(L"\r");
                            },
                        });
  ASSERT_EQ(window.DoModal(), IDOK);
  EXPECT_EQ(firedWithButtonKind, 0xF0);
  EXPECT_EQ(firedAfterKey, 0x04);
  EXPECT_EQ(firedAfterDigits, 0x04);
  EXPECT_EQ(typed, L"300");
  EXPECT_EQ(window.Result().fired, 0x04);
  EXPECT_EQ(window.Result().loopNumber, 255);  // held to a byte
  EXPECT_EQ(window.Result().keyNumber, 10);
}

TEST_F(KeyWindowsTest, TextInputTakesAtMostTwentyCharactersAndEnterKeepsThem) {
  CSingleKeyDlg window(u"New macro", u"Enter a name:", u"NewMacro 1");
  std::wstring shownFirst;
  Script script(window, {[&] {
                           shownFirst =
                               WindowText(::GetDlgItem(window.Hwnd(), single_key_dlg_id::kText));
                           TypeVirtualKeys(L"ABCDEFGHIJKLMNOPQRSTUVWXY");  // 25 letters
                         },
                         [&] { TypeVirtualKeys(L"\r"); }});
  ASSERT_EQ(window.DoModal(), IDOK);
  EXPECT_EQ(shownFirst, L"NewMacro 1");
  EXPECT_EQ(window.Text(), u"abcdefghijklmnopqrst");
}

}  // namespace
