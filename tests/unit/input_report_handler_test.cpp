#include "agent/input_report_handler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "agent/action_executor.h"
#include "support/fake_device_link.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class RecordingExecutor : public ActionExecutor {
 public:
  void Perform(std::uint8_t code) override { Codes.push_back(code); }
  std::vector<std::uint8_t> Codes;
};

class InputReportHandlerTest : public testing::Test {
 protected:
  void Report(Bytes report) { m_handler.OnInputReport(2, report, 0x1234); }

  RecordingLog m_log;
  RecordingPoster m_poster;
  RecordingExecutor m_executor;
  InputReportHandler m_handler{m_log, m_poster, m_executor};
};

TEST_F(InputReportHandlerTest, StatusReportsAreForwardedToTheConfigurator) {
  Report({8, 2, 3, 0, 0, 0, 0, 0, 0});
  Report({8, 1, 4, 0, 0, 0, 0, 0, 0});
  Report({8, 6, 1, 0, 0, 0, 0, 0, 0});
  Report({8, 9, 0, 2, 0, 0x10, 0, 0, 0});  // effect 2 with an option is mode 0
  Report({8, 9, 0, 6, 0, 0, 0, 0, 0});
  Report({8, 9, 0, 1, 0, 0x08, 0, 0, 0});
  Report({8, 9, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(m_poster.Posted, (std::vector<PostedMessage>{{0x1515, 8, 3},
                                                         {0x1515, 9, 4},
                                                         {0x1515, 10, 1},
                                                         {0x1515, 11, 0},
                                                         {0x1515, 11, 4},
                                                         {0x1515, 11, 1},
                                                         {0x1515, 11, 7}}));
  EXPECT_TRUE(m_executor.Codes.empty());
}

TEST_F(InputReportHandlerTest, FunctionReportsRunOnlyPcSideFunctions) {
  Report({3, 0xFF, 0x11, 0, 0, 0, 0, 0, 0});
  Report({8, 0xFF, 0x26, 0, 0, 0, 0, 0, 0});
  Report({3, 0xFF, 0x27, 0, 0, 0, 0, 0, 0});  // past the last function
  Report({3, 0xFF, 0x10, 0, 0, 0, 0, 0, 0});
  Report({8, 5, 0x11, 0, 0, 0, 0, 0, 0});  // no status kind, no function marker
  Report({3, 0xFE, 0x12, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(m_executor.Codes, (std::vector<std::uint8_t>{0x11, 0x26}));
  EXPECT_TRUE(m_poster.Posted.empty());
}

TEST_F(InputReportHandlerTest, ShortReportsAreLoggedWithTheirBytesAndActedOnOnlyWhenComplete) {
  Report({8, 2});
  Report({8, 9, 0, 6, 0});  // the lighting status needs bytes 0-5
  Report({});
  Report({3, 0xFF, 0x13});  // three bytes are a whole function report
  EXPECT_TRUE(m_poster.Posted.empty());
  EXPECT_EQ(m_executor.Codes, std::vector<std::uint8_t>{0x13});
  EXPECT_EQ(m_log.Lines,
            (std::vector<std::string>{"ID:2,pBuffer=1234 , Length=2\n", "08 02\n",
                                      "ID:2,pBuffer=1234 , Length=5\n", "08 09 00 06 00\n",
                                      "ID:2,pBuffer=1234 , Length=0\n", "\n",
                                      "ID:2,pBuffer=1234 , Length=3\n", "03 ff 13\n"}));
}

TEST_F(InputReportHandlerTest, LongReportsLogTheirFirstNineBytes) {
  Bytes report(16, 0xAB);
  report[0] = 8;
  report[1] = 0x40;
  m_handler.OnInputReport(0x1F, report, 0xDEADBEEF);
  EXPECT_EQ(m_log.Lines, (std::vector<std::string>{"ID:1f,pBuffer=deadbeef , Length=10\n",
                                                   "08 40 ab ab ab ab ab ab ab\n"}));
}

}  // namespace
