#include "agent/mouse_protocol.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "agent/device_codes.h"
#include "agent/device_registry.h"
#include "settings/file_io.h"
#include "settings/ini_file.h"
#include "settings/macro.h"
#include "settings/macro_library.h"
#include "settings/utf8.h"
#include "support/fake_device_link.h"
#include "support/sample_profiles.h"

using namespace device_map;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A mouse whose two collections are known (vendor collection id 0x22), a strict link and a
// macro library in a folder of its own.
class MouseProtocolTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/mouse_protocol_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_root = pattern;
    std::filesystem::create_directories(m_root / "MacroDB");
    m_library = std::make_unique<MacroLibrary>(Utf8ToUtf16(m_root.string()) + u"\\");
    m_protocol = std::make_unique<MouseProtocol>(m_link, m_registry, m_sleeper, *m_library);
    m_registry.Add({1, 0x11, 0, kConsumerUsagePage});
    m_registry.Add({1, 0x22, 0, kVendorUsagePage});
    m_set = MakeSampleProfileSet();
  }
  void TearDown() override { std::filesystem::remove_all(m_root); }

  // Report kind 2 with the given head and data, zero elsewhere.
  static Bytes Short(std::uint8_t command, std::uint16_t address, std::uint8_t length,
                     const Bytes& data = {}) {
    Bytes report(16, 0);
    report[0] = 2;
    report[1] = command;
    report[2] = address & 0xFF;
    report[3] = address >> 8;
    report[4] = length;
    std::copy(data.begin(), data.end(), report.begin() + 8);
    return report;
  }
  static Bytes ApplyBytes(std::uint8_t mask) {
    Bytes report(16, 0);
    report[0] = 2;
    report[1] = 0xF1;
    report[2] = 2;
    report[3] = mask;
    return report;
  }

  void SaveMacro(const std::u16string& name, int loopType, int loopTime, int count) {
    Macro macro;
    macro.Name = name;
    macro.LoopType = loopType;
    macro.LoopTime = loopTime;
    for (int i = 0; i < count; ++i)
      macro.Append(KeyRecord(static_cast<std::uint8_t>(4 + i), i % 2 == 0));
    ASSERT_TRUE(m_library->SaveMacro(macro));
    ASSERT_GE(m_library->AddMacroName(name), 0);
  }

  ButtonAssignment& Button(int profile, int button) {
    return m_set.Profiles[profile].Buttons[button];
  }

  std::filesystem::path m_root;
  FakeDeviceLink m_link;
  RecordingSleeper m_sleeper;
  DeviceRegistry m_registry;
  std::unique_ptr<MacroLibrary> m_library;
  std::unique_ptr<MouseProtocol> m_protocol;
  ProfileSet m_set{};
};

TEST(ResolutionCodes, EncodeAtTheRangeEdgesAndClampOutsideThem) {
  auto pair = [](std::int32_t v) {
    const ResolutionCode c = EncodeResolution(v);
    return std::make_pair(int{c.Code}, int{c.RangeFlag});
  };
  EXPECT_EQ(pair(50), std::make_pair(115, 0));
  EXPECT_EQ(pair(51), std::make_pair(59, 1));
  EXPECT_EQ(pair(75), std::make_pair(115, 1));
  EXPECT_EQ(pair(1), std::make_pair(2, 0));
  // Outside 1..75 the nearest end is sent, never a code of another value.
  EXPECT_EQ(pair(0), pair(1));
  EXPECT_EQ(pair(-40), pair(1));
  EXPECT_EQ(pair(76), pair(75));
  EXPECT_EQ(pair(100000), pair(75));
}

TEST(ResolutionCodes, EveryValueReadsBackAsItselfAndUnknownCodesAsNothing) {
  for (std::int32_t v = 1; v <= 75; ++v) {
    const ResolutionCode c = EncodeResolution(v);
    EXPECT_EQ(DecodeResolution(c.Code, c.RangeFlag), v) << v;
  }
  EXPECT_FALSE(DecodeResolution(0, 0));
  EXPECT_FALSE(DecodeResolution(0, 1));
  EXPECT_FALSE(DecodeResolution(116, 0));
  EXPECT_FALSE(DecodeResolution(3, 0));
}

TEST(DeviceRegistry, FindsTheNewestCollectionOfAUsagePageOnlyOnceTwoAreKnown) {
  DeviceRegistry registry;
  EXPECT_EQ(registry.FindDevice(kVendorUsagePage), 0u);
  registry.Add({1, 7, 0, kVendorUsagePage});
  EXPECT_EQ(registry.FindDevice(kVendorUsagePage), 0u);  // one record is not a mouse yet
  registry.Add({1, 8, 0, kConsumerUsagePage});
  EXPECT_EQ(registry.FindDevice(kVendorUsagePage), 7u);
  EXPECT_EQ(registry.FindDevice(0x1234), 0u);
  registry.Add({1, 9, 0, 0x1234FFA0});  // only the low 16 bits name the page
  EXPECT_EQ(registry.SelectDevice(kVendorUsagePage), 9u);
  EXPECT_EQ(registry.CurrentDevice(), 9u);
  registry.SelectDevice(0x0001);
  EXPECT_EQ(registry.CurrentDevice(), 0u);
}

TEST_F(MouseProtocolTest, TransfersBracketWithAPauseAndGoToTheVendorCollection) {
  m_protocol->BeginTransfer();
  m_protocol->Apply(0x10);
  m_protocol->EndTransfer();
  ASSERT_EQ(m_link.Sent.size(), 3u);
  EXPECT_EQ(m_link.Sent[0].Bytes, Short(0xF5, 0, 0));
  EXPECT_EQ(m_link.Sent[1].Bytes, ApplyBytes(0x10));
  EXPECT_EQ(m_link.Sent[2].Bytes, Short(0xF5, 1, 0));
  for (const SentReport& r : m_link.Sent) EXPECT_EQ(r.DeviceId, 0x22u);
  EXPECT_EQ(m_sleeper.Pauses, (std::vector<unsigned>{100, 100}));
}

TEST_F(MouseProtocolTest, StagesSendCodesAndRangeFlagsOfBothAxes) {
  DpiStage& s = m_set.Profiles[1].DpiStages[2];
  s = {1, 50, 51, 1};
  m_set.Profiles[3].DpiStages[2] = {0, 75, 0, 0};  // Y 0 is sent as resolution 1
  m_set.Profiles[4].DpiStages[2] = {7, 76, 30, 0};
  m_protocol->WriteStage(m_set, 2);
  ASSERT_EQ(m_link.Sent.size(), 5u);
  EXPECT_EQ(m_link.Sent[1].Bytes, Short(0xF3, 0x100 + 4 + 12, 4, {1, 115, 0, 59, 1}));
  EXPECT_EQ(m_link.Sent[3].Bytes, Short(0xF3, 0x260 + 16, 4, {0, 115, 1, 2, 0}));
  EXPECT_EQ(m_link.Sent[4].Bytes, Short(0xF3, 0x310 + 16, 4, {1, 115, 1, 69, 0}));
}

TEST_F(MouseProtocolTest, ScalarSettingsOfAllProfiles) {
  m_set.CurrentProfile = 3;
  int rates[] = {8, 4, 2, 1, 0};
  for (int p = 0; p < 5; ++p) {
    m_set.Profiles[p].PollingRate = rates[p];
    m_set.Profiles[p].WheelScrollLines = 10 + p;
    m_set.Profiles[p].DPI = p;
  }
  m_set.Profiles[4].WheelScrollLines = 300;  // limited, not cut to 44
  m_set.Profiles[4].DPI = 9;
  m_protocol->WritePollingRates(m_set, true);
  m_protocol->WriteWheelLines(m_set);
  m_protocol->WriteStageIndices(m_set);
  m_protocol->WriteActiveProfile(m_set);
  m_protocol->WriteClearBlock();

  std::vector<Bytes> expected = {Short(0xF3, 0x032, 6, {8, 0, 4, 0, 2, 0}),
                                 Short(0xF3, 0x038, 4, {1, 0, 0, 0}), ApplyBytes(0x08)};
  Bytes wheel(64, 0);
  Bytes wheelHead = {3, 0xF3, 0x20, 0, 10, 0, 0, 0, 10, 0, 11, 0, 12, 0, 13, 0, 63, 0};
  std::copy(wheelHead.begin(), wheelHead.end(), wheel.begin());
  expected.push_back(wheel);
  const std::uint16_t blocks[] = {0x40, 0x100, 0x1B0, 0x260, 0x310};
  for (int p = 0; p < 5; ++p) {
    expected.push_back(Short(0xF3, blocks[p] + 2, 1, {static_cast<std::uint8_t>(p == 4 ? 5 : p)}));
  }
  expected.push_back(ApplyBytes(0x02));
  expected.push_back(ApplyBytes(0x10));
  expected.push_back(Short(0xF3, 0x02C, 2, {3, 0}));
  expected.push_back(ApplyBytes(0x01));
  expected.push_back(Short(0xF3, 0x03E, 2, {0, 0}));
  ASSERT_EQ(m_link.Sent.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(m_link.Sent[i].Bytes, expected[i]) << i;
}

TEST_F(MouseProtocolTest, LightingClampsSpeedsAndNeverIndexesWithAStrayMode) {
  ProfileRecord* r = m_set.Profiles;
  r[0].LedMode1 = 0;
  r[0].LedColor[0] = 0x00332211;
  r[0].LedLevels[0] = {3, 12};  // too fast: 9 on the wire and in the set
  r[1].LedMode1 = 5;
  r[1].LedColor[5] = 0x00FFFFFF;
  r[1].LedLevels[5] = {2, 9};  // mode 5 goes up to 8
  r[2].LedMode1 = 7;           // no level entry, no speed
  r[2].LedColor[7] = 0x00ABCDEF;
  r[3].LedMode1 = -1;  // a file without the key: mode 0
  r[3].LedColor[0] = 0x00010203;
  r[3].LedLevels[0] = {1, -4};  // sent as 0, kept as it is
  r[4].LedMode1 = 2;
  r[4].LedColor[2] = 0x00102030;
  r[4].LedLevels[2] = {9, 5};  // mode 2 sends no speed; level limited to 3

  m_registry.SelectDevice(kVendorUsagePage);
  m_protocol->WriteLighting(m_set);
  ASSERT_EQ(m_link.Sent.size(), 11u);
  EXPECT_EQ(m_link.Sent[0].Bytes, Short(0xF3, 0x446, 2, {0, 0}));
  const std::vector<std::pair<Bytes, std::uint8_t>> expected = {
      {{0x11, 0x22, 0x33, 1, 9, 0x04}, 3},
      {{0xFF, 0xFF, 0xFF, 7, 8, 0}, 2},
      {{0xEF, 0xCD, 0xAB, 0, 0, 0}, 0},
      {{0x03, 0x02, 0x01, 1, 0, 0x04}, 1},
      {{0x30, 0x20, 0x10, 1, 0, 0x02}, 3}};
  for (int p = 0; p < 5; ++p) {
    EXPECT_EQ(m_link.Sent[1 + 2 * p].Bytes, Short(0xF3, 0x449 + 8 * p, 6, expected[p].first)) << p;
    EXPECT_EQ(m_link.Sent[2 + 2 * p].Bytes, Short(0xF3, 0x44F + 8 * p, 1, {expected[p].second}))
        << p;
  }
  EXPECT_EQ(r[0].LedLevels[0].Rate, 9);
  EXPECT_EQ(r[1].LedLevels[5].Rate, 8);
  EXPECT_EQ(r[3].LedLevels[0].Rate, -4);
  EXPECT_EQ(r[3].LedMode1, -1);
}

TEST_F(MouseProtocolTest, ButtonCodesOfTheSimpleAndKeyKinds) {
  auto code = [&](int profile, int button) {
    m_link.Sent.clear();
    EXPECT_TRUE(m_protocol->WriteButton(m_set, profile, button));
    return m_link.Sent.empty() ? Bytes{} : m_link.Sent[0].Data(4);
  };
  auto set = [&](int b, std::uint8_t func, Bytes block = {}) {
    ButtonAssignment& a = Button(0, b);
    a.ButtonFunc = func;
    std::fill(std::begin(a.KeyBlock), std::end(a.KeyBlock), 0);
    std::copy(block.begin(), block.end(), a.KeyBlock);
  };
  set(0, 1);
  EXPECT_EQ(code(0, 0), (Bytes{0x81, 0, 0, 0}));
  set(1, 4);
  EXPECT_EQ(code(0, 1), (Bytes{0x85, 0, 0, 0}));
  set(2, 30);
  EXPECT_EQ(code(0, 2), (Bytes{0x8E, 1, 0xFF, 0x1E}));
  set(3, 40);
  EXPECT_EQ(code(0, 3), (Bytes{0x8E, 1, 0xB7, 0}));
  set(4, 54);
  EXPECT_EQ(code(0, 4), (Bytes{0x9B, 4, 0, 0}));
  set(5, 15);  // not in the table
  EXPECT_EQ(code(0, 5), (Bytes{0, 0, 0, 0}));
  set(6, 6, {0x2C, 0x44});
  EXPECT_EQ(code(0, 6), (Bytes{0x90, 0, 0x2C, 0}));
  // Ctrl+Shift+S as the configurator stores it: presses, then releases in reverse.
  set(7, 7, {0xE0, 5, 0x80, 0xE1, 5, 0x80, 0x16, 5, 0x80, 0x16, 5, 0, 0xE1, 5, 0, 0xE0, 5, 0});
  EXPECT_EQ(code(0, 7), (Bytes{0x8F, 3, 0x16, 0}));
  // Windows + Alt + F4, and a block with a lone Shift press: it never becomes Ctrl.
  set(8, 7, {0xE3, 5, 0x80, 0xE2, 5, 0x80, 0x3D, 5, 0x80, 0x3D, 5, 0, 0xE2, 5, 0, 0xE3, 5, 0});
  EXPECT_EQ(code(0, 8), (Bytes{0x8F, 12, 0x3D, 0}));
  set(9, 7, {0xE1, 5, 0x80, 0x04, 5, 0x80});
  EXPECT_EQ(code(0, 9), (Bytes{0x8F, 2, 0x04, 0}));
  EXPECT_EQ(m_link.Sent[0].Address(), 0x040 + 66 + 4 * 22);
  EXPECT_EQ(m_link.Sent[0].Address(), 0x0DA);
}

TEST_F(MouseProtocolTest, FireKeysAreRenumberedForTheMouseAndKeptSo) {
  auto fire = [&](int b, std::uint8_t key, std::uint8_t shots, std::uint8_t interval) {
    ButtonAssignment& a = Button(2, b);
    a.ButtonFunc = 12;
    a.KeyBlock[0] = key;
    a.LoopNumber = shots;
    a.KeyNumber = interval;
    m_link.Sent.clear();
    m_protocol->WriteButton(m_set, 2, b);
    return m_link.Sent.at(0).Data(4);
  };
  EXPECT_EQ(fire(0, 0xF0, 3, 50), (Bytes{0x99, 0x81, 3, 5}));
  EXPECT_EQ(Button(2, 0).KeyBlock[0], 0x81);
  EXPECT_EQ(fire(1, 0xF1, 7, 255), (Bytes{0x99, 0x82, 7, 25}));
  EXPECT_EQ(fire(2, 0xF2, 1, 9), (Bytes{0x99, 0x84, 1, 0}));
  EXPECT_EQ(Button(2, 2).KeyBlock[0], 0x84);
  EXPECT_EQ(fire(3, 0x04, 2, 100), (Bytes{0x99, 0x04, 2, 10}));
  EXPECT_EQ(fire(4, 0, 9, 90), (Bytes{0x99, 0x81, 3, 0}));
  // Sending it again gives the same code.
  EXPECT_EQ(fire(0, Button(2, 0).KeyBlock[0], 3, 50), (Bytes{0x99, 0x81, 3, 5}));
}

TEST_F(MouseProtocolTest, MacroButtonsCarrySlotPlaybackModeAndRepeatCount) {
  SaveMacro(u"first", 0, 1, 2);
  SaveMacro(u"Endless", 1, 7, 2);
  SaveMacro(u"Once", 2, 7, 2);
  SaveMacro(u"Held", 3, 7, 2);
  SaveMacro(u"Many", 0, 300, 2);
  SaveMacro(u"Zero", 0, 0, 2);
  auto macro = [&](const std::u16string& name) {
    ButtonAssignment& a = Button(4, 5);
    a.ButtonFunc = 100;
    SetMacroName(a, name);
    m_link.Sent.clear();
    const bool sent = m_protocol->WriteButton(m_set, 4, 5);
    EXPECT_EQ(sent, !m_link.Sent.empty());
    return m_link.Sent.empty() ? Bytes{} : m_link.Sent[0].Data(4);
  };
  EXPECT_EQ(macro(u"Endless"), (Bytes{0x91, 0x81, 0xFF, 0xFF}));
  EXPECT_EQ(macro(u"Once"), (Bytes{0x91, 0x02, 1, 0}));
  EXPECT_EQ(macro(u"Held"), (Bytes{0x91, 0x43, 0xFF, 0xFF}));
  EXPECT_EQ(macro(u"Many"), (Bytes{0x91, 0x04, 0x2C, 0x01}));
  EXPECT_EQ(macro(u"Zero"), (Bytes{0x91, 0x05, 1, 0}));
  EXPECT_EQ(macro(u"absent"), Bytes{});
  EXPECT_EQ(macro(u""), Bytes{});
  EXPECT_EQ(m_link.Reads, 0);
}

TEST_F(MouseProtocolTest, ZeroAnswersDecodeAsTheEmptyMouse) {
  ProfileSet before = m_set;
  m_link.ZeroAnswers = true;
  m_protocol->ReadActiveProfile(m_set);
  m_protocol->ReadPollingRates(m_set);
  m_protocol->ReadLighting(m_set);
  m_protocol->ReadStages(m_set);
  for (int b = 0; b < 10; ++b) m_protocol->ReadButton(m_set, 1, b);
  EXPECT_EQ(m_link.Reads, 1 + 2 + 5 + 5 + 10);

  EXPECT_EQ(m_set.CurrentProfile, 0);
  for (int p = 0; p < 5; ++p) {
    const ProfileRecord& r = m_set.Profiles[p];
    EXPECT_EQ(r.PollingRate, 0);
    EXPECT_EQ(r.LedMode1, 7);
    EXPECT_EQ(r.LedColor[7], 0);
    EXPECT_EQ(r.DPI, 0);
    for (int s = 0; s < 5; ++s) {
      EXPECT_EQ(r.DpiStages[s].Enabled, 0);
      EXPECT_EQ(r.DpiStages[s].X, before.Profiles[p].DpiStages[s].X);
      EXPECT_EQ(r.DpiStages[s].Y, before.Profiles[p].DpiStages[s].Y);
    }
    // Zero is no valid lighting value: those stay.
    EXPECT_EQ(r.FlashState1, before.Profiles[p].FlashState1);
    EXPECT_EQ(r.LedState1, before.Profiles[p].LedState1);
  }
  for (int b = 0; b < 10; ++b) EXPECT_EQ(Button(1, b).ButtonFunc, 16);
}

TEST_F(MouseProtocolTest, AReadWhoseCommandDidNotGoOutIsNotRead) {
  // The polling rates' second read command is the third report: after it failed, a read would
  // fetch the answer to the first command again.
  m_link.ZeroAnswers = true;
  m_link.UnpluggedAtWrite = 3;
  m_protocol->ReadActiveProfile(m_set);
  m_protocol->ReadPollingRates(m_set);
  EXPECT_EQ(m_link.Writes, 3);
  EXPECT_EQ(m_link.Reads, 2);
  EXPECT_EQ(m_protocol->Failures(), 1u);
}

TEST_F(MouseProtocolTest, GarbageAnswersLeaveFieldsOrGiveValidValues) {
  const ProfileSet before = m_set;
  const Bytes garbage(56, 0xFF);
  for (int i = 0; i < 1 + 2 + 5 + 5 + 1; ++i) m_link.Answer(garbage);
  m_protocol->ReadActiveProfile(m_set);
  m_protocol->ReadPollingRates(m_set);
  m_protocol->ReadLighting(m_set);
  m_protocol->ReadStages(m_set);
  m_protocol->ReadButton(m_set, 0, 0);
  EXPECT_TRUE(m_link.AllAnswersUsed());

  EXPECT_EQ(m_set.CurrentProfile, before.CurrentProfile);
  for (int p = 0; p < 5; ++p) {
    const ProfileRecord& r = m_set.Profiles[p];
    const ProfileRecord& b = before.Profiles[p];
    EXPECT_EQ(r.PollingRate, b.PollingRate);
    EXPECT_EQ(r.DPI, b.DPI);
    EXPECT_EQ(r.LedMode1, 0);  // an unknown effect is mode 0
    EXPECT_EQ(r.LedColor[0], 0xFFFFFF);
    EXPECT_EQ(r.FlashState1, b.FlashState1);
    EXPECT_EQ(r.LedState1, b.LedState1);
    EXPECT_EQ(0, std::memcmp(r.DpiStages, b.DpiStages, sizeof r.DpiStages));
  }
  EXPECT_EQ(0,
            std::memcmp(&Button(0, 0), &before.Profiles[0].Buttons[0], sizeof(ButtonAssignment)));
}

TEST_F(MouseProtocolTest, ReadsAskForTheRightBytesAndDecodeThem) {
  m_link.Answer({4});
  m_link.Answer({1, 0, 2, 0, 4});
  m_link.Answer({8, 0, 0});
  m_protocol->ReadActiveProfile(m_set);
  m_protocol->ReadPollingRates(m_set);
  EXPECT_EQ(m_link.Sent[0].Bytes, Short(0xF2, 0x02C, 1));
  EXPECT_EQ(m_link.Sent[1].Bytes, Short(0xF2, 0x032, 5));
  EXPECT_EQ(m_link.Sent[2].Bytes, Short(0xF2, 0x038, 3));
  EXPECT_EQ(m_set.CurrentProfile, 4);
  const int rates[] = {1, 2, 4, 8, 0};
  for (int p = 0; p < 5; ++p) EXPECT_EQ(m_set.Profiles[p].PollingRate, rates[p]);

  // Lighting: mode 6 of profile 0, with flash and lighting values.
  m_link.Sent.clear();
  m_link.Answer({0x10, 0x20, 0x30, 1, 7, 0x10, 33});
  m_link.Answer({0, 0, 0, 2, 0, 0});
  m_link.Answer({0, 0, 0, 6, 0, 0x55});
  m_link.Answer({0, 0, 0, 7});
  m_link.Answer({0, 0, 0, 2, 0, 0x10});  // effect 2 with an option: mode 0
  m_protocol->ReadLighting(m_set);
  EXPECT_EQ(m_link.Sent[1].Bytes, Short(0xF2, 0x451, 7));
  EXPECT_EQ(m_set.Profiles[0].LedMode1, 6);
  EXPECT_EQ(m_set.Profiles[0].LedColor[6], 0x302010);
  EXPECT_EQ(m_set.Profiles[0].FlashState1, 7);
  EXPECT_EQ(m_set.Profiles[0].LedState1, 33);
  EXPECT_EQ(m_set.Profiles[1].LedMode1, 3);
  EXPECT_EQ(m_set.Profiles[2].LedMode1, 4);
  EXPECT_EQ(m_set.Profiles[3].LedMode1, 5);
  EXPECT_EQ(m_set.Profiles[4].LedMode1, 0);

  // Stages of profile 2 through the long report.
  m_link.Sent.clear();
  m_link.ZeroAnswers = true;
  m_link.Answer({});
  m_link.Answer({});
  m_link.Answer({3, 0, 1, 115, 1, 0, 0, 0, 0, 59, 0, 0, 0, 0, 1, 2, 0});
  m_protocol->ReadStages(m_set);
  Bytes request(64, 0);
  Bytes head = {3, 0xF2, 0xB2, 0x01, 0x20};
  std::copy(head.begin(), head.end(), request.begin());
  EXPECT_EQ(m_link.Sent[2].Bytes, request);
  const ProfileRecord& r = m_set.Profiles[2];
  EXPECT_EQ(r.DPI, 3);
  EXPECT_EQ(r.DpiStages[0].Enabled, 1);
  EXPECT_EQ(r.DpiStages[0].X, 75);
  EXPECT_EQ(r.DpiStages[0].Y, 75);
  EXPECT_EQ(r.DpiStages[1].Enabled, 0);
  EXPECT_EQ(r.DpiStages[1].X, 26);
  EXPECT_EQ(r.DpiStages[2].Enabled, 1);
  EXPECT_EQ(r.DpiStages[2].X, 1);
}

TEST_F(MouseProtocolTest, ButtonCodesReadBackIntoAssignments) {
  auto read = [&](Bytes code) {
    m_link.Answer(code);
    m_protocol->ReadButton(m_set, 3, 9);
    return Button(3, 9);
  };
  EXPECT_EQ(read({0x8E, 1, 0xFF, 0x1E}).ButtonFunc, 30);
  EXPECT_EQ(m_link.Sent.back().Address(), 0x260 + 66 + 88);
  EXPECT_EQ(read({0x8E, 1, 0xE9, 0}).ButtonFunc, 43);
  EXPECT_EQ(read({0x9B, 4, 0, 0}).ButtonFunc, 54);
  EXPECT_EQ(read({0x8E, 1, 0xFF, 0x05}).ButtonFunc, 54);  // no such function: unchanged
  EXPECT_EQ(read({0x77, 0, 0, 0}).ButtonFunc, 54);
  EXPECT_EQ(read({0x8E, 1, 0x12, 0}).ButtonFunc, 54);

  ButtonAssignment a = read({0x90, 0, 0x2C, 0});
  EXPECT_EQ(a.ButtonFunc, 6);
  EXPECT_EQ(a.KeyBlock[0], 0x2C);

  a = read({0x8F, 3, 0x16, 0});
  EXPECT_EQ(a.ButtonFunc, 7);
  const Bytes ctrlShiftS = {0xE1, 5, 0x80, 0xE0, 5, 0x80, 0x16, 5, 0x80,
                            0x16, 5, 0,    0xE0, 5, 0,    0xE1, 5, 0};
  EXPECT_TRUE(std::equal(ctrlShiftS.begin(), ctrlShiftS.end(), a.KeyBlock));
  EXPECT_TRUE(std::all_of(a.KeyBlock + 18, a.KeyBlock + 189, [](auto b) { return b == 0; }));
  EXPECT_EQ(a.KeyNumber, 6);
  a = read({0x8F, 0xFF, 0x3D, 0});  // every modifier, in the fixed order
  const Bytes all = {0xE3, 0xE2, 0xE1, 0xE0, 0x3D, 0x3D, 0xE0, 0xE1, 0xE2, 0xE3};
  for (int step = 0; step < 10; ++step) EXPECT_EQ(a.KeyBlock[3 * step], all[step]) << step;
  EXPECT_EQ(a.KeyNumber, 10);

  a = read({0x99, 0x82, 5, 3});
  EXPECT_EQ(a.ButtonFunc, 12);
  EXPECT_EQ(a.KeyBlock[0], 0xF1);
  EXPECT_EQ(a.LoopNumber, 5);
  EXPECT_EQ(a.KeyNumber, 30);
  EXPECT_EQ(read({0x99, 0x04, 1, 26}).KeyNumber, 255);  // never wraps round to 4
  a = read({0x92, 0, 0, 0});
  EXPECT_EQ(a.ButtonFunc, 12);
  EXPECT_EQ(a.KeyBlock[0], 0xF0);
  EXPECT_EQ(a.LoopNumber, 3);
  EXPECT_EQ(a.KeyNumber, 10);
}

TEST_F(MouseProtocolTest, MacroAreaWritesTheStoredRecordsOrNothing) {
  SaveMacro(u"five", 0, 1, 5);
  SaveMacro(u"big", 0, 1, 63);
  auto area = [&](int slot, bool clear) {
    m_link.Sent.clear();
    m_protocol->WriteMacroArea(slot, clear);
    EXPECT_EQ(m_link.Sent.size(), 1u);
    return m_link.Sent.at(0).Bytes;
  };
  Bytes report = area(0, false);
  ASSERT_EQ(report.size(), 1024u);
  EXPECT_EQ(Bytes(report.begin(), report.begin() + 8), (Bytes{4, 0xF3, 0x78, 0x04, 200, 0, 0, 0}));
  const Macro five = m_library->ReadMacroFile(u"five");
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(report[8 + 3 * i], five.Records[i].Type);
    EXPECT_EQ(report[9 + 3 * i], five.Records[i].Data1);
  }
  EXPECT_NE(report[21], 0);
  EXPECT_TRUE(std::all_of(report.begin() + 23, report.end(), [](auto b) { return b == 0; }));

  report = area(1, false);
  EXPECT_EQ(report[2] | report[3] << 8, 0x478 + 200);
  EXPECT_NE(report[8 + 187], 0);
  EXPECT_TRUE(std::all_of(report.begin() + 8 + 189, report.end(), [](auto b) { return b == 0; }));

  // Cleared, an empty slot and a slot without its file: zeros after the head.
  report = area(0, true);
  EXPECT_TRUE(std::all_of(report.begin() + 8, report.end(), [](auto b) { return b == 0; }));
  report = area(19, true);
  EXPECT_EQ(report[2] | report[3] << 8, 0x478 + 19 * 200);
  report = area(5, false);
  EXPECT_TRUE(std::all_of(report.begin() + 8, report.end(), [](auto b) { return b == 0; }));
  std::filesystem::remove(m_root / "MacroDB" / "five.MSMACRO");
  report = area(0, false);
  EXPECT_TRUE(std::all_of(report.begin() + 8, report.end(), [](auto b) { return b == 0; }));
}

TEST_F(MouseProtocolTest, MacroAreasReadBackInFourPiecesIntoTheLibrary) {
  m_link.ZeroAnswers = true;
  for (int area = 0; area < 20; ++area) {
    for (int k = 0; k < 4; ++k) {
      Bytes data(50, 0);
      if (area == 17 && k == 0) data = {0x84, 0x04, 0, 0x04, 0x04, 0};
      if (area == 3 && k == 0) data = {0xFF, 0xFF, 0xFF, 0x84, 0x04, 0};
      m_link.Answer(data);
    }
  }
  m_protocol->StoreMacroAreas(m_protocol->ReadMacroAreas());
  ASSERT_EQ(m_link.Sent.size(), 80u);
  EXPECT_EQ(m_link.Sent[69].Address(), 0x478 + 17 * 200 + 50);
  EXPECT_EQ(m_link.Sent[69].Bytes[0], 3);
  EXPECT_EQ(m_link.Sent[69].Bytes[4], 50);
  EXPECT_EQ(m_library->SlotName(17), u"NewMacro 17");
  const Macro macro = m_library->ReadMacroFile(u"NewMacro 17");
  EXPECT_EQ(macro.Count, 2);
  EXPECT_EQ(macro.Records[1], KeyRecord(4, false));
  // An area whose first record ends the list leaves the library alone.
  EXPECT_EQ(m_library->SlotName(3), u"");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_root / "MacroDB"),
                          std::filesystem::directory_iterator()),
            2);
}

}  // namespace
