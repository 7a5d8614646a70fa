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

INPUT Key(WORD vk, bool up, DWORD flags = 0, WORD scan = 0) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = scan;
  input.ki.dwFlags = flags | (up ? KEYEVENTF_KEYUP : 0);
  return input;
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
    const DWORD start = ::GetTickCount();
    bool injected = false;
    // Until the injection is over and the events have had time to arrive.
    while (::GetTickCount() - start < 5000) {
      if (!injected && ::WaitForSingleObject(thread, 0) == WAIT_OBJECT_0) {
        injected = true;
        m_injectedAt = ::GetTickCount();
      }
      if (injected && ::GetTickCount() - m_injectedAt > 300) break;
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      MSG msg;
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == hook_msg::kKeyEvent) {
          EXPECT_EQ(msg.hwnd, m_window);
          received.push_back({msg.wParam, msg.lParam});
        } else {
          ::DispatchMessageW(&msg);
        }
      }
    }
    ::CloseHandle(thread);
    return received;
  }

  HWND m_window = nullptr;
  HHOOK m_testHook = nullptr;
  std::vector<DWORD> m_passedOn;
  DWORD m_injectedAt = 0;
  SnareLibrary m_snare;
};

TEST_F(SnareTest, DeliversSidedKeysAndReleasesToTheInstalledWindowAndPassesThemOn) {
  ASSERT_TRUE(m_snare.Load(m_library));
  m_snare.Install(m_window, true);
  ASSERT_TRUE(m_snare.Installed());
  const std::vector<KeyEvent> events = Inject({
      Key('A', false),
      Key('A', true),
      Key(VK_LSHIFT, false),
      Key(VK_LSHIFT, true),
      Key(VK_RSHIFT, false),
      Key(VK_RSHIFT, true),
      // The generic keys as some programs inject them: told apart by scan code and extension.
      Key(VK_SHIFT, false, 0, 0x36),
      Key(VK_SHIFT, true, 0, 0x36),
      Key(VK_CONTROL, false, KEYEVENTF_EXTENDEDKEY),
      Key(VK_CONTROL, true, KEYEVENTF_EXTENDEDKEY),
      Key(VK_LWIN, false),
      Key(VK_LWIN, true),
  });
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
  EXPECT_TRUE(Inject({Key('B', false), Key('B', true)}).empty());
  // Disabled keys still reach everyone else.
  EXPECT_EQ(m_passedOn, (std::vector<DWORD>{'B', 'B'}));

  m_snare.Enable(true);
  EXPECT_EQ(Inject({Key('C', false), Key('C', true)}),
            (std::vector<KeyEvent>{{'C', 0}, {'C', 0x80}}));
  m_snare.Enable(false);
  EXPECT_TRUE(Inject({Key('C', false), Key('C', true)}).empty());

  m_snare.Enable(true);
  m_snare.Remove();
  EXPECT_TRUE(Inject({Key('D', false), Key('D', true)}).empty());
  EXPECT_EQ(m_passedOn, (std::vector<DWORD>{'D', 'D'}));

  // Another window installs it again (the hook thread starts anew).
  m_snare.Install(m_window, true);
  EXPECT_EQ(Inject({Key('E', false), Key('E', true)}),
            (std::vector<KeyEvent>{{'E', 0}, {'E', 0x80}}));
}

TEST_F(SnareTest, TheLibraryCanGoRightAfterItsHookAndComeBack) {
  {
    SnareLibrary snare;
    ASSERT_TRUE(snare.Load(m_library));
    snare.Install(m_window, true);
  }
  EXPECT_TRUE(Inject({Key('F', false), Key('F', true)}).empty());
  EXPECT_EQ(::GetModuleHandleW(L"Snare.dll"), nullptr) << "the hook thread kept the library";

  ASSERT_TRUE(m_snare.Load(m_library));
  m_snare.Install(m_window, true);
  EXPECT_EQ(Inject({Key('G', false), Key('G', true)}),
            (std::vector<KeyEvent>{{'G', 0}, {'G', 0x80}}));
}

}  // namespace
