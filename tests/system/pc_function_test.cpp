// A mouse button given a PC-side function: the virtual mouse reports the function, hid.exe
// performs it, and a low-level keyboard hook in this process sees the keystrokes it sends.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "contract/mouse_map.h"
#include "contract/program_names.h"
#include "contract/window_messages.h"
#include "support/process_harness.h"
#include "support/stand_in_configurator.h"
#include "vmouse/virtual_mouse_server.h"
#include "win/text.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A button that makes the mouse report a PC-side function.
Bytes FunctionButton(uint8_t code) {
  return {0x8E, 0x01, 0xFF, code};
}

struct SeenKey {
  DWORD vk;
  bool up;
  bool injected;
  bool operator==(const SeenKey&) const = default;
};

void PrintTo(const SeenKey& key, std::ostream* out) {
  *out << "0x" << std::hex << key.vk << (key.up ? " up" : " down")
       << (key.injected ? "" : " (not injected)");
}

std::vector<SeenKey>* g_seen = nullptr;

LRESULT CALLBACK RecordKey(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && g_seen != nullptr) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    g_seen->push_back({key->vkCode, wParam == WM_KEYUP || wParam == WM_SYSKEYUP,
                       (key->flags & LLKHF_INJECTED) != 0});
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class PcFunctionTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle)), nullptr)
        << "an agent is already running";
    ASSERT_TRUE(harness::InstallAgent(m_program.Path()));
    m_hook = SetWindowsHookExW(WH_KEYBOARD_LL, RecordKey, GetModuleHandleW(nullptr), 0);
    ASSERT_NE(m_hook, nullptr);
    g_seen = &m_seen;
  }

  void TearDown() override {
    g_seen = nullptr;
    if (m_hook) UnhookWindowsHookEx(m_hook);
    if (HWND agent = FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle))) {
      PostMessageW(agent, WM_COMMAND, agent_msg::kCommandExit, 0);
      harness::WaitForNoWindow(AsWide(program_names::kAgentWindowTitle), 5000);
    }
    SetEnvironmentVariableW(L"VIREO_VMOUSE", nullptr);
  }

  // Mouse with these button codes in every profile, agent started, read-back done.
  void StartWithButtons(const Bytes& button0, const Bytes& button9) {
    m_mouse = std::make_unique<VirtualMouseServer>();
    m_mouse->WithMouse([&](VirtualMouse& mouse) {
      for (int p = 0; p < 5; ++p) {
        mouse.WriteMemory(device_map::ButtonAddress(p, 0), button0);
        mouse.WriteMemory(device_map::ButtonAddress(p, 9), button9);
      }
    });
    ASSERT_TRUE(m_mouse->Start());
    SetEnvironmentVariableW(L"VIREO_VMOUSE",
                            (L"127.0.0.1:" + std::to_wstring(m_mouse->Port())).c_str());
    m_agent = std::make_unique<harness::Process>(m_program.Path() + L"hid.exe");
    ASSERT_TRUE(m_agent->Started());
    ASSERT_NE(harness::WaitForReadyWindow(AsWide(program_names::kAgentWindowTitle), 15000),
              nullptr);
    ASSERT_TRUE(m_configurator.WaitFor(configurator_msg::kNewsProfilesRewritten));
  }

  // Pumps this thread's messages (the hook runs in them) until `count` keys were seen.
  bool WaitForKeys(size_t count, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (m_seen.size() < count && GetTickCount() - start < milliseconds) {
      harness::PumpMessages(20);
    }
    return m_seen.size() >= count;
  }

  harness::TempFolder m_program{L"vireo-function-program"};
  harness::TempFolder m_documents{L"vireo-function-documents"};
  harness::DocumentsOverride m_override{m_documents.Path()};
  harness::StandInConfigurator m_configurator;
  std::unique_ptr<VirtualMouseServer> m_mouse;
  std::unique_ptr<harness::Process> m_agent;
  HHOOK m_hook = nullptr;
  std::vector<SeenKey> m_seen;
};

TEST_F(PcFunctionTest, AButtonWithSaveMakesTheAgentTypeControlS) {
  // Button 0 reports code 0x27, which is no function; button 9 reports save (0x18).
  StartWithButtons(FunctionButton(0x27), FunctionButton(0x18));
  harness::PumpMessages(200);
  m_seen.clear();

  ASSERT_TRUE(m_mouse->PressButton(0).Accepted);
  ASSERT_TRUE(m_mouse->PressButton(9).Accepted);
  // The reports are handled in order, so keys of the first would come before Control.
  ASSERT_TRUE(WaitForKeys(4, 10000)) << m_seen.size() << " keys seen";
  harness::PumpMessages(300);  // a key too many would arrive within this
  EXPECT_EQ(m_seen, (std::vector<SeenKey>{{VK_CONTROL, false, true},
                                          {'S', false, true},
                                          {'S', true, true},
                                          {VK_CONTROL, true, true}}));
}

TEST_F(PcFunctionTest, BrowserKeysComeOneAfterTheOtherAsTheButtonsArePressed) {
  StartWithButtons(FunctionButton(0x20), FunctionButton(0x24));
  harness::PumpMessages(200);
  m_seen.clear();

  ASSERT_TRUE(m_mouse->PressButton(0).Accepted);
  ASSERT_TRUE(WaitForKeys(2, 10000));
  ASSERT_TRUE(m_mouse->PressButton(9).Accepted);
  ASSERT_TRUE(WaitForKeys(4, 10000));
  harness::PumpMessages(300);
  EXPECT_EQ(m_seen, (std::vector<SeenKey>{{VK_BROWSER_BACK, false, true},
                                          {VK_BROWSER_BACK, true, true},
                                          {VK_F3, false, true},
                                          {VK_F3, true, true}}));
}

}  // namespace
