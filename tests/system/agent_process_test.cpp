// hid.exe as a whole program under Wine: one instance, first-run folders and the one start
// of the configurator, every message of its table answered, and its shut-down order.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "contract/program_names.h"
#include "contract/window_messages.h"
#include "settings/ini_file.h"
#include "support/process_harness.h"
#include "win/text.h"

namespace {

using harness::BinFolder;

const wchar_t* AgentTitle() {
  return AsWide(program_names::kAgentWindowTitle);
}

// A program folder of the test's own: hid.exe with its libraries, and a stand-in tuner.exe.
class AgentFixture : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(FindWindowW(nullptr, AgentTitle()), nullptr) << "an agent is already running";
    ASSERT_TRUE(harness::InstallAgent(m_program.Path()));
  }

  void TearDown() override {
    if (HWND agent = FindWindowW(nullptr, AgentTitle())) {
      PostMessageW(agent, WM_COMMAND, agent_msg::kCommandExit, 0);
      harness::WaitForNoWindow(AgentTitle(), 5000);
    }
  }

  std::wstring Hid() const { return m_program.Path() + L"hid.exe"; }
  std::wstring DataFolder() const { return m_documents.Path() + L"Vireo Gaming Mouse\\"; }
  std::wstring LibraryPath() const { return DataFolder() + L"MacroDB\\MacroSet.MSDB"; }
  int TunerStarts() const { return harness::StandInTunerStarts(m_program.Path()); }

  // Asks the agent to end the way its tray menu does and waits for the process.
  void EndAgent(harness::Process& process) {
    HWND agent = FindWindowW(nullptr, AgentTitle());
    ASSERT_NE(agent, nullptr);
    PostMessageW(agent, WM_COMMAND, agent_msg::kCommandExit, 0);
    EXPECT_TRUE(process.WaitExit(10000));
  }

  harness::TempFolder m_program{L"vireo-program"};
  harness::TempFolder m_documents{L"vireo-documents"};
  harness::DocumentsOverride m_override{m_documents.Path()};
};

TEST_F(AgentFixture, FirstRunCreatesTheFoldersAndStartsTheConfiguratorOnceThenOnlyOnCommand) {
  harness::Process first(Hid());
  ASSERT_TRUE(first.Started());
  HWND agent = harness::WaitForReadyWindow(AgentTitle(), 10000);
  ASSERT_NE(agent, nullptr);
  EXPECT_FALSE(IsWindowVisible(agent));
  EXPECT_TRUE(GetWindowLongPtrW(agent, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

  EXPECT_NE(GetFileAttributesW((DataFolder() + L"MacroDB").c_str()), INVALID_FILE_ATTRIBUTES);
  // The one-shot timer starts the configurator about half a second after the start.
  ASSERT_TRUE(harness::WaitForFile(m_program.Path() + L"tuner-started.log", 10000));
  harness::PumpMessages(300);
  EXPECT_EQ(TunerStarts(), 1);

  // The open-configurator command starts it again while its window is absent.
  SendMessageW(agent, WM_COMMAND, agent_msg::kCommandOpenConfigurator, 0);
  for (int i = 0; i < 100 && TunerStarts() < 2; ++i) harness::PumpMessages(50);
  EXPECT_EQ(TunerStarts(), 2);

  IniFile library(ToU16(LibraryPath()));
  EXPECT_EQ(library.GetInt(u"Setting", u"FirstOpen", 0), 1);
  // No device link yet: the agent records that the library did not accept it.
  EXPECT_EQ(library.GetInt(u"Setting", u"Device", -1), 0);
  EndAgent(first);

  // The second start finds FirstOpen set and leaves the configurator alone.
  harness::Process second(Hid());
  ASSERT_NE(harness::WaitForReadyWindow(AgentTitle(), 10000), nullptr);
  harness::PumpMessages(1500);
  EXPECT_EQ(TunerStarts(), 2);
  EndAgent(second);
}

TEST_F(AgentFixture, ASecondInstanceEndsWithoutAWindow) {
  harness::Process first(Hid());
  ASSERT_NE(harness::WaitForReadyWindow(AgentTitle(), 10000), nullptr);
  harness::Process second(Hid());
  ASSERT_TRUE(second.Started());
  EXPECT_TRUE(second.WaitExit(10000));
  EXPECT_EQ(harness::CountWindows(AgentTitle()), 1);
  EXPECT_TRUE(first.Running());
  EndAgent(first);
}

TEST_F(AgentFixture, EveryMessageOfTheTableIsAnsweredWithZero) {
  harness::Process process(Hid());
  HWND agent = harness::WaitForReadyWindow(AgentTitle(), 10000);
  ASSERT_NE(agent, nullptr);
  struct Case {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  const Case cases[] = {
      {agent_msg::kApplyAll, 0, 0},
      {agent_msg::kPollingRate, 0, 0},
      {agent_msg::kProfileSelected, 0, 0},
      {agent_msg::kLightingChanged, 0, 0},
      {agent_msg::kMacroChanged, 3, 0},
      {agent_msg::kMacroChanged, 3, 1},
      {agent_msg::kMacroChanged, 19, 1},
      {agent_msg::kMacroChanged, 20, 0},          // slot out of range: ignored
      {agent_msg::kMacroChanged, WPARAM(-1), 0},  // ignored
      {agent_msg::kButtonMacro, 4, 9},
      {agent_msg::kButtonMacro, 5, 0},   // profile out of range: ignored
      {agent_msg::kButtonMacro, 0, 10},  // button out of range: ignored
      {agent_msg::kButtonMacro, 0, LPARAM(-1)},
      // From another process the notification's pointer means nothing to the agent: it must
      // not be read.
      {agent_msg::kDeviceNotify, 1, LPARAM(0x1234)},
      {agent_msg::kDeviceNotify, 1, 0},
      {agent_msg::kMouseData, 0xFFFE, 0},
      {agent_msg::kMouseData, 0xFFFD, 0},
      {agent_msg::kTrayCallback, 128, WM_MOUSEMOVE},
      {agent_msg::kIgnored504, 0, 0},
      {agent_msg::kIgnored4AC, 0, 0},
      {WM_DEVICECHANGE, 0x0007, 0},
      {0x02B1 /* WM_WTSSESSION_CHANGE */, 0, 0},
  };
  for (const Case& c : cases) {
    DWORD_PTR result = 12345;
    // Not "abort if hung": the arrival message keeps the agent busy for its 5 s pause, which is
    // just when Wine starts calling a window hung.
    ASSERT_TRUE(
        SendMessageTimeoutW(agent, c.message, c.wParam, c.lParam, SMTO_NORMAL, 30000, &result))
        << std::hex << c.message;
    EXPECT_EQ(result, 0u) << "message 0x" << std::hex << c.message << " wParam " << c.wParam;
  }
  EXPECT_TRUE(process.Running());
  EXPECT_EQ(FindWindowW(nullptr, AgentTitle()), agent);
  EndAgent(process);
}

// A window standing in for the configurator or the beacon, counting the WM_CLOSE it gets.
// A window that counts the WM_CLOSE and the news (0x1515) it gets. As a dialog it has the
// configurator's class; otherwise a class of its own, as an Explorer window has.
struct CloseCounter {
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Count(window, message)) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM, LPARAM) {
    return Count(window, message) ? TRUE : FALSE;
  }
  static bool Count(HWND window, UINT message) {
    auto* self = reinterpret_cast<CloseCounter*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || (message != WM_CLOSE && message != configurator_msg::kAgentNews)) return false;
    ++(message == WM_CLOSE ? self->closes : self->news);
    return true;
  }
  explicit CloseCounter(const wchar_t* title, bool dialog = false) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VireoTestCloseCounter";
    RegisterClassW(&windowClass);
    window = CreateWindowExW(0, dialog ? L"#32770" : windowClass.lpszClassName, title, WS_POPUP, 0,
                             0, 10, 10, nullptr, nullptr, windowClass.hInstance, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (dialog) SetWindowLongPtrW(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(DialogProc));
  }
  ~CloseCounter() { DestroyWindow(window); }
  HWND window = nullptr;
  int closes = 0;
  int news = 0;
};

TEST_F(AgentFixture, ShutDownClosesTheConfiguratorAndTheBeaconThenEnds) {
  harness::Process process(Hid());
  HWND agent = harness::WaitForReadyWindow(AgentTitle(), 10000);
  ASSERT_NE(agent, nullptr);
  // Let the first-run start of the stand-in tuner happen before the configurator window exists.
  harness::PumpMessages(1000);
  CloseCounter configurator(AsWide(program_names::kConfiguratorWindowTitle), true);
  CloseCounter beacon(AsWide(program_names::kBeaconWindowTitle));
  ASSERT_NE(configurator.window, nullptr);

  PostMessageW(agent, WM_COMMAND, agent_msg::kCommandExit, 0);
  // The agent waits a second after asking them to close, so the asks arrive while it lives.
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 10000 && process.Running()) harness::PumpMessages(20);
  harness::PumpMessages(100);
  EXPECT_FALSE(process.Running());
  // Once from the exit command, once from the shut-down itself.
  EXPECT_EQ(configurator.closes, 2);
  EXPECT_EQ(beacon.closes, 1);
  EXPECT_EQ(FindWindowW(nullptr, AgentTitle()), nullptr);
}

TEST_F(AgentFixture, AWindowWithTheConfiguratorsTitleInOtherCaseIsNeitherClosedNorTold) {
  // An Explorer window open on the data folder: the same title to FindWindow, another class.
  CloseCounter explorer(L"Vireo Gaming Mouse");
  ASSERT_NE(explorer.window, nullptr);
  ASSERT_EQ(FindWindowW(nullptr, AsWide(program_names::kConfiguratorWindowTitle)), explorer.window);
  harness::Process process(Hid());
  HWND agent = harness::WaitForReadyWindow(AgentTitle(), 10000);
  ASSERT_NE(agent, nullptr);
  // The start posts the pointer speed to the configurator; the tray click would close it.
  PostMessageW(agent, agent_msg::kTrayCallback, 128, WM_LBUTTONDOWN);
  harness::PumpMessages(1000);
  EndAgent(process);
  harness::PumpMessages(200);
  EXPECT_EQ(explorer.closes, 0);
  EXPECT_EQ(explorer.news, 0);
  EXPECT_EQ(TunerStarts(), 2);  // the first run, and the click opened the configurator instead
}

}  // namespace
