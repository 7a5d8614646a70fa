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
#include "support/process_harness.h"
#include "win/gdiplus_session.h"
#include "win/text.h"

namespace {

constexpr unsigned kStepMs = 120;

// Steps run one per timer tick on the window's own thread, inside its modal loop, the window
// brought to the front first; the window is closed should the steps have left it open.
class Script {
 public:
  Script(Dialog& window, std::vector<std::function<void()>> steps)
      : m_window(window), m_steps(std::move(steps)) {
    s_current = this;
    m_timer = ::SetTimer(nullptr, 0, kStepMs, &Script::Tick);
  }
  ~Script() {
    ::KillTimer(nullptr, m_timer);
    s_current = nullptr;
  }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script* self = s_current;
    const HWND window = self != nullptr ? self->m_window.Hwnd() : nullptr;
    if (window == nullptr) return;
    if (self->m_next == 0) ::SetForegroundWindow(window);
    if (self->m_next < self->m_steps.size()) {
      self->m_steps[self->m_next++]();
    } else if (++self->m_idleTicks > 10) {
      ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
  }

  static inline Script* s_current = nullptr;
  Dialog& m_window;
  std::vector<std::function<void()>> m_steps;
  std::size_t m_next = 0;
  int m_idleTicks = 0;
  UINT_PTR m_timer = 0;
};

INPUT Key(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

void Send(std::vector<INPUT> inputs) {
  for (INPUT& input : inputs) ::SendInput(1, &input, sizeof(INPUT));
}

// Each key pressed and released in turn; the letters are the keys' virtual keys.
void Type(std::wstring_view keys) {
  for (const wchar_t vk : keys) Send({Key(vk, false), Key(vk, true)});
}

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
                           Type(L"A");
                         },
                         [&] {
                           shownAfterA = window.KeyText();
                           Type(L"\r");
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
                            [&] { Type(L"A"); },  // the left button is fired: no capture
                            [&] {
                              firedWithButtonKind = window.State().Fired();
                              Click(window, fire_key_id::kLastKind);
                            },
                            [&] { Type(L"A"); },
                            [&] {
                              firedAfterKey = window.State().Fired();
                              ::SetFocus(field());
                              ::SendMessageW(field(), EM_SETSEL, 0, -1);
                            },
                            [&] { Type(L"300"); },
                            [&] {
                              firedAfterDigits = window.State().Fired();
                              typed = WindowText(field());
                              // Enter in the field: OK with the number as typed.
                              Type(L"\r");
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
                           Type(L"ABCDEFGHIJKLMNOPQRSTUVWXY");  // 25 letters
                         },
                         [&] { Type(L"\r"); }});
  ASSERT_EQ(window.DoModal(), IDOK);
  EXPECT_EQ(shownFirst, L"NewMacro 1");
  EXPECT_EQ(window.Text(), u"abcdefghijklmnopqrst");
}

}  // namespace
