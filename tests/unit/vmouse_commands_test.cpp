#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "vmouse/virtual_mouse.h"

using namespace device_map;

namespace {

constexpr uint16_t kVendor = VirtualMouse::kVendorCollection;

// A request of the full size of its report id; data from byte 8.
std::vector<uint8_t> Request(uint8_t id, uint8_t command, uint32_t address, uint8_t length,
                             std::vector<uint8_t> data = {}) {
  std::vector<uint8_t> report(VirtualMouse::ReportSize(id), 0);
  report[0] = id;
  report[1] = command;
  report[2] = static_cast<uint8_t>(address & 0xFF);
  report[3] = static_cast<uint8_t>(address >> 8);
  report[4] = length;
  std::copy(data.begin(), data.end(), report.begin() + 8);
  return report;
}

std::vector<uint8_t> Write(uint8_t id, uint32_t address, std::vector<uint8_t> data) {
  return Request(id, 0xF3, address, static_cast<uint8_t>(data.size()), data);
}

std::vector<uint8_t> Apply(uint8_t mask) {
  return Request(2, 0xF1, 0x02 | (mask << 8), 0);
}

std::size_t NonZeroBytes(const VirtualMouse& mouse) {
  const auto memory = mouse.Memory();
  return static_cast<std::size_t>(
      std::count_if(memory.begin(), memory.end(), [](uint8_t b) { return b != 0; }));
}

bool LogMentions(const VirtualMouse& mouse, const std::string& text) {
  for (const auto& line : mouse.Log()) {
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

TEST(VirtualMouseMemory, WritesOfEveryReportKindLandAtTheirAddressAndNothingElseChanges) {
  VirtualMouse mouse;
  EXPECT_EQ(NonZeroBytes(mouse), 0u);

  mouse.HandleOutputReport(kVendor, Write(2, 0x02C, {3, 0}));
  mouse.HandleOutputReport(kVendor, Write(3, 0x020, {1, 0, 2, 0, 3, 0, 4, 0, 5, 0}));
  std::vector<uint8_t> records(200, 0);
  for (int i = 0; i < 15; ++i)
    records[static_cast<std::size_t>(i)] = static_cast<uint8_t>(0x10 + i);
  records[199] = 0xEE;  // the last byte of the area
  mouse.HandleOutputReport(kVendor, Write(4, MacroAreaAddress(19), records));

  EXPECT_EQ(mouse.ReadMemory(0x02C, 2), (std::vector<uint8_t>{3, 0}));
  EXPECT_EQ(mouse.ReadMemory(0x020, 10), (std::vector<uint8_t>{1, 0, 2, 0, 3, 0, 4, 0, 5, 0}));
  EXPECT_EQ(mouse.ReadMemory(MacroAreaAddress(19), 200), records);
  EXPECT_EQ(NonZeroBytes(mouse), 1u + 5 + 15 + 1);
  EXPECT_EQ(mouse.Memory().size(), kMouseMemorySize);
  EXPECT_EQ(mouse.OutputReportCount(), 3u);
}

TEST(VirtualMouseMemory, ReadAnswerEchoesTheRequestHeaderAndCarriesDataFromByteEight) {
  VirtualMouse mouse;
  mouse.HandleOutputReport(kVendor, Write(2, LightingAddress(1), {0x12, 0x34, 0x56, 1, 4, 0x04}));
  mouse.HandleOutputReport(kVendor, Write(2, LightingLevelAddress(1), {2}));

  auto request = Request(2, 0xF2, LightingAddress(1), 7);
  request[6] = 0x77;  // whatever bytes 5-7 held is echoed
  mouse.HandleOutputReport(kVendor, request);
  const std::vector<uint8_t> preset{2, 0xF2};
  const auto answer = mouse.AnswerRead(kVendor, 16, preset);
  ASSERT_EQ(answer.size(), 16u);
  EXPECT_TRUE(std::equal(request.begin(), request.begin() + 8, answer.begin()));
  EXPECT_EQ(std::vector<uint8_t>(answer.begin() + 8, answer.begin() + 15),
            (std::vector<uint8_t>{0x12, 0x34, 0x56, 1, 4, 0x04, 2}));
  EXPECT_EQ(answer[15], 0) << "only the asked length is copied";

  // The 64-byte kind carries up to 56 bytes; never-written memory reads zero.
  mouse.HandleOutputReport(kVendor, Request(3, 0xF2, MacroAreaAddress(2) + 50, 0x32));
  const auto area = mouse.AnswerRead(kVendor, 64, std::vector<uint8_t>{3, 0xF2});
  ASSERT_EQ(area.size(), 64u);
  EXPECT_EQ(area[0], 3);
  EXPECT_EQ(area[4], 0x32);
  EXPECT_TRUE(std::all_of(area.begin() + 8, area.end(), [](uint8_t b) { return b == 0; }));
}

TEST(VirtualMouseMemory, ReadWithoutReadCommandAnswersPresetAndZeros) {
  VirtualMouse mouse;
  mouse.HandleOutputReport(kVendor, Write(2, 0x02C, {4, 0}));
  const std::vector<uint8_t> preset{2, 0xF2, 0x2C};
  auto answer = mouse.AnswerRead(kVendor, 16, preset);
  EXPECT_EQ(answer, (std::vector<uint8_t>{2, 0xF2, 0x2C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

  // A read command is answered once; the READ after that gets zeros again.
  mouse.HandleOutputReport(kVendor, Request(2, 0xF2, 0x02C, 1));
  // A READ on the other collection neither answers nor uses up the pending read.
  answer = mouse.AnswerRead(VirtualMouse::kConsumerCollection, 16, preset);
  EXPECT_EQ(answer[8], 0);
  answer = mouse.AnswerRead(kVendor, 16, preset);
  EXPECT_EQ(answer[8], 4);
  answer = mouse.AnswerRead(kVendor, 16, preset);
  EXPECT_EQ(answer[8], 0);
  EXPECT_EQ(answer[2], 0x2C) << "preset kept";
  EXPECT_EQ(mouse.ReadCount(), 4u);
}

TEST(VirtualMouseMemory, AccessesPastTheEndOrTheReportStayInside) {
  VirtualMouse mouse;
  // Crossing the end of memory: the part inside is stored, the rest dropped.
  mouse.HandleOutputReport(kVendor, Write(2, kMouseMemorySize - 3, {1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(mouse.ReadMemory(kMouseMemorySize - 3, 6), (std::vector<uint8_t>{1, 2, 3, 0, 0, 0}));
  mouse.HandleOutputReport(kVendor, Write(2, 0xFFFF, {9, 9, 9, 9, 9, 9, 9, 9}));
  EXPECT_EQ(NonZeroBytes(mouse), 3u);
  EXPECT_TRUE(LogMentions(mouse, "outside memory dropped"));

  // A length larger than the report holds takes only the report's data bytes.
  auto report = Write(2, 0x100, {1, 2, 3, 4, 5, 6, 7, 8});
  report[4] = 200;
  mouse.HandleOutputReport(kVendor, report);
  EXPECT_EQ(mouse.ReadMemory(0x100, 9), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 0}));

  // Reads past the end and longer than the answer: zeros, the answer keeps its length.
  mouse.HandleOutputReport(kVendor, Request(2, 0xF2, 0xFFF0, 200));
  auto answer = mouse.AnswerRead(kVendor, 16, std::vector<uint8_t>{2, 0xF2});
  EXPECT_EQ(answer.size(), 16u);
  EXPECT_TRUE(std::all_of(answer.begin() + 8, answer.end(), [](uint8_t b) { return b == 0; }));
  mouse.HandleOutputReport(kVendor, Request(2, 0xF2, 0x100, 8));
  answer = mouse.AnswerRead(kVendor, 4, std::vector<uint8_t>{2, 0xF2});
  EXPECT_EQ(answer, (std::vector<uint8_t>{2, 0xF2, 0x00, 0x01}));
}

TEST(VirtualMouseMemory, MalformedReportsAreLoggedAndIgnored) {
  VirtualMouse mouse;
  auto shortReport = Write(2, 0x02C, {1, 0});
  shortReport.resize(10);
  auto longReport = Write(2, 0x02C, {1, 0});
  longReport.resize(64);
  auto unknownId = Write(2, 0x02C, {1, 0});
  unknownId[0] = 5;
  mouse.HandleOutputReport(kVendor, shortReport);
  mouse.HandleOutputReport(kVendor, longReport);
  mouse.HandleOutputReport(kVendor, unknownId);
  mouse.HandleOutputReport(kVendor, {});
  mouse.HandleOutputReport(VirtualMouse::kConsumerCollection, Write(2, 0x02C, {1, 0}));
  mouse.HandleOutputReport(77, Write(2, 0x02C, {1, 0}));
  mouse.HandleOutputReport(kVendor, Request(2, 0x42, 0x02C, 2, {1, 0}));
  EXPECT_EQ(NonZeroBytes(mouse), 0u);
  EXPECT_EQ(mouse.OutputReportCount(), 7u);
  EXPECT_TRUE(LogMentions(mouse, "with 10 bytes, expected 16"));
  EXPECT_TRUE(LogMentions(mouse, "unknown report id 5"));
  EXPECT_TRUE(LogMentions(mouse, "unknown command 0x42"));
}

TEST(VirtualMouseMemory, RandomReportsNeverReachOutsideMemory) {
  VirtualMouse mouse;
  std::mt19937 random(1234);
  for (int i = 0; i < 3000; ++i) {
    const uint8_t id = static_cast<uint8_t>(random() % 6);
    std::size_t size = VirtualMouse::ReportSize(id);
    if (size == 0 || random() % 8 == 0) size = random() % 80;
    std::vector<uint8_t> report(size);
    for (auto& b : report) b = static_cast<uint8_t>(random());
    if (!report.empty()) report[0] = id;
    if (report.size() > 1) report[1] = static_cast<uint8_t>(0xF1 + random() % 5);
    mouse.HandleOutputReport(kVendor, report);
    const std::vector<uint8_t> preset(random() % 9, 0xAB);
    const uint16_t length = static_cast<uint16_t>(preset.size() + random() % 100);
    EXPECT_EQ(mouse.AnswerRead(kVendor, length, preset).size(), length);
  }
  EXPECT_EQ(mouse.Memory().size(), kMouseMemorySize);
  EXPECT_GE(mouse.ActiveProfile(), 0);
  EXPECT_LT(mouse.ActiveProfile(), kMouseProfileCount);
  EXPECT_LT(mouse.ActiveStage(), kMouseStageCount);
}

TEST(VirtualMouseApply, SectionsAreTakenOverOnlyWhenApplied) {
  VirtualMouse mouse;
  mouse.HandleOutputReport(kVendor, Request(2, 0xF5, 0, 0));
  EXPECT_TRUE(mouse.InTransfer());
  mouse.HandleOutputReport(kVendor, Write(2, 0x02C, {3, 0}));
  mouse.HandleOutputReport(kVendor, Write(2, StageIndexAddress(3), {2}));
  mouse.HandleOutputReport(kVendor, Write(2, LightingAddress(3), {0xAA, 0xBB, 0xCC, 7, 5, 0}));
  mouse.HandleOutputReport(kVendor, Write(2, 0x032, {8, 0, 4, 0, 2, 0}));
  mouse.HandleOutputReport(kVendor, Write(2, 0x038, {1, 0, 4, 0}));
  EXPECT_EQ(mouse.ActiveProfile(), 0) << "nothing is applied yet";

  mouse.HandleOutputReport(kVendor, Apply(kApplyActiveProfile));
  EXPECT_EQ(mouse.ActiveProfile(), 3);
  EXPECT_EQ(mouse.ActiveStage(), 2);
  EXPECT_EQ(mouse.PollingRate(), 1);
  EXPECT_EQ(mouse.LightingMode(), 5);

  // Later writes wait for their own section.
  mouse.HandleOutputReport(kVendor, Write(2, StageIndexAddress(3), {4}));
  mouse.HandleOutputReport(kVendor, Write(2, LightingAddress(3) + 3, {2, 3, 0}));
  mouse.HandleOutputReport(kVendor, Write(2, 0x038, {2, 0}));
  EXPECT_EQ(mouse.ActiveStage(), 2);
  mouse.HandleOutputReport(kVendor, Apply(kApplyResolution));
  EXPECT_EQ(mouse.ActiveStage(), 4);
  EXPECT_EQ(mouse.LightingMode(), 5);
  mouse.HandleOutputReport(kVendor, Apply(kApplyLighting | kApplyPollingRate));
  EXPECT_EQ(mouse.LightingMode(), 3);
  EXPECT_EQ(mouse.PollingRate(), 2);

  // Out-of-range memory and a wrong first argument change nothing.
  mouse.HandleOutputReport(kVendor, Write(2, 0x02C, {9, 0}));
  mouse.HandleOutputReport(kVendor, Write(2, StageIndexAddress(3), {5}));
  mouse.HandleOutputReport(kVendor, Apply(kApplyActiveProfile));
  EXPECT_EQ(mouse.ActiveProfile(), 3);
  EXPECT_EQ(mouse.ActiveStage(), 4);
  mouse.HandleOutputReport(kVendor, Write(2, 0x02C, {1, 0}));
  mouse.HandleOutputReport(kVendor, Request(2, 0xF1, 0x01 | (0x01 << 8), 0));
  EXPECT_EQ(mouse.ActiveProfile(), 3);

  mouse.HandleOutputReport(kVendor, Request(2, 0xF5, 1, 0));
  EXPECT_FALSE(mouse.InTransfer());
  EXPECT_EQ(mouse.TransferCount(), 1u);
  EXPECT_EQ(mouse.AppliedCount(kApplyActiveProfile), 2u);
  EXPECT_EQ(mouse.AppliedCount(kApplyResolution), 1u);
  EXPECT_EQ(mouse.AppliedCount(kApplyStageIndices), 0u);
}

TEST(VirtualMouseApply, PowerUpStartsWithTheStoredProfileAndForgetsThePendingRead) {
  VirtualMouse mouse;
  mouse.WriteMemory(0x02C, std::vector<uint8_t>{2, 0});
  mouse.WriteMemory(StageIndexAddress(2), std::vector<uint8_t>{1});
  mouse.HandleOutputReport(kVendor, Request(2, 0xF5, 0, 0));
  mouse.HandleOutputReport(kVendor, Request(2, 0xF2, 0x02C, 1));
  mouse.PowerUp();
  EXPECT_EQ(mouse.ActiveProfile(), 2);
  EXPECT_EQ(mouse.ActiveStage(), 1);
  EXPECT_FALSE(mouse.InTransfer());
  EXPECT_EQ(mouse.AnswerRead(kVendor, 16, std::vector<uint8_t>{2, 0xF2})[8], 0);
}

TEST(VirtualMouseLog, EachReportIsLoggedWithItsMeaning) {
  VirtualMouse mouse;
  mouse.ClearLog();
  mouse.HandleOutputReport(kVendor, Request(2, 0xF5, 0, 0));
  mouse.HandleOutputReport(kVendor, Write(2, 0x449, {0x12, 0x34, 0x56, 1, 4, 0x04}));
  mouse.HandleOutputReport(kVendor, Write(2, ButtonAddress(0, 9), {0x8E, 0x01, 0xFF, 0x12}));
  mouse.HandleOutputReport(kVendor, Write(2, StageAddress(1, 0), {1, 115, 0, 59, 1}));
  mouse.HandleOutputReport(kVendor, Apply(kApplyLighting));
  const auto log = mouse.Log();
  ASSERT_EQ(log.size(), 5u);
  EXPECT_NE(log[0].find("transfer begin"), std::string::npos);
  EXPECT_NE(log[1].find("write 0x449 len 6: profile 0 lighting colour 12 34 56 effect 1 speed 4 "
                        "option 0x04 (mode 0)"),
            std::string::npos)
      << log[1];
  EXPECT_NE(log[2].find("write 0x0DA len 4: profile 0 button 9: 8E 01 FF 12 (PC function 0x12)"),
            std::string::npos)
      << log[2];
  EXPECT_NE(log[3].find("profile 1 stage 0: on x 5000 dpi y 5200 dpi"), std::string::npos)
      << log[3];
  EXPECT_NE(log[4].find("apply 0x04: lighting"), std::string::npos);
}

}  // namespace
