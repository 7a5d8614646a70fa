#include "contract/link_frame.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<LinkFrame> Drain(LinkFrameReader& reader) {
  std::vector<LinkFrame> frames;
  while (auto frame = reader.Next()) frames.push_back(std::move(*frame));
  return frames;
}

TEST(LinkFrame, EncodesLengthTypeAndLittleEndianFields) {
  EXPECT_EQ(OpenFrame(0x0102, 0xFFA0, 1),
            (std::vector<uint8_t>{7, 0, 0, 0, 0x02, 0x02, 0x01, 0xA0, 0xFF, 0x01, 0x00}));
  const std::vector<uint8_t> preset{3, 0xF2};
  EXPECT_EQ(ReadFrame(2, 64, preset),
            (std::vector<uint8_t>{7, 0, 0, 0, 0x11, 2, 0, 64, 0, 3, 0xF2}));
  const auto hello = HelloFrame();
  ASSERT_EQ(hello.size(), 4u + 1 + 14);
  EXPECT_EQ(hello[0], 15);
}

TEST(LinkFrame, ReaderReassemblesFramesSplitAnywhere) {
  std::vector<uint8_t> stream = HelloFrame();
  const std::vector<uint8_t> report{2, 0xF3, 0x2C, 0, 2, 0, 0, 0, 3, 0};
  const auto write = WriteFrame(7, report);
  stream.insert(stream.end(), write.begin(), write.end());
  const auto close = CloseFrame(7);
  stream.insert(stream.end(), close.begin(), close.end());

  for (std::size_t chunk = 1; chunk <= stream.size(); ++chunk) {
    LinkFrameReader reader;
    std::vector<LinkFrame> frames;
    for (std::size_t at = 0; at < stream.size(); at += chunk) {
      const std::size_t n = std::min(chunk, stream.size() - at);
      ASSERT_TRUE(reader.Feed({stream.data() + at, n}));
      for (auto& f : Drain(reader)) frames.push_back(std::move(f));
    }
    ASSERT_EQ(frames.size(), 3u) << "chunk " << chunk;
    EXPECT_TRUE(IsHelloFrame(frames[0]));
    const auto parsed = ParseReportFrame(frames[1]);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->Collection, 7);
    EXPECT_EQ(parsed->Report, report);
    EXPECT_EQ(ParseCloseFrame(frames[2]), std::optional<uint16_t>(7));
  }
}

TEST(LinkFrame, MalformedStreamsFailForGood) {
  const std::vector<std::vector<uint8_t>> bad{
      {0, 0, 0, 0, 0x01},  // length 0
      {1, 0, 1, 0, 0x01},  // longer than 65536
      {1, 0, 0, 0, 0x55},  // unknown type
  };
  for (const auto& bytes : bad) {
    LinkFrameReader reader;
    reader.Feed(bytes);
    EXPECT_FALSE(reader.Next());
    EXPECT_TRUE(reader.Failed());
    EXPECT_FALSE(reader.Feed(HelloFrame()));
    EXPECT_FALSE(reader.Next());
  }
}

TEST(LinkFrame, ShortOrMismatchedPayloadsDoNotParse) {
  LinkFrame frame{LinkFrameType::Open, {1, 0, 0xA0}};
  EXPECT_FALSE(ParseOpenFrame(frame));
  frame = {LinkFrameType::Write, {1, 0}};  // no report id
  EXPECT_FALSE(ParseReportFrame(frame));
  frame = {LinkFrameType::Read, {1, 0, 2, 0, 3, 0xF2, 9}};  // preset longer than the report
  EXPECT_FALSE(ParseReadFrame(frame));
  frame = {LinkFrameType::Close, {1, 0}};
  EXPECT_FALSE(ParseOpenFrame(frame));
  frame = {LinkFrameType::Hello, {'V'}};
  EXPECT_FALSE(IsHelloFrame(frame));
}

}  // namespace
