#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "vmouse/virtual_mouse.h"

using namespace device_map;

namespace {

void SetButton(VirtualMouse& mouse, int profile, int button, std::vector<uint8_t> code) {
  mouse.WriteMemory(ButtonAddress(profile, button), code);
}

// The status report the agent decodes: id 8, kind, value, at least 9 bytes.
void ExpectStatus(const MouseActionResult& result, uint8_t kind, uint8_t value) {
  ASSERT_TRUE(result.Accepted) << result.Text;
  ASSERT_EQ(result.Reports.size(), 1u) << result.Text;
  const auto& input = result.Reports[0];
  EXPECT_EQ(input.Collection, VirtualMouse::kVendorCollection);
  ASSERT_GE(input.Report.size(), 9u);
  EXPECT_EQ(input.Report[0], 8);
  EXPECT_EQ(input.Report[1], kind);
  EXPECT_EQ(input.Report[2], value) << result.Text;
}

TEST(VirtualMouseButtons, PcFunctionButtonsSendAFunctionReport) {
  VirtualMouse mouse;
  SetButton(mouse, 0, 9, {0x8E, 0x01, 0xFF, 0x12});  // button 9 lives in slot 22
  SetButton(mouse, 1, 9, {0x8E, 0x01, 0xFF, 0x1E});
  auto result = mouse.PressButton(9);
  ASSERT_TRUE(result.Accepted);
  ASSERT_EQ(result.Reports.size(), 1u);
  const auto& report = result.Reports[0].Report;
  ASSERT_GE(report.size(), 9u);
  EXPECT_EQ(result.Reports[0].Collection, VirtualMouse::kVendorCollection);
  EXPECT_EQ(report[1], 0xFF);
  EXPECT_EQ(report[2], 0x12);

  // The active profile's assignment counts.
  mouse.SwitchProfile(1);
  result = mouse.PressButton(9);
  ASSERT_EQ(result.Reports.size(), 1u);
  EXPECT_EQ(result.Reports[0].Report[2], 0x1E);
}

TEST(VirtualMouseButtons, MediaKeysGoThroughTheConsumerCollectionAndOthersStayOnTheMouse) {
  VirtualMouse mouse;
  SetButton(mouse, 0, 3, {0x8E, 0x01, 0xE9, 0x00});
  auto result = mouse.PressButton(3);
  ASSERT_EQ(result.Reports.size(), 2u);
  EXPECT_EQ(result.Reports[0].Collection, VirtualMouse::kConsumerCollection);
  EXPECT_EQ(result.Reports[0].Report, (std::vector<uint8_t>{1, 0xE9, 0}));
  EXPECT_EQ(result.Reports[1].Report, (std::vector<uint8_t>{1, 0, 0}));
  // None of them looks like a status or function report to the agent.
  for (const auto& input : result.Reports) EXPECT_NE(input.Report[1], 0xFF);

  for (auto code : {std::vector<uint8_t>{0x81, 0, 0, 0},
                    {0x90, 0, 0x04, 0},
                    {0x91, 3, 1, 0},
                    {0, 0, 0, 0},
                    {0x8B, 0, 0, 0}}) {
    SetButton(mouse, 0, 0, code);
    result = mouse.PressButton(0);
    EXPECT_TRUE(result.Accepted);
    EXPECT_TRUE(result.Reports.empty()) << result.Text;
  }
  EXPECT_FALSE(mouse.PressButton(10).Accepted);
  EXPECT_FALSE(mouse.PressButton(-1).Accepted);
}

TEST(VirtualMouseButtons, ResolutionButtonsStepThroughTheEnabledStages) {
  VirtualMouse mouse;
  // Stages 0, 2 and 3 enabled in profile 0.
  for (int s : {0, 2, 3})
    mouse.WriteMemory(StageAddress(0, s), std::vector<uint8_t>{1, 13, 0, 13, 0});
  SetButton(mouse, 0, 6, {0x8A, 0, 0, 0});  // up
  SetButton(mouse, 0, 7, {0x89, 0, 0, 0});  // down
  SetButton(mouse, 0, 5, {0x88, 0, 0, 0});  // cycle

  ExpectStatus(mouse.PressButton(6), 2, 2);
  ExpectStatus(mouse.PressButton(6), 2, 3);
  auto atTop = mouse.PressButton(6);
  EXPECT_TRUE(atTop.Accepted);
  EXPECT_TRUE(atTop.Reports.empty()) << "up stops at the last enabled stage";
  ExpectStatus(mouse.PressButton(5), 2, 0);  // the cycle wraps
  ExpectStatus(mouse.PressButton(6), 2, 2);
  ExpectStatus(mouse.PressButton(7), 2, 0);
  EXPECT_TRUE(mouse.PressButton(7).Reports.empty()) << "down stops at the first enabled stage";
  // From a stage outside the cycle, up enters it at its start.
  mouse.SwitchStage(4);
  ExpectStatus(mouse.PressButton(6), 2, 0);
}

TEST(VirtualMouseButtons, ProfileAndPollingRateButtonsSwitchAndReport) {
  VirtualMouse mouse;
  for (int p = 0; p < kMouseProfileCount; ++p) SetButton(mouse, p, 4, {0x8D, 0, 0, 0});
  mouse.WriteMemory(StageIndexAddress(1), std::vector<uint8_t>{3});
  ExpectStatus(mouse.PressButton(4), 1, 1);
  EXPECT_EQ(mouse.ActiveProfile(), 1);
  EXPECT_EQ(mouse.ActiveStage(), 3) << "the new profile's stage";
  EXPECT_EQ(mouse.MemoryByte(0x02C), 1) << "kept for the read-back";
  mouse.SwitchProfile(4);
  ExpectStatus(mouse.PressButton(4), 1, 0);

  SetButton(mouse, 0, 1, {0x97, 0, 0, 0});  // faster
  SetButton(mouse, 0, 2, {0x98, 0, 0, 0});  // slower
  mouse.SwitchPollingRate(4);
  ExpectStatus(mouse.PressButton(1), 6, 2);
  ExpectStatus(mouse.PressButton(1), 6, 1);
  EXPECT_TRUE(mouse.PressButton(1).Reports.empty()) << "1 is the fastest";
  ExpectStatus(mouse.PressButton(2), 6, 2);
  EXPECT_EQ(mouse.MemoryByte(PollingRateAddress(0)), 2);
}

TEST(VirtualMouseSwitches, SwitchesSendStatusReportsAndKeepTheChoiceInMemory) {
  VirtualMouse mouse;
  ExpectStatus(mouse.SwitchProfile(3), 1, 3);
  EXPECT_EQ(mouse.MemoryByte(0x02C), 3);
  ExpectStatus(mouse.SwitchStage(4), 2, 4);
  EXPECT_EQ(mouse.MemoryByte(StageIndexAddress(3)), 4);
  ExpectStatus(mouse.SwitchPollingRate(8), 6, 8);
  EXPECT_EQ(mouse.MemoryByte(PollingRateAddress(3)), 8);

  EXPECT_FALSE(mouse.SwitchProfile(5).Accepted);
  EXPECT_FALSE(mouse.SwitchProfile(-1).Accepted);
  EXPECT_FALSE(mouse.SwitchStage(5).Accepted);
  EXPECT_FALSE(mouse.SwitchPollingRate(3).Accepted);
  EXPECT_FALSE(mouse.SwitchLightingMode(8).Accepted);
  EXPECT_TRUE(mouse.SwitchStage(5).Reports.empty());
  EXPECT_EQ(mouse.ActiveProfile(), 3);
  EXPECT_EQ(mouse.ActiveStage(), 4);
}

TEST(VirtualMouseSwitches, LightingReportDecodesToTheModeAndTheSpeedFitsIt) {
  VirtualMouse mouse;
  mouse.WriteMemory(LightingAddress(0), std::vector<uint8_t>{0x11, 0x22, 0x33, 1, 9, 0x04});
  for (int mode = 0; mode < 8; ++mode) {
    const auto result = mouse.SwitchLightingMode(mode);
    ExpectStatus(result, 9, static_cast<uint8_t>(mode));
    const auto& report = result.Reports[0].Report;
    // The agent reads the effect from byte 3 and the option from byte 5.
    EXPECT_EQ(DecodeLightingMode(report[3], report[5]), mode);
    EXPECT_EQ(mouse.LightingMode(), mode);
  }
  // The colour stayed; mode 7 has no speed, so 0 is left.
  EXPECT_EQ(mouse.ReadMemory(LightingAddress(0), 6),
            (std::vector<uint8_t>{0x11, 0x22, 0x33, 0, 0, 0}));
  mouse.WriteMemory(LightingAddress(0) + 4, std::vector<uint8_t>{9});
  EXPECT_EQ(mouse.SwitchLightingMode(5).Reports[0].Report[4], 8) << "mode 5 goes up to 8";
}

TEST(VirtualMouseFactory, FactorySettingsAreWhatTheButtonsAndStatusReportsWorkWith) {
  VirtualMouse mouse;
  mouse.SwitchProfile(2);
  mouse.LoadFactorySettings();
  EXPECT_EQ(mouse.ActiveProfile(), 0) << "the stored profile after the reset";
  EXPECT_EQ(mouse.ActiveStage(), 0);
  EXPECT_EQ(mouse.PollingRate(), 2);
  EXPECT_EQ(mouse.LightingMode(), 3);
  EXPECT_EQ(mouse.ReadMemory(ButtonAddress(4, 3), 4), (std::vector<uint8_t>{0x90, 0, 0xE2, 0}));
  EXPECT_EQ(mouse.MemoryByte(StageIndexAddress(4)), 4);
  EXPECT_EQ(ResolutionOfStageCode(mouse.MemoryByte(StageAddress(1, 4) + 1), 0), 5000);

  // Buttons 6 and 7 are resolution up and down over the five enabled stages.
  ExpectStatus(mouse.PressButton(6), 2, 1);
  ExpectStatus(mouse.PressButton(7), 2, 0);
  const std::string profile = DescribeProfile(mouse.Memory(), 1);
  EXPECT_NE(profile.find("stage 0: on x 500 dpi y 500 dpi"), std::string::npos) << profile;
  EXPECT_NE(profile.find("button 9: 8C 00 00 00 (scroll down)"), std::string::npos) << profile;
  EXPECT_NE(profile.find("effect 2 speed 8 option 0x00 (mode 3), level 2"), std::string::npos)
      << profile;
}

}  // namespace
