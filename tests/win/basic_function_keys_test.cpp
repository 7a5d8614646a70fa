// The keystrokes of CBasicFunction as the system sees them: a low-level keyboard hook in this
// process records every event while the operation runs on another thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "agent/key_playback.h"
#include "agent/key_synthesiser.h"
#include "agent/win32/basic_function.h"
#include "agent/win32/basic_function_executor.h"

namespace {

struct SeenKey {
  DWORD vk;
  bool up;
  DWORD flags;
  double ms;  // when the hook saw it
};

std::vector<SeenKey>* g_seen = nullptr;

double NowMs() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LRESULT CALLBACK RecordKey(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && g_seen != nullptr) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    const bool up = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
    g_seen->push_back({key->vkCode, up, key->flags, NowMs()});
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD WINAPI RunAction(void* parameter) {
  (*static_cast<std::function<void()>*>(parameter))();
  return 0;
}

// Runs the action on a thread of its own while this thread pumps messages for the hook, and
// returns what the hook saw.
std::vector<SeenKey> KeysOf(std::function<void()> action) {
  std::vector<SeenKey> seen;
  g_seen = &seen;
  HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, RecordKey, GetModuleHandleW(nullptr), 0);
  EXPECT_NE(hook, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, RunAction, &action, 0, nullptr);
  EXPECT_NE(thread, nullptr);
  const DWORD start = GetTickCount();
  while (thread != nullptr && GetTickCount() - start < 10000) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, 100, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (woke == WAIT_OBJECT_0) break;
  }
  if (thread != nullptr) {
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0) << "operation did not end";
    CloseHandle(thread);
  }
  // Events already queued for the hook still arrive.
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  if (hook) UnhookWindowsHookEx(hook);
  g_seen = nullptr;
  return seen;
}

struct KeyStep {
  DWORD vk;
  bool up;
  bool operator==(const KeyStep&) const = default;
};

void PrintTo(const KeyStep& step, std::ostream* out) {
  *out << "0x" << std::hex << step.vk << (step.up ? " up" : " down");
}

std::vector<KeyStep> Steps(const std::vector<SeenKey>& seen) {
  std::vector<KeyStep> steps;
  for (const SeenKey& key : seen) steps.push_back({key.vk, key.up});
  return steps;
}

// The key events the portable playback asks for, as the hook should see them.
class StepRecorder : public KeySynthesiser {
 public:
  void KeyEvent(std::uint8_t virtualKey, std::uint32_t flags) override {
    Steps.push_back({virtualKey, (flags & KEYEVENTF_KEYUP) != 0});
  }
  void Wait(unsigned) override {}
  std::vector<KeyStep> Steps;
};

TEST(BasicFunctionKeysTest, SaveIsControlSHeldAroundTheKeyWithPausesBetween) {
  const std::vector<SeenKey> seen = KeysOf([] { CBasicFunction().Save(); });
  ASSERT_EQ(Steps(seen), (std::vector<KeyStep>{
                             {VK_CONTROL, false}, {'S', false}, {'S', true}, {VK_CONTROL, true}}));
  for (size_t i = 0; i < seen.size(); ++i) {
    EXPECT_TRUE(seen[i].flags & LLKHF_INJECTED) << i;
    // Sent as extended keys, down and up alike.
    EXPECT_TRUE(seen[i].flags & LLKHF_EXTENDED) << i;
    EXPECT_EQ((seen[i].flags & LLKHF_UP) != 0, seen[i].up) << i;
    if (i > 0) {
      EXPECT_GE(seen[i].ms - seen[i - 1].ms, 40.0) << "gap before event " << i;
    }
  }
  // Nothing is left held down.
  EXPECT_EQ(GetAsyncKeyState(VK_CONTROL) & 0x8000, 0);
  EXPECT_EQ(GetAsyncKeyState('S') & 0x8000, 0);
}

TEST(BasicFunctionKeysTest, SwitchAndCloseWindowUseTheLeftAltAndReleaseItLast) {
  EXPECT_EQ(
      Steps(KeysOf([] { CBasicFunction().SwitchWindow(); })),
      (std::vector<KeyStep>{{VK_LMENU, false}, {VK_TAB, false}, {VK_TAB, true}, {VK_LMENU, true}}));
  EXPECT_EQ(
      Steps(KeysOf([] { CBasicFunction().CloseWindow(); })),
      (std::vector<KeyStep>{{VK_LMENU, false}, {VK_F4, false}, {VK_F4, true}, {VK_LMENU, true}}));
  EXPECT_EQ(GetAsyncKeyState(VK_LMENU) & 0x8000, 0);
  EXPECT_EQ(GetAsyncKeyState(VK_MENU) & 0x8000, 0);
}

TEST(BasicFunctionKeysTest, BrowserKeysAndSearchArePressedAndReleased) {
  EXPECT_EQ(Steps(KeysOf([] { CBasicFunction().BrowserBack(); })),
            (std::vector<KeyStep>{{VK_BROWSER_BACK, false}, {VK_BROWSER_BACK, true}}));
  EXPECT_EQ(Steps(KeysOf([] { CBasicFunction().BrowserFavourites(); })),
            (std::vector<KeyStep>{{VK_BROWSER_FAVORITES, false}, {VK_BROWSER_FAVORITES, true}}));
  const std::vector<SeenKey> search = KeysOf([] { CBasicFunction().Search(); });
  ASSERT_EQ(Steps(search), (std::vector<KeyStep>{{VK_F3, false}, {VK_F3, true}}));
  EXPECT_TRUE(search[0].flags & LLKHF_INJECTED);
  EXPECT_TRUE(search[1].flags & LLKHF_UP);
}

TEST(BasicFunctionKeysTest, EveryKeystrokeOperationReachesTheSystemAsPlayed) {
  int keystrokeOperations = 0;
  for (int code = 0x11; code <= 0x26; ++code) {
    const PcOperation operation = *PcOperationForCode(static_cast<std::uint8_t>(code));
    StepRecorder expected;
    if (!PlayKeysOf(operation, expected)) continue;
    ++keystrokeOperations;
    EXPECT_EQ(Steps(KeysOf([operation] { CBasicFunction().Perform(operation); })), expected.Steps)
        << "code " << code;
  }
  EXPECT_EQ(keystrokeOperations, 19);
}

TEST(BasicFunctionKeysTest, TheExecutorPerformsFunctionCodesAndIgnoresOthers) {
  BasicFunctionExecutor executor;
  EXPECT_EQ(
      Steps(KeysOf([&executor] { executor.Perform(0x12); })),
      (std::vector<KeyStep>{{VK_CONTROL, false}, {'C', false}, {'C', true}, {VK_CONTROL, true}}));
  EXPECT_TRUE(KeysOf([&executor] {
                executor.Perform(0x10);
                executor.Perform(0x27);
                executor.Perform(0xFF);
              }).empty());
}

}  // namespace
