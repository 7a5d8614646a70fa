// hid.exe's tray icon under Wine: present while the agent runs, back after the task bar is
// re-created, gone after the exit command; the tray callback's clicks and the menu commands
// driving a stand-in configurator that keeps a real window.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <string>

#include "contract/program_names.h"
#include "contract/window_messages.h"
#include "settings/ini_file.h"
#include "support/process_harness.h"
#include "win/text.h"

namespace {

using harness::BinFolder;

constexpr UINT kIconId = 128;
constexpr wchar_t kTunerWindowVariable[] = L"VIREO_STAND_IN_TUNER_WINDOW";

const wchar_t* AgentTitle() {
  return AsWide(program_names::kAgentWindowTitle);
}
const wchar_t* ConfiguratorTitle() {
  return AsWide(program_names::kConfiguratorWindowTitle);
}

// The shell accepts a change to an icon only while that icon exists, so an empty change tells
// from outside whether the window's icon is in the notification area.
bool IconPresent(HWND window, UINT id) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = id;
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool WaitUntil(DWORD milliseconds, const auto& condition) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  while (!condition()) {
    if (GetTickCount64() >= end) return false;
    harness::PumpMessages(20);
  }
  return true;
}

// The skin's text of the tray menu, as installed beside the programs.
std::wstring SkinMenuText(int number) {
  return ToWide(
      IniFile(ToU16(BinFolder() + L"images\\0409\\strings\\skins.ini"))
          .GetText(u"BEACON", std::u16string(1, static_cast<char16_t>(u'0' + number)), u""));
}

// A program folder of the test's own: hid.exe with its libraries and skin texts, and the
// stand-in tuner.exe, which keeps a window titled like the configurator's until it is closed.
class AgentTrayTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(FindWindowW(nullptr, AgentTitle()), nullptr) << "an agent is already running";
    ASSERT_TRUE(harness::InstallAgent(m_program.Path()));
    ASSERT_TRUE(harness::InstallSkinFiles(m_program.Path(), L"strings\\", {L"skins.ini"}));
    // Not a first run: the configurator starts only when the test asks for it.
    CreateDirectoryW(DataFolder().c_str(), nullptr);
    CreateDirectoryW((DataFolder() + L"MacroDB").c_str(), nullptr);
    IniFile(ToU16(DataFolder() + L"MacroDB\\MacroSet.MSDB")).SetInt(u"Setting", u"FirstOpen", 1);
    SetEnvironmentVariableW(kTunerWindowVariable, L"1");
  }

  void TearDown() override {
    if (HWND agent = FindWindowW(nullptr, AgentTitle())) {
      PostMessageW(agent, WM_COMMAND, agent_msg::kCommandExit, 0);
      harness::WaitForNoWindow(AgentTitle(), 5000);
    }
    while (HWND configurator = FindWindowW(nullptr, ConfiguratorTitle())) {
      PostMessageW(configurator, WM_CLOSE, 0, 0);
      if (!harness::WaitForNoWindow(ConfiguratorTitle(), 5000)) break;
    }
    SetEnvironmentVariableW(kTunerWindowVariable, nullptr);
  }

  std::wstring SkinsIni() const { return m_program.Path() + L"images\\0409\\strings\\skins.ini"; }
  std::wstring DataFolder() const { return m_documents.Path() + L"Vireo Gaming Mouse\\"; }

  int TunerStarts() const { return harness::StandInTunerStarts(m_program.Path()); }

  HWND StartAgent() {
    m_agent = std::make_unique<harness::Process>(m_program.Path() + L"hid.exe");
    return harness::WaitForReadyWindow(AgentTitle(), 10000);
  }

  void Click(HWND agent, UINT mouseMessage) {
    DWORD_PTR result = 1;
    ASSERT_TRUE(SendMessageTimeoutW(agent, agent_msg::kTrayCallback, kIconId, mouseMessage,
                                    SMTO_ABORTIFHUNG, 10000, &result));
    EXPECT_EQ(result, 0u);
  }

  harness::TempFolder m_program{L"vireo-tray-program"};
  harness::TempFolder m_documents{L"vireo-tray-documents"};
  harness::DocumentsOverride m_override{m_documents.Path()};
  std::unique_ptr<harness::Process> m_agent;
};

TEST_F(AgentTrayTest, IconIsThereWhileTheAgentRunsComesBackWithTheTaskBarAndGoesWithTheAgent) {
  HWND agent = StartAgent();
  ASSERT_NE(agent, nullptr);
  EXPECT_TRUE(IconPresent(agent, kIconId));
  EXPECT_FALSE(IconPresent(agent, kIconId + 1)) << "the probe must tell icons apart";

  // The shell lost its icons (Explorer restarted) and announces the new task bar.
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = agent;
  data.uID = kIconId;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
  ASSERT_FALSE(IconPresent(agent, kIconId));
  DWORD_PTR result = 1;
  ASSERT_TRUE(SendMessageTimeoutW(agent, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0,
                                  SMTO_ABORTIFHUNG, 10000, &result));
  EXPECT_TRUE(IconPresent(agent, kIconId));

  // Ending takes the icon away at once, before the agent's closing pause.
  PostMessageW(agent, WM_COMMAND, agent_msg::kCommandExit, 0);
  EXPECT_TRUE(WaitUntil(800, [&] { return !IconPresent(agent, kIconId); }));
  EXPECT_TRUE(m_agent->WaitExit(10000));
  EXPECT_FALSE(IconPresent(agent, kIconId));
}

TEST_F(AgentTrayTest, LeftClickOpensTheConfiguratorAndClosesItWhenItIsOpen) {
  HWND agent = StartAgent();
  ASSERT_NE(agent, nullptr);

  Click(agent, WM_LBUTTONDOWN);
  ASSERT_NE(harness::WaitForReadyWindow(ConfiguratorTitle(), 10000), nullptr);
  EXPECT_EQ(TunerStarts(), 1);

  // A double click while it is open brings it forward instead of starting another.
  Click(agent, WM_LBUTTONDBLCLK);
  harness::PumpMessages(500);
  EXPECT_EQ(TunerStarts(), 1);
  EXPECT_EQ(harness::CountWindows(ConfiguratorTitle()), 1);

  Click(agent, WM_LBUTTONDOWN);
  EXPECT_TRUE(harness::WaitForNoWindow(ConfiguratorTitle(), 10000));
  EXPECT_EQ(TunerStarts(), 1);

  // Other mouse messages do nothing; the next left click opens it again.
  Click(agent, WM_MOUSEMOVE);
  Click(agent, WM_LBUTTONUP);
  harness::PumpMessages(500);
  EXPECT_EQ(FindWindowW(nullptr, ConfiguratorTitle()), nullptr);
  Click(agent, WM_LBUTTONDOWN);
  EXPECT_NE(harness::WaitForReadyWindow(ConfiguratorTitle(), 10000), nullptr);
  EXPECT_EQ(TunerStarts(), 2);
  EXPECT_TRUE(m_agent->Running());
}

TEST_F(AgentTrayTest, OpenCommandRestoresAMinimisedConfiguratorWithoutStartingASecondCopy) {
  HWND agent = StartAgent();
  ASSERT_NE(agent, nullptr);
  SendMessageW(agent, WM_COMMAND, agent_msg::kCommandOpenConfigurator, 0);
  HWND configurator = harness::WaitForReadyWindow(ConfiguratorTitle(), 10000);
  ASSERT_NE(configurator, nullptr);
  EXPECT_EQ(TunerStarts(), 1);

  ShowWindow(configurator, SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil(5000, [&] { return IsIconic(configurator) != FALSE; }));
  SendMessageW(agent, WM_COMMAND, agent_msg::kCommandOpenConfigurator, 0);
  EXPECT_TRUE(WaitUntil(5000, [&] { return IsIconic(configurator) == FALSE; }));
  EXPECT_TRUE(IsWindowVisible(configurator));
  harness::PumpMessages(500);
  EXPECT_EQ(TunerStarts(), 1);
  EXPECT_EQ(harness::CountWindows(ConfiguratorTitle()), 1);
}

TEST_F(AgentTrayTest, ExitCommandClosesTheConfiguratorAndEndsTheAgentWithoutItsIcon) {
  HWND agent = StartAgent();
  ASSERT_NE(agent, nullptr);
  Click(agent, WM_LBUTTONDOWN);
  ASSERT_NE(harness::WaitForReadyWindow(ConfiguratorTitle(), 10000), nullptr);

  PostMessageW(agent, WM_COMMAND, agent_msg::kCommandExit, 0);
  EXPECT_TRUE(harness::WaitForNoWindow(ConfiguratorTitle(), 10000));
  EXPECT_TRUE(m_agent->WaitExit(10000));
  EXPECT_FALSE(IconPresent(agent, kIconId));
}

// The menu window of the agent's thread, once it is on screen.
HWND WaitForMenuWindow(HWND agent, DWORD milliseconds) {
  const DWORD agentThread = GetWindowThreadProcessId(agent, nullptr);
  HWND found = nullptr;
  WaitUntil(milliseconds, [&] {
    for (HWND menu = FindWindowW(L"#32768", nullptr); menu != nullptr;
         menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) {
      if (IsWindowVisible(menu) && GetWindowThreadProcessId(menu, nullptr) == agentThread) {
        found = menu;
        return true;
      }
    }
    return false;
  });
  return found;
}

// Shows the tray menu and returns its window. The menu runs its own loop inside the agent's
// handler, so the click is posted.
HWND OpenTrayMenu(HWND agent) {
  PostMessageW(agent, agent_msg::kTrayCallback, kIconId, WM_RBUTTONDOWN);
  return WaitForMenuWindow(agent, 10000);
}

// Chooses the item reached with `downs` presses of the down key, as a user could.
void ChooseByKeyboard(HWND menuWindow, int downs) {
  for (int i = 0; i < downs; ++i) PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
}

// The width the longer of the texts needs in the menu font.
int MenuTextWidth(const std::wstring& first, const std::wstring& second) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = CreateFontIndirectW(&metrics.lfMenuFont);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  int width = 0;
  for (const std::wstring* text : {&first, &second}) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text->c_str(), static_cast<int>(text->size()), &size);
    width = std::max<int>(width, size.cx);
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  return width;
}

// Under Wine another process cannot read the agent's menu (its items live in the agent), so the
// items are told apart by what choosing them does: the down key wraps around after the last
// item, and the menu is as wide as the skin's texts need.
TEST_F(AgentTrayTest, RightClickShowsTwoItemsWithTheSkinsTextsOpenThenExit) {
  const std::wstring open = SkinMenuText(1), exit = SkinMenuText(2);
  ASSERT_FALSE(open.empty());
  ASSERT_FALSE(exit.empty());
  HWND agent = StartAgent();
  ASSERT_NE(agent, nullptr);
  Click(agent, WM_LBUTTONDOWN);
  HWND configurator = harness::WaitForReadyWindow(ConfiguratorTitle(), 10000);
  ASSERT_NE(configurator, nullptr);
  ShowWindow(configurator, SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil(5000, [&] { return IsIconic(configurator) != FALSE; }));

  HWND menuWindow = OpenTrayMenu(agent);
  ASSERT_NE(menuWindow, nullptr);
  RECT bounds{};
  GetWindowRect(menuWindow, &bounds);
  EXPECT_GE(bounds.right - bounds.left, MenuTextWidth(open, exit));
  // Down three times: first, second, first again, so there are exactly two items; the first
  // opens the configurator, which restores the minimised one.
  ChooseByKeyboard(menuWindow, 3);
  EXPECT_TRUE(WaitUntil(5000, [&] { return IsIconic(configurator) == FALSE; }));
  EXPECT_TRUE(harness::WaitForNoWindow(L"#32768", 5000) || !IsWindowVisible(menuWindow));
  EXPECT_EQ(TunerStarts(), 1);
  EXPECT_TRUE(m_agent->Running());

  // The second item closes the configurator and ends the agent.
  menuWindow = OpenTrayMenu(agent);
  ASSERT_NE(menuWindow, nullptr);
  ChooseByKeyboard(menuWindow, 2);
  EXPECT_TRUE(harness::WaitForNoWindow(ConfiguratorTitle(), 10000));
  EXPECT_TRUE(m_agent->WaitExit(10000));
  EXPECT_FALSE(IconPresent(agent, kIconId));
}

TEST_F(AgentTrayTest, WithoutTheSkinTextsTheMenuStillOffersBothCommands) {
  ASSERT_TRUE(DeleteFileW(SkinsIni().c_str()));
  HWND agent = StartAgent();
  ASSERT_NE(agent, nullptr);

  HWND menuWindow = OpenTrayMenu(agent);
  ASSERT_NE(menuWindow, nullptr);
  ChooseByKeyboard(menuWindow, 1);
  EXPECT_NE(harness::WaitForReadyWindow(ConfiguratorTitle(), 10000), nullptr);
  EXPECT_EQ(TunerStarts(), 1);

  menuWindow = OpenTrayMenu(agent);
  ASSERT_NE(menuWindow, nullptr);
  ChooseByKeyboard(menuWindow, 2);
  EXPECT_TRUE(harness::WaitForNoWindow(ConfiguratorTitle(), 10000));
  EXPECT_TRUE(m_agent->WaitExit(10000));
}

}  // namespace
