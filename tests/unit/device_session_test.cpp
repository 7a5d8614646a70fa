#include "agent/device_session.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "agent/agent_requests.h"
#include "agent/beacon_starter.h"
#include "agent/pointer_speed.h"
#include "agent/pointer_speed_source.h"
#include "agent/progress_sink.h"
#include "settings/ini_document.h"
#include "settings/ini_file.h"
#include "settings/macro_library.h"
#include "settings/profile_files.h"
#include "settings/utf8.h"
#include "support/fake_device_link.h"
#include "support/sample_profiles.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class RecordingProgress : public ProgressSink {
 public:
  void Open() override {
    Steps.push_back(-1);
    if (OnOpen) OnOpen();
  }
  void SetPercent(int percent) override { Steps.push_back(percent); }
  void Close() override { Steps.push_back(-2); }
  std::vector<int> Steps;
  std::function<void()> OnOpen;
};

class CountingBeacon : public BeaconStarter {
 public:
  void StartBeacon() override { ++Starts; }
  int Starts = 0;
};

class FixedPointerSpeed : public PointerSpeedSource {
 public:
  std::optional<std::u16string> ReadPointerSpeedText() override { return Text; }
  std::optional<std::u16string> Text;
};

class DeviceSessionTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/device_session_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_root = pattern;
    std::filesystem::create_directories(m_root / "MacroDB");
    m_profiles = MakeSampleProfileSet();
    for (ProfileRecord& r : m_profiles.Profiles) {
      for (ButtonAssignment& b : r.Buttons) b.ButtonFunc = 1;
    }
    m_session = std::make_unique<DeviceSession>(
        m_profiles, DataFolder(),
        DeviceSessionPorts{m_link, m_sleeper, m_progress, m_log, m_poster, m_beacon, m_speed});
  }
  void TearDown() override { std::filesystem::remove_all(m_root); }

  std::u16string DataFolder() const { return Utf8ToUtf16(m_root.string()) + u"\\"; }

  void Open(std::uint32_t id, std::uint16_t page, std::uint32_t device = 1) {
    m_session->OnCollectionNotification({1, id, device, page});
  }
  void Close(std::uint32_t id, std::uint16_t page, std::uint32_t device = 1) {
    m_session->OnCollectionNotification({0, id, device, page});
  }
  void AttachMouse() {
    m_link.ZeroAnswers = true;
    Open(0x11, 0x000C);
    Open(0x22, 0xFFA0);
    m_link.Sent.clear();
    m_log.Lines.clear();
    m_poster.Posted.clear();
    m_sleeper.Pauses.clear();
  }

  int Count(std::uint8_t command, int argument = -1) const {
    int n = 0;
    for (const SentReport& r : m_link.Sent) {
      if (r.Command() == command && (argument < 0 || r.Bytes[2] == argument)) ++n;
    }
    return n;
  }
  // Command and address (or arguments) of every report, in order.
  std::vector<std::pair<int, int>> Shape() const {
    std::vector<std::pair<int, int>> shape;
    for (const SentReport& r : m_link.Sent) shape.emplace_back(r.Command(), r.Address());
    return shape;
  }

  int DeviceKey() const {
    return IniFile(DataFolder() + u"MacroDB\\MacroSet.MSDB").GetInt(u"Setting", u"Device", -9);
  }
  int PendingKey() const {
    return IniFile(DataFolder() + u"MacroDB\\MacroSet.MSDB").GetInt(u"Setting", u"Pending", 0);
  }
  // The bytes of every file in the data folder and its macro folder, by name.
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(m_root)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      files[entry.path().string()].assign(std::istreambuf_iterator<char>(in), {});
    }
    return files;
  }

  std::filesystem::path m_root;
  FakeDeviceLink m_link;
  RecordingSleeper m_sleeper;
  RecordingProgress m_progress;
  RecordingLog m_log;
  RecordingPoster m_poster;
  CountingBeacon m_beacon;
  FixedPointerSpeed m_speed;
  ProfileSet m_profiles{};
  std::unique_ptr<DeviceSession> m_session;
};

TEST_F(DeviceSessionTest, FullWriteSends106ReportsInOrderWith400MsOfPauses) {
  AttachMouse();
  m_session->SendAll2Mouse();
  ASSERT_EQ(m_link.Sent.size(), 106u);

  std::vector<std::pair<int, int>> expected = {{0xF5, 0}, {0xF3, 0x03E}, {0xF3, 0x446}};
  for (int p = 0; p < 5; ++p) {
    expected.push_back({0xF3, 0x449 + 8 * p});
    expected.push_back({0xF3, 0x44F + 8 * p});
  }
  expected.insert(expected.end(), {{0xF3, 0x032}, {0xF3, 0x038}, {0xF3, 0x020}});
  const int blocks[] = {0x040, 0x100, 0x1B0, 0x260, 0x310};
  for (int p = 0; p < 5; ++p) expected.push_back({0xF3, blocks[p] + 2});
  expected.insert(expected.end(), {{0xF1, 0x0202}, {0xF1, 0x1002}});
  for (int s = 0; s < 5; ++s) {
    for (int p = 0; p < 5; ++p) expected.push_back({0xF3, blocks[p] + 4 + 6 * s});
  }
  expected.insert(expected.end(), {{0xF1, 0x1002}, {0xF3, 0x02C}, {0xF1, 0x0102}});
  for (int p = 0; p < 5; ++p) {
    for (int b = 0; b < 10; ++b) expected.push_back({0xF3, blocks[p] + 66 + 4 * (b == 9 ? 22 : b)});
  }
  expected.insert(expected.end(),
                  {{0xF1, 0x0402}, {0xF1, 0x0102}, {0xF1, 0x0202}, {0xF1, 0x0802}, {0xF5, 1}});
  EXPECT_EQ(Shape(), expected);
  for (const SentReport& r : m_link.Sent) EXPECT_EQ(r.DeviceId, 0x22u);

  EXPECT_EQ(m_progress.Steps,
            (std::vector<int>{-1, 5, 10, 15, 20, 25, 30, 30, 40, 50, 60, 70, 100, -2}));
  EXPECT_EQ(m_sleeper.Pauses, (std::vector<unsigned>{100, 100, 200}));
  EXPECT_EQ(m_log.Lines, std::vector<std::string>{"SendAll2Mouse\n"});
}

TEST_F(DeviceSessionTest, TheProgressWindowAppearsDuringTheBeginPauseWithoutShorteningIt) {
  AttachMouse();
  m_link.Clock = &m_sleeper.Clock;
  std::size_t sentAtOpen = 0;
  m_progress.OnOpen = [&] {
    sentAtOpen = m_link.Sent.size();
    m_sleeper.Clock += 30000;  // the window takes 30 ms to appear
  };
  m_session->SendAll2Mouse();
  ASSERT_EQ(m_link.Sent.size(), 106u);
  EXPECT_EQ(sentAtOpen, 1u);  // the transfer's begin
  EXPECT_EQ(m_link.Sent[1].At - m_link.Sent[0].At, 100000u);
  EXPECT_EQ(m_sleeper.Pauses, (std::vector<unsigned>{70, 100, 200}));
}

TEST_F(DeviceSessionTest, FullWriteRunsWithoutAMouseAndSkipsMacrosNotInTheLibrary) {
  m_profiles.Profiles[2].Buttons[4].ButtonFunc = 100;
  SetMacroName(m_profiles.Profiles[2].Buttons[4], u"gone");
  m_session->SendAll2Mouse();
  EXPECT_EQ(m_link.Sent.size(), 105u);
  for (const SentReport& r : m_link.Sent) EXPECT_EQ(r.DeviceId, 0u);  // reaches nothing
  EXPECT_EQ(m_progress.Steps.back(), -2);
}

TEST_F(DeviceSessionTest, PartialWritesRunOnlyWhileTheLinkIsOpen) {
  // Closed: only the applies of a profile selection go out.
  m_session->WritePollingRateChange();
  m_session->WriteLightingChange();
  m_session->WriteButtonChange({2, 9});
  m_session->WriteMacroChange({3, true});
  EXPECT_TRUE(m_link.Sent.empty());
  m_session->WriteProfileSelection();
  EXPECT_EQ(Shape(),
            (std::vector<std::pair<int, int>>{{0xF1, 0x0402}, {0xF1, 0x0202}, {0xF1, 0x0802}}));

  AttachMouse();
  m_session->WritePollingRateChange();
  EXPECT_EQ(Shape(),
            (std::vector<std::pair<int, int>>{{0xF3, 0x032}, {0xF3, 0x038}, {0xF1, 0x0802}}));
  m_link.Sent.clear();
  m_session->WriteProfileSelection();
  EXPECT_EQ(Shape(),
            (std::vector<std::pair<int, int>>{
                {0xF3, 0x02C}, {0xF1, 0x0102}, {0xF1, 0x0402}, {0xF1, 0x0202}, {0xF1, 0x0802}}));
  m_link.Sent.clear();
  m_session->WriteLightingChange();
  EXPECT_EQ(m_link.Sent.size(), 12u);
  EXPECT_EQ(Shape().back(), std::make_pair(0xF1, 0x0402));
  m_link.Sent.clear();
  // One button of profile 2: button 9 is slot 22, and no apply follows.
  m_session->WriteButtonChange({2, 9});
  EXPECT_EQ(Shape(), (std::vector<std::pair<int, int>>{{0xF3, 0x1B0 + 66 + 88}}));
  m_link.Sent.clear();
  m_sleeper.Pauses.clear();
  m_session->WriteMacroChange({3, true});
  ASSERT_EQ(m_link.Sent.size(), 3u);
  EXPECT_EQ(Shape()[0], std::make_pair(0xF5, 0));
  EXPECT_EQ(m_link.Sent[1].Bytes.size(), 1024u);
  EXPECT_EQ(m_link.Sent[1].Address(), 0x478 + 600);
  EXPECT_TRUE(std::all_of(m_link.Sent[1].Bytes.begin() + 8, m_link.Sent[1].Bytes.end(),
                          [](auto b) { return b == 0; }));
  EXPECT_EQ(Shape()[2], std::make_pair(0xF5, 1));
  EXPECT_EQ(m_sleeper.Pauses, (std::vector<unsigned>{100, 100}));
}

TEST_F(DeviceSessionTest, CollectionsPairByDeviceSoExtraOrLostNotificationsCannotShiftThePairs) {
  m_link.ZeroAnswers = true;
  const int readsPerQuery = 1 + 5 + 2 + 5 + 80 + 50;
  Open(0x10011, 0x000C);
  Open(0x10011, 0x000C);  // said twice (a rescan): still half a mouse
  EXPECT_EQ(m_link.Reads, 0);
  EXPECT_EQ(m_session->DeviceLinkOpen(), 0);
  Open(0x22, 0xFFA0);
  EXPECT_EQ(m_session->DeviceLinkOpen(), 1);
  EXPECT_EQ(m_link.Reads, readsPerQuery);
  EXPECT_EQ(m_beacon.Starts, 1);
  EXPECT_EQ(m_log.Lines[0], "MONITOROPEN:dwDeviceID=11\n");
  EXPECT_EQ(m_log.Lines[2], "MONITOROPEN:dwDeviceID=22\n");
  EXPECT_EQ(m_log.Lines[3], "QueryAllFrMouse\n");
  EXPECT_EQ(m_poster.Posted, (std::vector<PostedMessage>{{0x1515, 0, 0}}));
  for (const SentReport& r : m_link.Sent) EXPECT_EQ(r.DeviceId, 0x22u);
  Open(0x22, 0xFFA0);  // repeated: no second read-back of the same plug-in
  EXPECT_EQ(m_link.Reads, readsPerQuery);

  // Unplugged: both leave the list. A collection of another mouse never completes this one.
  Close(0x22, 0xFFA0);
  EXPECT_EQ(m_log.Lines.back(), "MONITORCLOSE:dwDeviceID=22\n");
  Close(0x10011, 0x000C);
  EXPECT_TRUE(m_session->Registry().DeviceList().empty());
  Open(0x55, 0xFFA0, 3);
  Open(0x33, 0x000C, 2);
  EXPECT_EQ(m_link.Reads, readsPerQuery);
  Open(0x44, 0xFFA0, 2);
  EXPECT_EQ(m_link.Reads, 2 * readsPerQuery);
  EXPECT_EQ(m_beacon.Starts, 2);
  EXPECT_EQ(m_link.Sent.back().DeviceId, 0x44u);
}

TEST_F(DeviceSessionTest, AnUnplugBeforeAnyReadOfTheReadBackKeepsFilesAndProfiles) {
  ASSERT_TRUE(SaveProfileFiles(m_profiles, DataFolder()));
  const std::map<std::string, std::string> files = Files();
  const ProfileSet before = m_profiles;
  m_link.ZeroAnswers = true;
  const int readsPerQuery = 1 + 5 + 2 + 5 + 80 + 50;
  for (int k = 1; k <= readsPerQuery; ++k) {
    SCOPED_TRACE(k);
    m_link.Reads = m_link.Writes = 0;
    m_link.UnpluggedAtRead = k;
    m_link.UnpluggedAtWrite = 0;
    Open(0x11, 0x000C);
    Open(0x22, 0xFFA0);
    EXPECT_EQ(Files(), files);
    EXPECT_EQ(0, std::memcmp(&m_profiles, &before, sizeof before));
    EXPECT_TRUE(m_poster.Posted.empty());
    EXPECT_EQ(m_beacon.Starts, 0);
    Close(0x11, 0x000C);
    Close(0x22, 0xFFA0);
  }
  // The next complete plug-in reads back.
  m_link.UnpluggedAtRead = m_link.UnpluggedAtWrite = 0;
  Open(0x11, 0x000C);
  Open(0x22, 0xFFA0);
  EXPECT_EQ(m_poster.Posted, (std::vector<PostedMessage>{{0x1515, 0, 0}}));
  EXPECT_EQ(m_beacon.Starts, 1);
  EXPECT_NE(Files(), files);
}

TEST_F(DeviceSessionTest, ChangesThatCannotReachTheMouseAreDeliveredAtTheNextPlugIn) {
  ProfileSet changed = m_profiles;
  changed.CurrentProfile = 3;
  ASSERT_TRUE(SaveProfileFiles(changed, DataFolder()));
  m_session->WriteLightingChange();  // no mouse
  EXPECT_EQ(PendingKey(), 1);
  std::map<std::string, std::string> files = Files();
  const std::string index = (m_root / "MacroDB" / "MacroSet.MSDB").string();

  m_link.ZeroAnswers = true;
  Open(0x11, 0x000C);
  Open(0x22, 0xFFA0);
  EXPECT_EQ(m_link.Reads, 0);  // no read-back over the changes
  ASSERT_EQ(m_link.Sent.size(), 106u + 2 + 15);
  const auto active = std::find_if(m_link.Sent.begin(), m_link.Sent.end(), [](const SentReport& r) {
    return r.Command() == 0xF3 && r.Address() == 0x02C;
  });
  ASSERT_NE(active, m_link.Sent.end());
  EXPECT_EQ(active->Bytes[8], 3);  // the active profile from the files
  EXPECT_EQ(m_link.Sent.back().Command(), 0xF5);
  EXPECT_EQ(m_link.Sent[107].Bytes.size(), 1024u);
  EXPECT_EQ(PendingKey(), 0);
  EXPECT_EQ(m_beacon.Starts, 1);
  EXPECT_TRUE(m_poster.Posted.empty());
  std::map<std::string, std::string> after = Files();
  files.erase(index);  // only the mark changed there
  after.erase(index);
  EXPECT_EQ(after, files);

  // Without the mark the next plug-in reads back.
  Close(0x11, 0x000C);
  Close(0x22, 0xFFA0);
  Open(0x11, 0x000C);
  Open(0x22, 0xFFA0);
  EXPECT_GT(m_link.Reads, 0);

  // Unplugged before write k of a full write, for every k: the window closes, the change stays
  // pending, and the next plug-in writes everything.
  for (int k = 1; k <= 106; ++k) {
    SCOPED_TRACE(k);
    m_link.Writes = 0;
    m_link.UnpluggedAtWrite = k;
    m_session->SendAll2Mouse();
    EXPECT_EQ(m_progress.Steps.back(), -2);
    EXPECT_EQ(PendingKey(), 1);
    Close(0x11, 0x000C);
    Close(0x22, 0xFFA0);
    m_link.UnpluggedAtWrite = 0;
    m_link.Sent.clear();
    Open(0x11, 0x000C);
    Open(0x22, 0xFFA0);
    EXPECT_EQ(m_link.Sent.size(), 106u + 2 + 15);
    EXPECT_EQ(PendingKey(), 0);
  }
}

TEST_F(DeviceSessionTest, ReadBackRewritesTheProfileFilesWithTheWindowsPointerSpeed) {
  m_speed.Text = u"17";
  m_profiles.CurrentProfile = 1;
  AttachMouse();  // zero answers: the mouse's profile 0 becomes current
  ProfileSet loaded;
  ResetProfileSet(loaded);
  LoadProfileFiles(loaded, DataFolder());
  EXPECT_EQ(loaded.CurrentProfile, 0);
  EXPECT_EQ(loaded.Profiles[1].MouseSensitivity, 17);
  EXPECT_EQ(loaded.Profiles[0].MouseSensitivity, m_profiles.Profiles[0].MouseSensitivity);
  for (int p = 0; p < 5; ++p) EXPECT_EQ(loaded.Profiles[p].LedMode1, 7);
  EXPECT_EQ(loaded.Profiles[3].Buttons[2].ButtonFunc, 16);
}

TEST_F(DeviceSessionTest, PointerSpeedAtStartGoesIntoAllFiveFilesAndToTheConfigurator) {
  m_speed.Text = u"  +7";
  m_profiles.CurrentProfile = 2;
  m_session->SyncWindowsPointerSpeed(true);
  EXPECT_EQ(m_profiles.Profiles[2].MouseSensitivity, 7);
  for (int n = 1; n <= 5; ++n) {
    EXPECT_EQ(IniFile(ProfileFilePath(DataFolder(), n))
                  .GetInt(u"GROUP" + Utf8ToUtf16(std::to_string(n - 1)), u"MouseSensitivity", -9),
              7);
  }
  EXPECT_EQ(m_poster.Posted, (std::vector<PostedMessage>{{0x1515, 12, 7}}));

  // Nothing usable: nothing changes anywhere.
  for (auto text : {std::optional<std::u16string>{}, std::optional<std::u16string>{u"abc"},
                    std::optional<std::u16string>{u"0"}, std::optional<std::u16string>{u"21"}}) {
    m_speed.Text = text;
    m_session->SyncWindowsPointerSpeed(true);
  }
  EXPECT_EQ(m_profiles.Profiles[2].MouseSensitivity, 7);
  EXPECT_EQ(m_poster.Posted.size(), 1u);
  EXPECT_EQ(IniFile(ProfileFilePath(DataFolder(), 1)).GetInt(u"GROUP0", u"MouseSensitivity", -9),
            7);
}

TEST(PointerSpeedText, ReadsLikeTheWideStringConversion) {
  EXPECT_EQ(ParseRegistryInteger(u"10"), 10);
  EXPECT_EQ(ParseRegistryInteger(u" \t\n-12x"), -12);
  EXPECT_EQ(ParseRegistryInteger(u"+3 4"), 3);
  EXPECT_EQ(ParseRegistryInteger(u""), 0);
  EXPECT_EQ(ParseRegistryInteger(u"- 5"), 0);
  EXPECT_EQ(ParseRegistryInteger(u"99999999999"), 2147483647);
  EXPECT_EQ(ParseRegistryInteger(u"-99999999999"), -2147483647 - 1);
  EXPECT_EQ(PointerSpeedOf(u"20"), 20);
  EXPECT_EQ(PointerSpeedOf(u"1"), 1);
  EXPECT_FALSE(PointerSpeedOf(u"-3"));
}

TEST_F(DeviceSessionTest, MouseDataRecordsArrivalAndRemoval) {
  m_session->OnMouseData(0xFFFE);
  EXPECT_EQ(m_sleeper.Pauses, std::vector<unsigned>{5000});
  EXPECT_EQ(m_beacon.Starts, 1);
  EXPECT_EQ(DeviceKey(), 1);
  EXPECT_EQ(m_log.Lines,
            (std::vector<std::string>{"\t\tOnMouseData ReadData:FFFE\n", "arrive new device"}));

  m_log.Lines.clear();
  m_session->OnMouseData(0xFFFD);
  EXPECT_EQ(DeviceKey(), 0);
  EXPECT_EQ(m_poster.Posted, (std::vector<PostedMessage>{{0x4DD, 0, 0}}));
  EXPECT_EQ(m_log.Lines,
            (std::vector<std::string>{"\t\tOnMouseData ReadData:FFFD\n", "remove usb mouse"}));

  m_log.Lines.clear();
  m_session->OnMouseData(0x1A);
  EXPECT_EQ(m_log.Lines, std::vector<std::string>{"\t\tOnMouseData ReadData:1A\n"});
  EXPECT_EQ(DeviceKey(), 0);
  EXPECT_EQ(m_beacon.Starts, 1);
  EXPECT_TRUE(m_link.Sent.empty());
}

}  // namespace
