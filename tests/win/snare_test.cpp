// Snare.dll as the configurator loads it (SnareLibrary over the built library): key events
// injected with SendInput reach the installed window as 0x8D2 with the sided virtual key and the
// release bit, only while delivery is enabled and never after removehook, and every keystroke
// still goes on to the hooks and programs after it.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "configurator/win32/snare_library.h"
#include "contract/window_messages.h"
#include "support/process_harness.h"

namespace {

struct KeyEvent {
  WPARAM vk;
  LPARAM flags;
  bool operator==(const KeyEvent&) const = default;
};

std::ostream& operator<<(std::ostream& out, const KeyEvent& event) {
  return out << "{0x" << std::hex << event.vk << ", 0x" << event.flags << std::dec << "}";
}

// Key events of the keyboard as a low-level hook installed before Snare's sees them: only what
// Snare passes on.
std::vector<DWORD>* g_passedOn = nullptr;

LRESULT CALLBACK RecordPassedOn(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && g_passedOn != nullptr) {
    g_passedOn->push_back(reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode);
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

INPUT Key(WORD vk, DWORD flags = 0, WORD scan = 0) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = scan;
  input.ki.dwFlags = flags;
  return input;
}

// Each key pressed and released.
std::vector<INPUT> Taps(std::initializer_list<INPUT> keys) {
  std::vector<INPUT> inputs;
  for (INPUT key : keys) {
    inputs.push_back(key);
    key.ki.dwFlags |= KEYEVENTF_KEYUP;
    inputs.push_back(key);
  }
  return inputs;
}

DWORD WINAPI InjectInputs(void* parameter) {
  auto* inputs = static_cast<std::vector<INPUT>*>(parameter);
  for (INPUT& input : *inputs) {
    ::SendInput(1, &input, sizeof(INPUT));
    ::Sleep(5);
  }
  return 0;
}

class SnareTest : public testing::Test {
 protected:
  const std::wstring m_library = harness::BinFolder() + L"Snare.dll";

  void SetUp() override {
    m_window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                 nullptr);
    ASSERT_NE(m_window, nullptr);
    g_passedOn = &m_passedOn;
    m_testHook =
        ::SetWindowsHookExW(WH_KEYBOARD_LL, RecordPassedOn, ::GetModuleHandleW(nullptr), 0);
    ASSERT_NE(m_testHook, nullptr);
  }
  void TearDown() override {
    m_snare.Remove();
    if (m_testHook != nullptr) ::UnhookWindowsHookEx(m_testHook);
    g_passedOn = nullptr;
    if (m_window != nullptr) ::DestroyWindow(m_window);
  }

  // Injects the keys from another thread while this one answers its hook, and returns the hook
  // messages the window received.
  std::vector<KeyEvent> Inject(std::vector<INPUT> inputs) {
    m_passedOn.clear();
    const HANDLE thread = ::CreateThread(nullptr, 0, InjectInputs, &inputs, 0, nullptr);
    EXPECT_NE(thread, nullptr);
    std::vector<KeyEvent> received;
    // Until the injection is over and its events have had time to arrive.
    DWORD doneAt = 0;
    for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < 5000;) {
      if (doneAt == 0 &&
          ::MsgWaitForMultipleObjects(1, &thread, FALSE, 20, QS_ALLINPUT) == WAIT_OBJECT_0)
        doneAt = ::GetTickCount();
      if (doneAt != 0 && ::GetTickCount() - doneAt > 300) break;
      MSG msg;
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == hook_msg::kKeyEvent && msg.hwnd == m_window) {
          received.push_back({msg.wParam, msg.lParam});
        }
        ::DispatchMessageW(&msg);
      }
    }
    ::CloseHandle(thread);
    return received;
  }

  HWND m_window = nullptr;
  HHOOK m_testHook = nullptr;
  std::vector<DWORD> m_passedOn;
  SnareLibrary m_snare;
};

TEST_F(SnareTest, DeliversSidedKeysAndReleasesToTheInstalledWindowAndPassesThemOn) {
  ASSERT_TRUE(m_snare.Load(m_library));
  m_snare.Install(m_window, true);
  ASSERT_TRUE(m_snare.Installed());
  // The generic Shift and Ctrl as some programs inject them: told apart by scan code and
  // extension.
  const std::vector<KeyEvent> events =
      Inject(Taps({Key('A'), Key(VK_LSHIFT), Key(VK_RSHIFT), Key(VK_SHIFT, 0, 0x36),
                   Key(VK_CONTROL, KEYEVENTF_EXTENDEDKEY), Key(VK_LWIN)}));
  const std::vector<KeyEvent> expected = {
      {'A', 0},         {'A', 0x80},         {VK_LSHIFT, 0}, {VK_LSHIFT, 0x80},
      {VK_RSHIFT, 0},   {VK_RSHIFT, 0x80},   {VK_RSHIFT, 0}, {VK_RSHIFT, 0x80},
      {VK_RCONTROL, 1}, {VK_RCONTROL, 0x81}, {VK_LWIN, 0},   {VK_LWIN, 0x80},
  };
  EXPECT_EQ(events, expected);
  // The hook after Snare's saw every one of them.
  EXPECT_EQ(m_passedOn.size(), expected.size());
}

TEST_F(SnareTest, NothingArrivesWhileDisabledOrAfterRemoval) {
  ASSERT_TRUE(m_snare.Load(m_library));
  m_snare.Install(m_window, false);
  EXPECT_TRUE(Inject(Taps({Key('B')})).empty());
  // Disabled keys still reach everyone else.
  EXPECT_EQ(m_passedOn, (std::vector<DWORD>{'B', 'B'}));

  m_snare.Enable(true);
  EXPECT_EQ(Inject(Taps({Key('C')})), (std::vector<KeyEvent>{{'C', 0}, {'C', 0x80}}));
  m_snare.Remove();
  EXPECT_TRUE(Inject(Taps({Key('D')})).empty());
  EXPECT_EQ(m_passedOn, (std::vector<DWORD>{'D', 'D'}));

  // Another window installs it again (the hook thread starts anew).
  m_snare.Install(m_window, true);
  EXPECT_EQ(Inject(Taps({Key('E')})), (std::vector<KeyEvent>{{'E', 0}, {'E', 0x80}}));
}

TEST_F(SnareTest, TheLibraryCanGoRightAfterItsHookAndComeBack) {
  {
    SnareLibrary snare;
    ASSERT_TRUE(snare.Load(m_library));
    snare.Install(m_window, true);
  }
  EXPECT_TRUE(Inject(Taps({Key('F')})).empty());
  EXPECT_EQ(::GetModuleHandleW(L"Snare.dll"), nullptr) << "the hook thread kept the library";

  ASSERT_TRUE(m_snare.Load(m_library));
  m_snare.Install(m_window, true);
  EXPECT_EQ(Inject(Taps({Key('G')})), (std::vector<KeyEvent>{{'G', 0}, {'G', 0x80}}));
}

}  // namespace
