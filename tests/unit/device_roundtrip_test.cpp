// The agent's encoding against the virtual mouse: what a full write or a macro upload puts
// into the mouse's memory comes back unchanged through the read-back.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "agent/beacon_starter.h"
#include "agent/device_session.h"
#include "agent/null_progress_sink.h"
#include "agent/pointer_speed_source.h"
#include "settings/macro.h"
#include "settings/macro_library.h"
#include "settings/profile_files.h"
#include "settings/utf8.h"
#include "support/fake_device_link.h"
#include "support/sample_profiles.h"
#include "vmouse/virtual_mouse.h"

namespace {

// The device link straight into a virtual mouse, by collection id.
class VirtualMouseLink : public DeviceLink {
 public:
  explicit VirtualMouseLink(VirtualMouse& mouse) : m_mouse(mouse) {}
  bool WriteReport(std::uint32_t deviceId, std::span<const std::uint8_t> report) override {
    m_mouse.HandleOutputReport(static_cast<std::uint16_t>(deviceId), report);
    return true;
  }
  bool ReadReport(std::uint32_t deviceId, std::span<std::uint8_t> buffer) override {
    const std::vector<std::uint8_t> answer =
        m_mouse.AnswerRead(static_cast<std::uint16_t>(deviceId),
                           static_cast<std::uint16_t>(buffer.size()), buffer.first(2));
    std::copy_n(answer.begin(), std::min(answer.size(), buffer.size()), buffer.begin());
    return true;
  }

 private:
  VirtualMouse& m_mouse;
};

class NoBeacon : public BeaconStarter {
 public:
  void StartBeacon() override {}
};

class NoPointerSpeed : public PointerSpeedSource {
 public:
  std::optional<std::u16string> ReadPointerSpeedText() override { return std::nullopt; }
};

// One agent: its own data folder and profile set, attached to the shared mouse.
class Agent {
 public:
  Agent(VirtualMouse& mouse, const std::string& tag) : m_link(mouse) {
    std::string pattern = "/tmp/device_roundtrip_" + tag + "_XXXXXX";
    std::vector<char> path(pattern.begin(), pattern.end());
    path.push_back('\0');
    m_root = mkdtemp(path.data());
    std::filesystem::create_directories(m_root / "MacroDB");
    ResetProfileSet(Profiles);
    ValidateProfileSet(Profiles, Profiles);
    Session = std::make_unique<DeviceSession>(
        Profiles, DataFolder(),
        DeviceSessionPorts{m_link, m_sleeper, m_progress, m_log, m_poster, m_beacon, m_speed});
    Session->Registry().Add({1, VirtualMouse::kConsumerCollection, 1, 0x000C});
    Session->Registry().Add({1, VirtualMouse::kVendorCollection, 1, 0xFFA0});
    Session->SetDeviceLinkOpen(1);
  }
  ~Agent() { std::filesystem::remove_all(m_root); }

  std::u16string DataFolder() const { return Utf8ToUtf16(m_root.string()) + u"\\"; }
  MacroLibrary Library() const { return MacroLibrary(DataFolder()); }

  ProfileSet Profiles{};
  std::unique_ptr<DeviceSession> Session;

 private:
  std::filesystem::path m_root;
  VirtualMouseLink m_link;
  RecordingSleeper m_sleeper;
  NullProgressSink m_progress;
  RecordingLog m_log;
  RecordingPoster m_poster;
  NoBeacon m_beacon;
  NoPointerSpeed m_speed;
};

// What the agent does for 0x1514.
void UploadMacroArea(Agent& agent, int slot, bool clear) {
  MouseProtocol& protocol = agent.Session->Protocol();
  protocol.BeginTransfer();
  protocol.WriteMacroArea(slot, clear);
  protocol.EndTransfer();
}

// Every function kind the mouse can hold, spread over the 50 buttons.
const std::uint8_t kKinds[] = {1,  2,  3,  4,  5,  6,  7,  12, 13, 14, 16, 17, 18, 19, 20, 21, 22,
                               23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39,
                               40, 41, 42, 43, 44, 45, 47, 48, 49, 50, 51, 52, 53, 54, 100};

ProfileSet WritableSet() {
  ProfileSet set = MakeSampleProfileSet();
  for (int p = 0; p < kProfileCount; ++p) {
    ProfileRecord& r = set.Profiles[p];
    r.PollingRate = 1 << (p % 4);
    r.DPI = (p + 2) % 5;
    r.LedMode1 = (p * 3 + 1) % 8;
    for (LedLevelEntry& level : r.LedLevels) {
      level.Level = 1 + p % 3;
      level.Rate = 1 + p;
    }
    for (int s = 0; s < kDpiStagesInCycle; ++s) {
      DpiStage& stage = r.DpiStages[s];
      stage.X = stage.Y = 1 + (p * 17 + s * 29) % 75;  // the mouse keeps one value per stage
    }
    for (int b = 0; b < kButtonCount; ++b) {
      ButtonAssignment& button = r.Buttons[b];
      button.ButtonFunc = kKinds[(p * kButtonCount + b) % std::size(kKinds)];
      if (button.ButtonFunc == 100) SetMacroName(button, u"Play");
      // Key data in the form the mouse keeps it.
      if (button.ButtonFunc == 7) {
        button.KeyNumber = static_cast<std::uint8_t>(BuildKeyCombination(
            button, static_cast<std::uint8_t>((p + b) % 16), static_cast<std::uint8_t>(4 + b)));
      }
      if (button.ButtonFunc == 12) {
        const std::uint8_t fired[] = {0xF0, 0xF1, 0xF2, 0x2C};
        button.KeyBlock[0] = fired[(p + b) % 4];
        button.KeyNumber = static_cast<std::uint8_t>(10 * ((p * 7 + b) % 26));
      }
    }
  }
  // The key kinds with data that the mouse can carry.
  set.Profiles[0].Buttons[5].ButtonFunc = 6;
  set.Profiles[0].Buttons[5].KeyBlock[0] = 0x2C;
  ButtonAssignment& combination = set.Profiles[1].Buttons[3];
  combination.ButtonFunc = 7;
  combination.KeyNumber = static_cast<std::uint8_t>(BuildKeyCombination(combination, 0x0B, 0x16));
  ButtonAssignment& fire = set.Profiles[2].Buttons[1];
  fire.ButtonFunc = 12;
  fire.KeyBlock[0] = 0xF2;
  fire.LoopNumber = 4;
  fire.KeyNumber = 70;
  return set;
}

TEST(DeviceRoundTrip, AWholeProfileSetComesBackFromTheMouse) {
  VirtualMouse mouse;
  Agent writer(mouse, "writer");
  Macro play;
  play.Name = u"Play";
  play.Append(KeyRecord(4, true));
  ASSERT_TRUE(writer.Library().SaveMacro(play));
  ASSERT_EQ(writer.Library().AddMacroName(u"Play"), 0);
  writer.Profiles = WritableSet();
  const ProfileSet written = writer.Profiles;
  writer.Session->SendAll2Mouse();
  EXPECT_EQ(mouse.ActiveProfile(), written.CurrentProfile);

  Agent reader(mouse, "reader");
  reader.Session->QueryAllFrMouse();
  const ProfileSet& read = reader.Profiles;
  EXPECT_EQ(read.CurrentProfile, written.CurrentProfile);
  for (int p = 0; p < kProfileCount; ++p) {
    SCOPED_TRACE(p);
    const ProfileRecord& w = written.Profiles[p];
    const ProfileRecord& r = read.Profiles[p];
    EXPECT_EQ(r.PollingRate, w.PollingRate);
    EXPECT_EQ(r.DPI, w.DPI);
    for (int s = 0; s < kDpiStagesInCycle; ++s) {
      EXPECT_EQ(r.DpiStages[s].Enabled, w.DpiStages[s].Enabled) << s;
      EXPECT_EQ(r.DpiStages[s].X, w.DpiStages[s].X) << s;
      EXPECT_EQ(r.DpiStages[s].Y, w.DpiStages[s].Y) << s;
    }
    const int mode = w.LedMode1;
    EXPECT_EQ(r.LedMode1, mode);
    EXPECT_EQ(r.LedColor[mode], w.LedColor[mode]);
    if (mode < kLedLevelCount) {
      // The level travels as the lighting value, the speed as the flash value.
      EXPECT_EQ(r.LedState1, w.LedLevels[mode].Level);
      if (mode != 2) {
        EXPECT_EQ(r.FlashState1, std::min(w.LedLevels[mode].Rate, mode >= 5 ? 8 : 9));
      }
    }
    for (int b = 0; b < kButtonCount; ++b) {
      SCOPED_TRACE(b);
      const ButtonAssignment& wb = w.Buttons[b];
      const ButtonAssignment& rb = r.Buttons[b];
      EXPECT_EQ(rb.ButtonFunc, wb.ButtonFunc);
      if (wb.ButtonFunc == 6 || wb.ButtonFunc == 12) {
        EXPECT_EQ(rb.KeyBlock[0], wb.KeyBlock[0]);
      }
      if (wb.ButtonFunc == 7) {
        EXPECT_EQ(0, std::memcmp(rb.KeyBlock, wb.KeyBlock, kKeyBlockSize));
        EXPECT_EQ(rb.KeyNumber, wb.KeyNumber);
      }
      if (wb.ButtonFunc == 12) {
        EXPECT_EQ(rb.LoopNumber, wb.LoopNumber);
        EXPECT_EQ(rb.KeyNumber, wb.KeyNumber);
      }
    }
  }

  // And the profile files hold what was read.
  ProfileSet loaded;
  ResetProfileSet(loaded);
  LoadProfileFiles(loaded, reader.DataFolder());
  EXPECT_EQ(loaded.Profiles[1].Buttons[3].ButtonFunc, 7);
  EXPECT_EQ(loaded.Profiles[4].DpiStages[3].X, written.Profiles[4].DpiStages[3].X);
}

TEST(DeviceRoundTrip, AllFifteenMacroAreasComeBackIntoAnotherLibrary) {
  VirtualMouse mouse;
  Agent writer(mouse, "macros");
  std::vector<Macro> macros;
  for (int slot = 0; slot < kMacroLibrarySlots; ++slot) {
    Macro macro;
    macro.Name = u"Macro " + Utf8ToUtf16(std::to_string(slot));
    const int count = slot == 14 ? 63 : 1 + slot * 4;
    for (int i = 0; i < count; ++i) {
      if (i % 3 == 2) {
        macro.Append(*DelayRecord(10 * (i + slot + 1)));
      } else {
        macro.Append(KeyRecord(static_cast<std::uint8_t>(4 + (i + slot) % 90), i % 3 == 0));
      }
    }
    ASSERT_TRUE(writer.Library().SaveMacro(macro));
    ASSERT_EQ(writer.Library().AddMacroName(macro.Name), slot);
    macros.push_back(macro);
    UploadMacroArea(writer, slot, false);
  }

  Agent reader(mouse, "macros_back");
  reader.Session->QueryAllFrMouse();
  const MacroLibrary library = reader.Library();
  for (int slot = 0; slot < kMacroLibrarySlots; ++slot) {
    SCOPED_TRACE(slot);
    const std::u16string name = library.SlotName(slot);
    EXPECT_EQ(name, u"NewMacro " + Utf8ToUtf16(std::to_string(slot)));
    const Macro back = library.ReadMacroFile(name);
    ASSERT_EQ(back.Count, macros[slot].Count);
    EXPECT_TRUE(std::equal(back.Records.begin(), back.Records.end(), macros[slot].Records.begin()));
  }
  for (int area = kMacroLibrarySlots; area < kMacroDeviceAreas; ++area) {
    EXPECT_EQ(library.SlotName(area), u"");
  }

  // A cleared area reads back as nothing: the reader's library keeps its macro.
  UploadMacroArea(writer, 4, true);
  reader.Session->QueryAllFrMouse();
  EXPECT_EQ(library.ReadMacroFile(u"NewMacro 4").Count, macros[4].Count);
}

}  // namespace
