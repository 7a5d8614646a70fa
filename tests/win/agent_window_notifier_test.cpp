// Removing a macro from the library tells a running agent which slot to clear.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "contract/program_names.h"
#include "settings/macro_library.h"
#include "settings/win32/agent_window_notifier.h"
#include "support/process_harness.h"
#include "win/text.h"

namespace {

struct Received {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

std::vector<Received> g_received;

LRESULT CALLBACK FakeAgentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_USER) {
    g_received.push_back({message, wParam, lParam});
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// A window with the agent's title that records what it is sent.
class FakeAgent {
 public:
  FakeAgent() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = FakeAgentProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VireoFakeAgent";
    RegisterClassW(&windowClass);
    m_window =
        CreateWindowExW(0, windowClass.lpszClassName, AsWide(program_names::kAgentWindowTitle),
                        WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, windowClass.hInstance, nullptr);
  }
  ~FakeAgent() { DestroyWindow(m_window); }
  HWND Hwnd() const { return m_window; }

 private:
  HWND m_window = nullptr;
};

TEST(AgentWindowNotifierTest, RemovingAMacroSendsItsSlotToTheAgent) {
  harness::TempFolder data;
  ASSERT_TRUE(CreateDirectoryW((data.Path() + L"MacroDB").c_str(), nullptr));
  MacroLibrary library(ToU16(data.Path()));
  ASSERT_EQ(library.AddMacroName(u"First"), 0);
  ASSERT_EQ(library.AddMacroName(u"Second"), 1);

  FakeAgent agent;
  ASSERT_NE(agent.Hwnd(), nullptr);
  g_received.clear();
  AgentWindowNotifier notifier;
  EXPECT_TRUE(library.RemoveMacroName(u"Second", notifier));
  ASSERT_EQ(g_received.size(), 1u);
  EXPECT_EQ(g_received[0].message, 0x1514u);
  EXPECT_EQ(g_received[0].wParam, 1u);
  EXPECT_EQ(g_received[0].lParam, 1);
  EXPECT_EQ(library.FindMacroSlot(u"Second"), -1);

  // A name the library does not hold writes and sends nothing.
  g_received.clear();
  EXPECT_FALSE(library.RemoveMacroName(u"Missing", notifier));
  EXPECT_TRUE(g_received.empty());
}

TEST(AgentWindowNotifierTest, WithoutAnAgentTheLibraryIsChangedAllTheSame) {
  ASSERT_EQ(FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle)), nullptr);
  harness::TempFolder data;
  ASSERT_TRUE(CreateDirectoryW((data.Path() + L"MacroDB").c_str(), nullptr));
  MacroLibrary library(ToU16(data.Path()));
  ASSERT_EQ(library.AddMacroName(u"Only"), 0);
  AgentWindowNotifier notifier;
  EXPECT_TRUE(library.RemoveMacroName(u"Only", notifier));
  EXPECT_EQ(library.FindMacroSlot(u"Only"), -1);
}

}  // namespace
