// hid.exe with Conduit.dll against the virtual mouse, run in this process on the loopback
// interface: the read-back after an attach, the full write, each partial write, the mouse's
// status reports, an absent mouse and an unplug in the middle of a transfer. Each test starts
// the agent from a fresh data folder with VIREO_VMOUSE in its environment.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "contract/mouse_map.h"
#include "contract/program_names.h"
#include "contract/window_messages.h"
#include "settings/ini_file.h"
#include "settings/macro_library.h"
#include "settings/profile_files.h"
#include "settings/profile_set.h"
#include "support/fake_hid_bus.h"
#include "support/fake_hid_mouse.h"
#include "support/hostile_messages.h"
#include "support/process_harness.h"
#include "support/stand_in_configurator.h"
#include "vmouse/tcp_socket.h"
#include "vmouse/virtual_mouse_server.h"
#include "win/text.h"
#include "win/unique_handle.h"

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

// Register codes of the resolution indexes used below.
constexpr uint8_t kCodeOf10 = 22, kCodeOf26 = 59, kCodeOf50 = 115;

using namespace device_map;
using harness::AgentNews;
using harness::StandInConfigurator;

class DeviceLinkTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle)), nullptr)
        << "an agent is already running";
    ASSERT_TRUE(harness::InstallAgent(m_program.Path()));
  }

  void TearDown() override {
    if (HWND agent = FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle))) {
      PostMessageW(agent, WM_COMMAND, agent_msg::kCommandExit, 0);
      harness::WaitForNoWindow(AsWide(program_names::kAgentWindowTitle), 5000);
    }
    SetEnvironmentVariableW(L"VIREO_VMOUSE", nullptr);
  }

  void StartMouse(bool attached = true) {
    VirtualMouseServer::Options options;
    options.Attached = attached;
    m_mouse = std::make_unique<VirtualMouseServer>(options);
    ASSERT_TRUE(m_mouse->Start());
  }

  // Starts the agent with the mouse's address in its environment and waits for its window.
  void StartAgent(uint16_t port) {
    SetEnvironmentVariableW(L"VIREO_VMOUSE", (L"127.0.0.1:" + std::to_wstring(port)).c_str());
    m_agent = std::make_unique<harness::Process>(m_program.Path() + L"hid.exe");
    ASSERT_TRUE(m_agent->Started());
    m_agentWindow = harness::WaitForReadyWindow(AsWide(program_names::kAgentWindowTitle), 15000);
    ASSERT_NE(m_agentWindow, nullptr);
  }

  // Starts the agent from a program folder whose Conduit.dll has the fake HID API compiled in:
  // the mouse is whatever the FakeHidBus of this process offers.
  void StartHidAgent() {
    if (!m_hidProgram) {
      m_hidProgram = std::make_unique<harness::TempFolder>(L"vireo-hid-program");
      ASSERT_TRUE(harness::InstallAgent(m_hidProgram->Path()));
      ASSERT_TRUE(CopyFileW((harness::BinFolder() + L"fake-hid\\Conduit.dll").c_str(),
                            (m_hidProgram->Path() + L"Conduit.dll").c_str(), FALSE));
    }
    SetEnvironmentVariableW(L"VIREO_VMOUSE", nullptr);
    m_agent = std::make_unique<harness::Process>(m_hidProgram->Path() + L"hid.exe");
    ASSERT_TRUE(m_agent->Started());
    m_agentWindow = harness::WaitForReadyWindow(AsWide(program_names::kAgentWindowTitle), 15000);
    ASSERT_NE(m_agentWindow, nullptr);
  }

  void EndAgent() {
    PostMessageW(m_agentWindow, WM_COMMAND, agent_msg::kCommandExit, 0);
    ASSERT_TRUE(m_agent->WaitExit(10000));
    m_agent.reset();
  }

  // Every file of the data folder, by path below it. Temporary files of a commit in progress
  // are not the data.
  std::map<std::wstring, std::string> DataFiles() const {
    std::map<std::wstring, std::string> files;
    const std::wstring root(AsWide(Data().c_str()));
    for (const std::wstring& folder : {root, root + L"MacroDB\\"}) {
      WIN32_FIND_DATAW found;
      HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
      if (search == INVALID_HANDLE_VALUE) continue;
      do {
        const std::wstring name = found.cFileName;
        const bool temporary = name.size() > 4 && name.substr(name.size() - 4) == L".tmp";
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !temporary) {
          files[folder + found.cFileName] = harness::ReadFileBytes(folder + found.cFileName);
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    return files;
  }
  // The names of the files that differ between two DataFiles() (so a failure stays readable).
  static std::string Differences(const std::map<std::wstring, std::string>& a,
                                 const std::map<std::wstring, std::string>& b) {
    std::string names;
    for (const auto& [path, bytes] : a) {
      const auto other = b.find(path);
      if (other != b.end() && other->second == bytes) continue;
      names += std::string(path.begin() + path.rfind(L'\\') + 1, path.end());
      if (path.find(L".MSDB") != std::wstring::npos && other != b.end()) {
        // The index is short: show both.
        for (const std::string* text : {&bytes, &other->second}) {
          names += " [";
          for (std::size_t i = 2; i < text->size(); i += 2)
            names += (*text)[i] == '\r' ? ' ' : (*text)[i];
          names += "]";
        }
      }
      names += " ";
    }
    for (const auto& [path, bytes] : b) {
      if (!a.count(path))
        names += std::string(path.begin() + path.rfind(L'\\') + 1, path.end()) + " (new) ";
    }
    return names;
  }
  void RemoveDataFolder() const {
    for (const auto& [path, bytes] : DataFiles()) DeleteFileW(path.c_str());
  }

  // Agent and attached mouse, after the read-back of the attach.
  void StartAttached() {
    StartMouse();
    StartAgent(m_mouse->Port());
    ASSERT_TRUE(m_configurator.WaitFor(configurator_msg::kNewsProfilesRewritten));
  }

  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 1;
    EXPECT_TRUE(
        SendMessageTimeoutW(m_agentWindow, message, wParam, lParam, SMTO_NORMAL, 60000, &result));
    return static_cast<LRESULT>(result);
  }

  // Sends a message and waits until the mouse has handled the reports it should cause: the
  // agent's call returns once its reports are on their way, not when the mouse took them.
  void SendExpecting(std::size_t reports, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    const std::size_t before = m_mouse->ReportsReceived();
    EXPECT_EQ(Send(message, wParam, lParam), 0);
    EXPECT_TRUE(m_mouse->WaitForReports(before + reports, 10000ms));
    Sleep(100);  // a report too many would arrive within this
    EXPECT_EQ(m_mouse->ReportsReceived() - before, reports) << "message 0x" << std::hex << message;
  }

  std::u16string Data() const { return ToU16(m_documents.Path()) + u"Vireo Gaming Mouse\\"; }
  int Pending() const {
    return IniFile(MacroLibrary(Data()).IndexPath()).GetInt(u"Setting", u"Pending", -1);
  }
  // Waits until the agent has delivered the changes marked as pending.
  bool WaitPendingCleared() const {
    for (int i = 0; i < 200 && Pending() != 0; ++i) Sleep(50);
    return Pending() == 0;
  }
  std::string ProfileFileBytes() const {
    std::string bytes;
    for (int n = 1; n <= 5; ++n) {
      bytes += harness::ReadFileBytes(AsWide(ProfileFilePath(Data(), n).c_str()));
    }
    return bytes;
  }
  // What the mouse holds equals the settings of DistinctSet (a full write went through).
  void ExpectDistinctSetInTheMouse() {
    const Bytes memory = m_mouse->Memory();
    EXPECT_EQ(memory[kActiveProfileAddress], 3);
    const uint8_t rates[5] = {1, 2, 4, 8, 2};
    for (int p = 0; p < 5; ++p) {
      SCOPED_TRACE(p);
      EXPECT_EQ(memory[PollingRateAddress(p)], rates[p]);
      EXPECT_EQ(memory[WheelLinesAddress(p)], p + 2);
      EXPECT_EQ(memory[StageIndexAddress(p)], p % 5);
      const uint32_t stage0 = StageAddress(p, 0), stage1 = StageAddress(p, 1);
      // A stage write carries four bytes: the Y range flag is not stored.
      EXPECT_EQ(Bytes(memory.begin() + stage0, memory.begin() + stage0 + 5),
                (Bytes{1, kCodeOf10, 0, kCodeOf10, 0}));
      EXPECT_EQ(Bytes(memory.begin() + stage1, memory.begin() + stage1 + 5),
                (Bytes{static_cast<uint8_t>(p % 2), kCodeOf26, 1, kCodeOf26, 0}));
      EXPECT_EQ(memory[StageAddress(p, 2) + 1], kCodeOf50);
      const uint32_t button9 = ButtonAddress(p, 9);
      EXPECT_EQ(Bytes(memory.begin() + button9, memory.begin() + button9 + 4),
                (Bytes{0x8E, 0x01, 0xFF, 0x12}));
      EXPECT_EQ(memory[ButtonAddress(p, 0)], 0x82);
      EXPECT_EQ(memory[LightingAddress(p)], 0x30 + p);  // colour byte 0 of 0x00102030 + p
    }
    // Colour bytes, effect, speed (limited to the mode's largest), option; then the level.
    const Bytes lighting[5] = {{0x30, 0x20, 0x10, 1, 9, 0x04},
                               {0x31, 0x20, 0x10, 1, 9, 0x08},
                               {0x32, 0x20, 0x10, 1, 0, 0x02},
                               {0x33, 0x20, 0x10, 2, 9, 0},
                               {0x34, 0x20, 0x10, 0, 0, 0}};
    for (int p = 0; p < 5; ++p) {
      SCOPED_TRACE(p);
      const uint32_t at = LightingAddress(p);
      EXPECT_EQ(Bytes(memory.begin() + at, memory.begin() + at + 6), lighting[p]);
      EXPECT_EQ(memory[at + 6], p == 4 ? 0 : 2);  // mode 7 has no level
    }
    EXPECT_EQ(memory[LightingAddress(3) + 3], 2);  // mode 3: effect 2
    EXPECT_EQ(memory[LightingAddress(4) + 3], 0);  // mode 7: effect 0
  }
  ProfileSet LoadFiles() const {
    ProfileSet set;
    ResetProfileSet(set);
    LoadProfileFiles(set, Data());
    return set;
  }
  // A valid set with something of its own in every setting the mouse holds.
  static ProfileSet DistinctSet() {
    ProfileSet set;
    ResetProfileSet(set);
    ValidateProfileSet(set, set);
    set.CurrentProfile = 3;
    const int32_t rates[5] = {1, 2, 4, 8, 2};
    for (int p = 0; p < 5; ++p) {
      ProfileRecord& record = set.Profiles[p];
      record.PollingRate = rates[p];
      record.WheelScrollLines = p + 2;
      record.DPI = p % 5;
      record.DpiStages[0] = {1, 10, 10, 1};
      record.DpiStages[1] = {p % 2, 51, 51, 1};
      record.DpiStages[2] = {1, 50, 50, 1};
      record.LedMode1 = p == 4 ? 7 : p;  // modes 0, 1, 2, 3 and 7
      record.LedColor[record.LedMode1] = 0x00102030 + p;
      for (LedLevelEntry& entry : record.LedLevels) entry = {2, 12};  // speeds above the limit
      record.Buttons[0].ButtonFunc = 2;
      record.Buttons[9].ButtonFunc = 18;  // PC-side copy: 8E 01 FF 12
    }
    return set;
  }

  std::vector<uint32_t> ChangedAddresses(const Bytes& before, const Bytes& after) const {
    std::vector<uint32_t> changed;
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
      if (before[i] != after[i]) changed.push_back(static_cast<uint32_t>(i));
    }
    return changed;
  }

  harness::TempFolder m_program{L"vireo-link-program"};
  harness::TempFolder m_documents{L"vireo-link-documents"};
  harness::DocumentsOverride m_override{m_documents.Path()};
  StandInConfigurator m_configurator;
  std::unique_ptr<harness::TempFolder> m_hidProgram;
  std::unique_ptr<VirtualMouseServer> m_mouse;
  std::unique_ptr<harness::Process> m_agent;
  HWND m_agentWindow = nullptr;
};

// Settings, stages, lighting, buttons and macros of their own in the mouse's memory.
void FillMouse(VirtualMouse& mouse) {
  mouse.WriteMemory(kActiveProfileAddress, Bytes{2, 0});
  mouse.WriteMemory(kPollingRateAddress, Bytes{1, 0, 2, 0, 4, 0, 8, 0, 1, 0});
  const uint8_t lighting[5][6] = {{0x11, 0x22, 0x33, 1, 3, 0x04},  // mode 0
                                  {0x44, 0x55, 0x66, 1, 2, 0x08},  // mode 1
                                  {0x01, 0x02, 0x03, 2, 5, 0},     // mode 3
                                  {0x07, 0x08, 0x09, 6, 1, 0},     // mode 4
                                  {0, 0, 0, 0, 0, 0}};             // mode 7
  for (int p = 0; p < 5; ++p) {
    mouse.WriteMemory(StageIndexAddress(p), Bytes{static_cast<uint8_t>(p % 3)});
    mouse.WriteMemory(StageAddress(p, 0), Bytes{1, kCodeOf10, 0, kCodeOf10, 0});
    mouse.WriteMemory(StageAddress(p, 1), Bytes{1, kCodeOf26, 1, kCodeOf26, 1});
    mouse.WriteMemory(LightingAddress(p), Bytes(lighting[p], lighting[p] + 6));
    mouse.WriteMemory(ButtonAddress(p, 0), Bytes{0x82, 0, 0, 0});
    mouse.WriteMemory(ButtonAddress(p, 3), Bytes{0x90, 0, 0x04, 0});
    mouse.WriteMemory(ButtonAddress(p, 9), Bytes{0x8E, 0x01, 0xFF, 0x12});
  }
  mouse.WriteMemory(MacroAreaAddress(3), Bytes{0x04, 0x05, 0x80, 0x04, 0x05, 0x00});
  mouse.WriteMemory(MacroAreaAddress(17), Bytes{0x01, 0x02, 0x03, 0x00, 0x00, 0x00, 0x09, 9, 9});
  mouse.WriteMemory(MacroAreaAddress(5), Bytes{0xFF, 0xFF, 0xFF, 0x04, 0x05, 0x80});
}

TEST_F(DeviceLinkTest, AnAttachReadsTheMouseIntoTheProfileAndMacroFiles) {
  StartMouse();
  m_mouse->WithMouse(FillMouse);
  StartAgent(m_mouse->Port());
  ASSERT_TRUE(m_configurator.WaitFor(configurator_msg::kNewsProfilesRewritten, 1, 20000, 0));

  const ProfileSet set = LoadFiles();
  EXPECT_EQ(set.CurrentProfile, 2);
  const int32_t rates[5] = {1, 2, 4, 8, 1};
  const int32_t modes[5] = {0, 1, 3, 4, 7};
  const int32_t colors[5] = {0x332211, 0x665544, 0x030201, 0x090807, 0};
  for (int p = 0; p < 5; ++p) {
    SCOPED_TRACE(p);
    const ProfileRecord& record = set.Profiles[p];
    EXPECT_EQ(record.PollingRate, rates[p]);
    EXPECT_EQ(record.DPI, p % 3);
    EXPECT_EQ(record.DpiStages[0].X, 10);
    EXPECT_EQ(record.DpiStages[0].Y, 10);
    EXPECT_EQ(record.DpiStages[1].X, 51);
    EXPECT_EQ(record.DpiStages[1].Enabled, 1);
    EXPECT_EQ(record.LedMode1, modes[p]);
    EXPECT_EQ(record.LedColor[modes[p]], colors[p]);
    EXPECT_EQ(record.Buttons[0].ButtonFunc, 2);
    EXPECT_EQ(record.Buttons[3].ButtonFunc, 6);
    EXPECT_EQ(record.Buttons[3].KeyBlock[0], 0x04);
    EXPECT_EQ(record.Buttons[9].ButtonFunc, 18);
  }

  MacroLibrary library(Data());
  EXPECT_EQ(library.SlotName(3), u"NewMacro 3");
  EXPECT_EQ(library.SlotName(17), u"NewMacro 17");
  EXPECT_EQ(library.SlotName(5), u"");
  EXPECT_EQ(library.ReadMacroFile(u"NewMacro 3").Count, 2);
  EXPECT_EQ(library.ReadMacroFile(u"NewMacro 17").Count, 1);  // ends at the zero record
  EXPECT_EQ(GetFileAttributesW(AsWide(library.MacroFilePath(u"NewMacro 5").c_str())),
            INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(IniFile(library.IndexPath()).GetInt(u"Setting", u"Device", -1), 1);
  // All of it inside one transfer, and nothing written into the mouse.
  EXPECT_TRUE(m_mouse->WaitUntil(
      [](const VirtualMouse& mouse) { return mouse.TransferCount() == 1; }, 5000ms));
  EXPECT_EQ(m_mouse->ReadMemory(kActiveProfileAddress, 1), Bytes{2});
}

TEST_F(DeviceLinkTest, ApplyAllWritesEverySettingAndAReadBackReturnsThem) {
  StartAttached();
  const ProfileSet written = DistinctSet();
  ASSERT_TRUE(SaveProfileFiles(written, Data()));
  SendExpecting(106, agent_msg::kApplyAll);

  ExpectDistinctSetInTheMouse();
  EXPECT_EQ(m_mouse->WithMouse([](VirtualMouse& mouse) { return mouse.ActiveProfile(); }), 3);

  // Unplug and plug in: what the read-back stores is what was written.
  m_mouse->Detach();
  m_mouse->Attach();
  ASSERT_TRUE(m_configurator.WaitFor(configurator_msg::kNewsProfilesRewritten, 2));
  const ProfileSet read = LoadFiles();
  EXPECT_EQ(read.CurrentProfile, written.CurrentProfile);
  for (int p = 0; p < 5; ++p) {
    SCOPED_TRACE(p);
    const ProfileRecord& got = read.Profiles[p];
    const ProfileRecord& sent = written.Profiles[p];
    EXPECT_EQ(got.PollingRate, sent.PollingRate);
    EXPECT_EQ(got.DPI, sent.DPI);
    for (int s = 0; s < 5; ++s) {
      EXPECT_EQ(got.DpiStages[s].Enabled, sent.DpiStages[s].Enabled) << s;
      EXPECT_EQ(got.DpiStages[s].X, sent.DpiStages[s].X) << s;
    }
    EXPECT_EQ(got.LedMode1, sent.LedMode1);
    EXPECT_EQ(got.LedColor[sent.LedMode1], sent.LedColor[sent.LedMode1]);
    for (int b = 0; b < 10; ++b) EXPECT_EQ(got.Buttons[b].ButtonFunc, sent.Buttons[b].ButtonFunc);
  }
}

TEST_F(DeviceLinkTest, EachPartialWriteChangesOnlyItsPartOfTheMemory) {
  StartAttached();
  ProfileSet set = DistinctSet();
  ASSERT_TRUE(SaveProfileFiles(set, Data()));
  SendExpecting(106, agent_msg::kApplyAll);

  auto applied = [&](uint8_t section) {
    return m_mouse->WithMouse([&](VirtualMouse& mouse) { return mouse.AppliedCount(section); });
  };
  auto inRange = [](uint32_t first, uint32_t end) {
    return [=](uint32_t address) { return address >= first && address < end; };
  };

  {
    SCOPED_TRACE("0x4DF polling rates");
    for (int p = 0; p < 5; ++p) set.Profiles[p].PollingRate = 4;
    ASSERT_TRUE(SaveProfileFiles(set, Data()));
    const Bytes before = m_mouse->Memory();
    const unsigned rateApplies = applied(0x08);
    SendExpecting(3, agent_msg::kPollingRate);  // two writes and the apply
    const auto changed = ChangedAddresses(before, m_mouse->Memory());
    EXPECT_FALSE(changed.empty());
    EXPECT_TRUE(std::all_of(changed.begin(), changed.end(), inRange(0x032, 0x03C)));
    EXPECT_EQ(applied(0x08), rateApplies + 1);
  }
  {
    SCOPED_TRACE("0x4E2 profile selected");
    set.CurrentProfile = 1;
    ASSERT_TRUE(SaveProfileFiles(set, Data()));
    const Bytes before = m_mouse->Memory();
    const unsigned counts[4] = {applied(0x01), applied(0x04), applied(0x02), applied(0x08)};
    SendExpecting(5, agent_msg::kProfileSelected);  // index, its apply, three applies
    EXPECT_EQ(ChangedAddresses(before, m_mouse->Memory()),
              std::vector<uint32_t>{kActiveProfileAddress});
    EXPECT_EQ(applied(0x01), counts[0] + 1);
    EXPECT_EQ(applied(0x04), counts[1] + 1);
    EXPECT_EQ(applied(0x02), counts[2] + 1);
    EXPECT_EQ(applied(0x08), counts[3] + 1);
  }
  {
    SCOPED_TRACE("0x4E3 lighting");
    for (int p = 0; p < 5; ++p) set.Profiles[p].LedColor[set.Profiles[p].LedMode1] = 0x00ABCDEF;
    ASSERT_TRUE(SaveProfileFiles(set, Data()));
    const Bytes before = m_mouse->Memory();
    const unsigned lightApplies = applied(0x04);
    SendExpecting(12, agent_msg::kLightingChanged);  // clear, 5 x (colour, level), apply
    const auto changed = ChangedAddresses(before, m_mouse->Memory());
    EXPECT_FALSE(changed.empty());
    EXPECT_TRUE(std::all_of(changed.begin(), changed.end(), inRange(0x446, 0x449 + 8 * 5)));
    EXPECT_EQ(applied(0x04), lightApplies + 1);
  }
  {
    SCOPED_TRACE("0x1516 one button");
    set.Profiles[2].Buttons[9].ButtonFunc = 19;  // paste: 8E 01 FF 13
    set.Profiles[1].Buttons[9].ButtonFunc = 20;  // not asked for: must not be written
    ASSERT_TRUE(SaveProfileFiles(set, Data()));
    const Bytes before = m_mouse->Memory();
    SendExpecting(1, agent_msg::kButtonMacro, 2, 9);  // no apply follows
    EXPECT_EQ(ChangedAddresses(before, m_mouse->Memory()),
              std::vector<uint32_t>{ButtonAddress(2, 9) + 3});
  }
  {
    SCOPED_TRACE("0x1514 macro write and clear");
    MacroLibrary library(Data());
    ASSERT_EQ(library.CreateMacro(u"Hello"), 0);
    Macro macro = library.ReadMacroFile(u"Hello");
    ASSERT_TRUE(macro.Append(MacroRecord{0x04, 0x05, 0x80}));
    ASSERT_TRUE(macro.Append(MacroRecord{0x04, 0x05, 0x00}));
    ASSERT_TRUE(library.SaveMacro(macro));
    const Bytes before = m_mouse->Memory();
    SendExpecting(3, agent_msg::kMacroChanged, 0, 0);  // inside a transfer
    const Bytes written = m_mouse->Memory();
    const auto changed = ChangedAddresses(before, written);
    EXPECT_FALSE(changed.empty());
    EXPECT_TRUE(std::all_of(changed.begin(), changed.end(),
                            inRange(MacroAreaAddress(0), MacroAreaAddress(1))));
    EXPECT_EQ(
        Bytes(written.begin() + MacroAreaAddress(0), written.begin() + MacroAreaAddress(0) + 7),
        (Bytes{0x04, 0x05, 0x80, 0x04, 0x05, 0x00, 0x00}));

    SendExpecting(3, agent_msg::kMacroChanged, 0, 1);
    const Bytes cleared = m_mouse->Memory();
    EXPECT_TRUE(std::all_of(cleared.begin() + MacroAreaAddress(0),
                            cleared.begin() + MacroAreaAddress(1),
                            [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(ChangedAddresses(before, cleared), std::vector<uint32_t>{});
  }
}

TEST_F(DeviceLinkTest, StatusReportsOfTheMouseReachTheConfigurator) {
  StartAttached();
  ProfileSet set = DistinctSet();
  ASSERT_TRUE(SaveProfileFiles(set, Data()));
  SendExpecting(
      106,
      agent_msg::kApplyAll);  // profile 3 active, stages 0 and 2 (and 1 in odd profiles) enabled

  ASSERT_TRUE(m_mouse->SwitchProfile(2).Accepted);
  EXPECT_TRUE(m_configurator.WaitFor(9, 1, 5000, 2));
  ASSERT_TRUE(m_mouse->SwitchStage(2).Accepted);
  EXPECT_TRUE(m_configurator.WaitFor(8, 1, 5000, 2));
  ASSERT_TRUE(m_mouse->SwitchPollingRate(2).Accepted);
  EXPECT_TRUE(m_configurator.WaitFor(10, 1, 5000, 2));
  ASSERT_TRUE(m_mouse->SwitchLightingMode(5).Accepted);
  EXPECT_TRUE(m_configurator.WaitFor(11, 1, 5000, 5));
  ASSERT_TRUE(m_mouse->SwitchLightingMode(6).Accepted);  // effect 1, option 0x10
  EXPECT_TRUE(m_configurator.WaitFor(11, 1, 5000, 6));
}

TEST_F(DeviceLinkTest, AMouseAbsentAtStartGetsNothingUntilItIsPluggedIn) {
  StartMouse(false);  // the server runs, the mouse is not plugged in
  StartAgent(m_mouse->Port());
  ASSERT_TRUE(m_mouse->WaitForClient(true, 10000ms));
  MacroLibrary library(Data());
  EXPECT_EQ(IniFile(library.IndexPath()).GetInt(u"Setting", u"Device", -1), 0);

  ASSERT_TRUE(SaveProfileFiles(DistinctSet(), Data()));
  ASSERT_EQ(library.CreateMacro(u"Absent"), 0);
  for (UINT message :
       {agent_msg::kPollingRate, agent_msg::kLightingChanged, agent_msg::kProfileSelected}) {
    EXPECT_EQ(Send(message), 0) << message;
  }
  EXPECT_EQ(Send(agent_msg::kButtonMacro, 1, 2), 0);
  EXPECT_EQ(Send(agent_msg::kMacroChanged, 0, 0), 0);
  // The full write runs (its progress window opens and closes) but reaches no collection.
  EXPECT_EQ(Send(agent_msg::kApplyAll), 0);
  EXPECT_EQ(FindWindowW(nullptr, L"VireoProgressbar"), nullptr);
  EXPECT_EQ(m_mouse->ReportsReceived(), 0u);
  EXPECT_TRUE(m_configurator.Got().empty() ||
              std::none_of(m_configurator.Got().begin(), m_configurator.Got().end(),
                           [](const AgentNews& p) { return p.Kind == 0; }));

  EXPECT_EQ(Pending(), 1);

  // Plugged in now: the changes made meanwhile go to the mouse instead of a read-back that
  // would revert them; the files stay as they are.
  const std::string files = ProfileFileBytes();
  m_mouse->Attach();
  ASSERT_TRUE(m_mouse->WaitForReports(106 + 2 + 15, 20000ms));
  ASSERT_TRUE(WaitPendingCleared());
  ExpectDistinctSetInTheMouse();
  EXPECT_EQ(m_mouse->WithMouse([](VirtualMouse& mouse) { return mouse.ReadCount(); }), 0u);
  EXPECT_EQ(ProfileFileBytes(), files);
  EXPECT_EQ(m_configurator.Count(configurator_msg::kNewsProfilesRewritten, 0), 0);
  SendExpecting(3, agent_msg::kPollingRate);  // the link counts as open from then on

  // Without the mark, the next plug-in reads back.
  m_mouse->Detach();
  m_mouse->Attach();
  ASSERT_TRUE(m_configurator.WaitFor(configurator_msg::kNewsProfilesRewritten));
}

TEST_F(DeviceLinkTest, AnUnreachableMouseServerIsAnAbsentMouseUntilItStarts) {
  uint16_t port = 0;
  {
    TcpSocket probe = TcpSocket::ListenLoopback(0);  // a free port, closed again
    ASSERT_TRUE(probe.Valid());
    port = probe.LocalPort();
  }
  StartAgent(port);
  MacroLibrary library(Data());
  EXPECT_EQ(IniFile(library.IndexPath()).GetInt(u"Setting", u"Device", -1), 0);
  ASSERT_TRUE(SaveProfileFiles(DistinctSet(), Data()));
  EXPECT_EQ(Send(agent_msg::kApplyAll), 0);
  EXPECT_EQ(Send(agent_msg::kProfileSelected), 0);
  EXPECT_TRUE(m_agent->Running());

  // The library tries again every second: a server started now gets what was sent meanwhile.
  VirtualMouseServer::Options options;
  options.Port = port;
  m_mouse = std::make_unique<VirtualMouseServer>(options);
  ASSERT_TRUE(m_mouse->Start());
  ASSERT_TRUE(m_mouse->WaitForReports(106 + 2 + 15, 20000ms));
  ASSERT_TRUE(WaitPendingCleared());
  ExpectDistinctSetInTheMouse();
  // The full write and the macro areas, each in a transfer of its own.
  EXPECT_EQ(m_mouse->WithMouse([](VirtualMouse& mouse) { return mouse.TransferCount(); }), 2u);
}

TEST_F(DeviceLinkTest, AnUnplugDuringTheFullWriteLeavesTheAgentRunningAndThePlugInCompletesIt) {
  StartAttached();
  ASSERT_TRUE(SaveProfileFiles(DistinctSet(), Data()));
  const std::string files = ProfileFileBytes();
  // Unplugged before write k of the full write, for a spread of k over its 106 reports.
  for (std::size_t k : {1u, 30u, 77u, 106u}) {
    SCOPED_TRACE(k);
    m_mouse->WithMouse([](VirtualMouse& mouse) { mouse.WriteMemory(0, Bytes(0x500, 0)); });
    const std::size_t before = m_mouse->ReportsReceived();
    const unsigned connections = m_mouse->ConnectionCount();
    m_mouse->DropClientAfter(k - 1);
    EXPECT_EQ(Send(agent_msg::kApplyAll), 0);
    EXPECT_TRUE(m_agent->Running());
    EXPECT_EQ(FindWindowW(nullptr, L"VireoProgressbar"), nullptr);

    // The library connects again: the plug-in completes the write instead of reading back
    // the half-written mouse over the files.
    ASSERT_TRUE(m_mouse->WaitForReports(before + (k - 1) + 106 + 2 + 15, 20000ms));
    ASSERT_TRUE(WaitPendingCleared());
    EXPECT_GT(m_mouse->ConnectionCount(), connections);
    ExpectDistinctSetInTheMouse();
    EXPECT_EQ(ProfileFileBytes(), files);
  }
  EXPECT_EQ(m_configurator.Count(configurator_msg::kNewsProfilesRewritten, 0), 1);
}

TEST_F(DeviceLinkTest, OverTheHidApiTheReadBackAndTheFullWriteGiveTheSameBytesAsTheTcpLink) {
  // The TCP link: what the read-back writes, and what the full write leaves in the mouse.
  StartMouse();
  m_mouse->WithMouse(FillMouse);
  StartAgent(m_mouse->Port());
  ASSERT_TRUE(m_configurator.WaitFor(configurator_msg::kNewsProfilesRewritten, 1, 20000, 0));
  harness::PumpMessages(1000);  // the first-run mark lands 500 ms after the start
  const std::map<std::wstring, std::string> readBack = DataFiles();
  ASSERT_GE(readBack.size(), 8u);  // five profiles, the index, two macros
  ASSERT_TRUE(SaveProfileFiles(DistinctSet(), Data()));
  SendExpecting(106, agent_msg::kApplyAll);
  const Bytes written = m_mouse->Memory();
  EndAgent();
  m_mouse.reset();

  // The HID API, for a mouse that answers with input reports and for one with feature reports.
  int news = 1;
  for (auto answers : {harness::FakeHidMouse::Answers::AsInputReports,
                       harness::FakeHidMouse::Answers::AsFeatureReports}) {
    SCOPED_TRACE(answers == harness::FakeHidMouse::Answers::AsInputReports ? "input" : "feature");
    RemoveDataFolder();
    harness::FakeHidBus bus;
    harness::FakeHidMouse mouse(bus, answers);
    mouse.WithMouse(FillMouse);
    mouse.Plug();
    StartHidAgent();
    ASSERT_TRUE(m_configurator.WaitFor(configurator_msg::kNewsProfilesRewritten, ++news, 20000, 0));
    harness::PumpMessages(1000);
    EXPECT_EQ(Differences(DataFiles(), readBack), "");
    ASSERT_TRUE(SaveProfileFiles(DistinctSet(), Data()));
    const std::size_t before = mouse.Reports();
    EXPECT_EQ(Send(agent_msg::kApplyAll), 0);
    ASSERT_TRUE(mouse.WaitForReports(before + 106, 10000));
    const Bytes memory = mouse.WithMouse(
        [](VirtualMouse& m) { return Bytes(m.Memory().begin(), m.Memory().end()); });
    EXPECT_TRUE(memory == written);
    EXPECT_FALSE(mouse.WithMouse([](VirtualMouse& m) {
      for (const std::string& line : m.Log()) {
        if (line.find("ignored") != std::string::npos) return true;
      }
      return false;
    }));
    EndAgent();
  }
}

TEST_F(DeviceLinkTest, AnUnplugBeforeAnyReadOfTheReadBackKeepsTheFilesAndTheNextPlugInReadsBack) {
  harness::FakeHidBus bus;
  harness::FakeHidMouse mouse(bus);
  mouse.WithMouse(FillMouse);
  StartHidAgent();
  ASSERT_TRUE(bus.WaitListener(5000));
  harness::PumpMessages(1000);  // the first-run mark lands 500 ms after the start
  ASSERT_TRUE(SaveProfileFiles(DistinctSet(), Data()));
  const std::map<std::wstring, std::string> files = DataFiles();
  ASSERT_GE(files.size(), 5u);
  // Read k's command is output report k + 1 (the transfer begins first); 143 reads in all.
  for (std::size_t k : {1u, 2u, 9u, 60u, 142u, 143u}) {
    SCOPED_TRACE(k);
    mouse.UnplugAtReport(k + 1);
    mouse.Plug();
    for (int i = 0; i < 200 && !mouse.UnpluggedByReport(); ++i) Sleep(25);
    ASSERT_TRUE(mouse.UnpluggedByReport());
    harness::PumpMessages(1500);  // the agent notices and gives up
    EXPECT_TRUE(m_agent->Running());
    EXPECT_EQ(Differences(DataFiles(), files), "");
    EXPECT_EQ(m_configurator.Count(configurator_msg::kNewsProfilesRewritten, 0), 0);
  }
  mouse.Plug();
  ASSERT_TRUE(m_configurator.WaitFor(configurator_msg::kNewsProfilesRewritten, 1, 20000, 0));
  EXPECT_EQ(LoadFiles().CurrentProfile, 2);
}

// The message-only windows of Conduit.dll in the agent's process.
std::vector<HWND> LibraryWindows(HWND agent) {
  DWORD agentProcess = 0;
  GetWindowThreadProcessId(agent, &agentProcess);
  std::vector<HWND> windows;
  for (const wchar_t* name : {L"ConduitNotificationWindow", L"ConduitHidWatchWindow"}) {
    for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, name, nullptr); window;
         window = FindWindowExW(HWND_MESSAGE, window, name, nullptr)) {
      DWORD process = 0;
      GetWindowThreadProcessId(window, &process);
      if (process == agentProcess) windows.push_back(window);
    }
  }
  return windows;
}

// Every WM_APP message, random parameters and forged open notifications in the library's old
// format, posted to each of the library's windows from this process; then WM_CLOSE.
void PostHostileMessages(const std::vector<HWND>& windows) {
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (HWND window : windows) {
    for (int i = 0; i < 4; ++i) {
      PostMessageW(window, WM_APP + 1, 0x77 + i, i % 2 ? 0x0001000C : 0x0001FFA0);
    }
    for (UINT message = WM_APP; message < 0xC000; ++message) {
      while (!PostMessageW(window, message, next(), static_cast<LPARAM>(next())) &&
             GetLastError() == ERROR_NOT_ENOUGH_QUOTA) {
        Sleep(10);
      }
      if (message % 512 == 0) Sleep(1);
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
}

TEST_F(DeviceLinkTest, MessagesFromAnotherProcessToTheLibrarysWindowsChangeNothing) {
  StartAttached();
  const std::vector<HWND> windows = LibraryWindows(m_agentWindow);
  ASSERT_FALSE(windows.empty());
  const std::size_t reads =
      m_mouse->WithMouse([](VirtualMouse& mouse) { return mouse.ReadCount(); });
  PostHostileMessages(windows);
  Sleep(3000);  // time for the agent to act on them, if it did
  EXPECT_TRUE(m_agent->Running());
  for (HWND window : windows) EXPECT_TRUE(IsWindow(window));
  // No read-back of a forged device, and the link to the mouse still works.
  EXPECT_EQ(m_mouse->WithMouse([](VirtualMouse& mouse) { return mouse.ReadCount(); }), reads);
  EXPECT_EQ(m_configurator.Count(configurator_msg::kNewsProfilesRewritten, 0), 1);
  ASSERT_TRUE(SaveProfileFiles(DistinctSet(), Data()));
  SendExpecting(106, agent_msg::kApplyAll);
  ExpectDistinctSetInTheMouse();
  // An unplug and a plug-in are still noticed.
  m_mouse->Detach();
  m_mouse->Attach();
  EXPECT_TRUE(m_configurator.WaitFor(configurator_msg::kNewsProfilesRewritten, 2));
}

// ---- random messages from another process to every window of the agent and the beacon -----
//
// Left out of the random messages, because acting on them is the receiver's contract:
// - ending requests the platform lets any program make: WM_QUIT (PostThreadMessage does the
//   same), WM_CLOSE and the close system command (how taskkill and installers end a program);
// - to the agent: the configurator's change notifications 0x4DE, 0x4DF, 0x4E2, 0x4E3, 0x1514
//   and 0x1516 (each is a transfer to the mouse), the tray icon's callback 0x7E9 and its
//   commands 6001 and 6006 (open or close the configurator, show the menu, exit), and 0x7EB (a
//   mouse arrived: pause, beacon, device state); while its tray menu is open, keyboard and
//   mouse input too, which the menu takes as the user's choice;
// - to the beacon: its tray callback (a click ends it) and its ten-second timer (which ends it).
// Everything else, the agent's other numbers (0x502 above all) and every lifecycle message
// included, must change nothing.

const std::vector<harness::ExcludedMessage> kEndingRequests = {
    {WM_QUIT, {}}, {WM_CLOSE, {}}, {WM_SYSCOMMAND, SC_CLOSE}};

std::vector<harness::ExcludedMessage> AgentExclusions(bool menuOpen) {
  std::vector<harness::ExcludedMessage> excluded = kEndingRequests;
  for (UINT message : {agent_msg::kApplyAll, agent_msg::kPollingRate, agent_msg::kProfileSelected,
                       agent_msg::kLightingChanged, agent_msg::kMacroChanged,
                       agent_msg::kButtonMacro, agent_msg::kTrayCallback, agent_msg::kMouseData}) {
    excluded.push_back({message, {}});
  }
  excluded.push_back({WM_COMMAND, agent_msg::kCommandOpenConfigurator});
  excluded.push_back({WM_COMMAND, agent_msg::kCommandExit});
  if (menuOpen) {
    for (UINT input = WM_KEYFIRST; input <= WM_KEYLAST; ++input) excluded.push_back({input, {}});
    for (UINT input = WM_MOUSEFIRST; input <= WM_MOUSELAST; ++input)
      excluded.push_back({input, {}});
    for (UINT input = WM_NCMOUSEMOVE; input <= WM_NCXBUTTONDBLCLK; ++input) {
      excluded.push_back({input, {}});
    }
  }
  return excluded;
}

// The open tray menu of the agent's thread, once it is on screen.
HWND WaitForTrayMenu(HWND agent) {
  const DWORD agentThread = GetWindowThreadProcessId(agent, nullptr);
  for (int i = 0; i < 200; ++i) {
    for (HWND menu = FindWindowW(L"#32768", nullptr); menu != nullptr;
         menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) {
      if (IsWindowVisible(menu) && GetWindowThreadProcessId(menu, nullptr) == agentThread) {
        return menu;
      }
    }
    harness::PumpMessages(25);
  }
  return nullptr;
}

TEST_F(DeviceLinkTest, RandomMessagesFromAnotherProcessToEveryWindowOfTheAgentChangeNothing) {
  harness::ChildCounter children;
  ASSERT_TRUE(children.Ready());
  ASSERT_TRUE(harness::CopyInto(harness::BinFolder() + L"beacon.exe", m_program.Path()));
  StartAttached();
  const HWND beacon = harness::WaitForWindow(AsWide(program_names::kBeaconWindowTitle), 10000);
  ASSERT_NE(beacon, nullptr);
  DWORD beaconProcessId = 0;
  GetWindowThreadProcessId(beacon, &beaconProcessId);
  const UniqueKernelHandle beaconProcess(
      OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, beaconProcessId));
  ASSERT_TRUE(beaconProcess);
  harness::PumpMessages(1000);  // the first run's configurator start is over
  DWORD agentProcess = 0;
  GetWindowThreadProcessId(m_agentWindow, &agentProcess);
  const std::vector<HWND> windows = harness::WindowsOfProcess(agentProcess, {L"Conduit.dll"});
  ASSERT_GE(windows.size(), 2u);  // its own and the library's

  const auto files = DataFiles();
  const std::size_t reports = m_mouse->ReportsReceived();
  const std::size_t news = m_configurator.Got().size();
  const long started = children.Started();
  const std::uint64_t seed = harness::HostileSeed();
  std::printf("hostile messages: seed %llu (VIREO_HOSTILE_SEED=%llu replays it)\n",
              static_cast<unsigned long long>(seed), static_cast<unsigned long long>(seed));
  harness::HostileMessageSource source(seed);
  // The window lives through all of them.
  const auto deliver = [&source](const harness::HostileMessageSource::Target& target) {
    EXPECT_EQ(source.Deliver(target), target.Count) << "window " << target.Window;
  };

  // The beacon, within its ten seconds.
  std::vector<harness::ExcludedMessage> beaconExcluded = kEndingRequests;
  beaconExcluded.push_back({WM_APP + 1, {}});
  beaconExcluded.push_back({WM_TIMER, 1});
  deliver({beacon, beaconExcluded, {WM_APP + 1, WM_TIMER, WM_SETTEXT}, 2000});
  EXPECT_EQ(FindWindowW(nullptr, AsWide(program_names::kBeaconWindowTitle)), beacon);

  // Every window of the agent's process: its own and the library's message-only ones.
  for (HWND window : windows) {
    harness::HostileMessageSource::Target target;
    target.Window = window;
    if (window == m_agentWindow) {
      target.Excluded = AgentExclusions(false);
      target.Own = {agent_msg::kDeviceNotify,
                    agent_msg::kIgnored504,
                    agent_msg::kIgnored4AC,
                    RegisterWindowMessageW(L"TaskbarCreated"),
                    WM_TIMER,
                    WM_COMMAND,
                    WM_DEVICECHANGE,
                    WM_WTSSESSION_CHANGE,
                    WM_SETTEXT};
    } else {
      target.Excluded = {{WM_QUIT, {}}};
      target.Own = {WM_APP + 1, WM_TIMER, WM_DEVICECHANGE, WM_CLOSE};
    }
    deliver(target);
  }

  // The agent inside its tray menu's loop, which dispatches what is posted meanwhile.
  PostMessageW(m_agentWindow, agent_msg::kTrayCallback, 128, WM_RBUTTONDOWN);
  const HWND menu = WaitForTrayMenu(m_agentWindow);
  ASSERT_NE(menu, nullptr);
  deliver({m_agentWindow, AgentExclusions(true), {agent_msg::kDeviceNotify}, 1000});
  PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(harness::WaitForNoWindow(L"#32768", 5000) || !IsWindowVisible(menu));

  harness::PumpMessages(3000);  // time for the agent to act on them, if it did
  EXPECT_TRUE(m_agent->Running());
  for (HWND window : windows) EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle)), m_agentWindow);
  EXPECT_EQ(m_mouse->ReportsReceived(), reports);
  EXPECT_EQ(Differences(DataFiles(), files), "");
  EXPECT_EQ(m_configurator.Got().size(), news);
  EXPECT_EQ(children.Started(), started);
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = m_agentWindow;
  icon.uID = 128;
  EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &icon)) << "the tray icon is gone";
  // The beacon ends by itself, after its ten seconds.
  ASSERT_EQ(WaitForSingleObject(beaconProcess.get(), 15000), WAIT_OBJECT_0);
  DWORD beaconExit = 1;
  GetExitCodeProcess(beaconProcess.get(), &beaconExit);
  EXPECT_EQ(beaconExit, 0u);

  // Full writes with the progress window under fire; each still writes everything, once.
  ASSERT_TRUE(SaveProfileFiles(DistinctSet(), Data()));
  for (int write = 0; write < 3; ++write) {
    const std::size_t before = m_mouse->ReportsReceived();
    PostMessageW(m_agentWindow, agent_msg::kApplyAll, 0, 0);
    const HWND progress = harness::WaitForWindow(L"VireoProgressbar", 5000);
    ASSERT_NE(progress, nullptr);
    for (HWND window : harness::WindowsOfProcess(agentProcess, {})) {
      if (window == progress || IsChild(progress, window)) {
        // The write takes hardly any messages in; what waits goes with the window.
        source.Deliver({window, {{WM_QUIT, {}}}, {}, 4000, false});
      }
    }
    EXPECT_TRUE(m_mouse->WaitForReports(before + 106, 10000ms));
    EXPECT_TRUE(harness::WaitForNoWindow(L"VireoProgressbar", 5000));
    Sleep(100);
    EXPECT_EQ(m_mouse->ReportsReceived() - before, 106u);
  }
  ExpectDistinctSetInTheMouse();
  EXPECT_TRUE(m_agent->Running());
  m_mouse->Detach();
  m_mouse->Attach();
  EXPECT_TRUE(m_configurator.WaitFor(configurator_msg::kNewsProfilesRewritten, 2));
}

}  // namespace
