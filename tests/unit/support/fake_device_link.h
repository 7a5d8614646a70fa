#pragma once
// Test doubles of the agent's device ports. FakeDeviceLink records every report and answers
// reads from a script; a read that does not follow a read command of the same report kind, or
// one that nothing was scripted for, fails the test (unless zero answers are allowed). From a
// chosen report on it behaves as an unplugged mouse: writes and reads fail.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "agent/configurator_poster.h"
#include "agent/debug_log.h"
#include "agent/device_link.h"
#include "agent/sleeper.h"

struct SentReport {
  std::uint32_t DeviceId;
  std::vector<std::uint8_t> Bytes;
  std::uint64_t At = 0;  // microseconds on the link's Clock, when it has one

  std::uint8_t Command() const { return Bytes.size() > 1 ? Bytes[1] : 0; }
  std::uint16_t Address() const {
    return Bytes.size() > 3 ? static_cast<std::uint16_t>(Bytes[2] | Bytes[3] << 8) : 0;
  }
  std::vector<std::uint8_t> Data(std::size_t count) const {
    return std::vector<std::uint8_t>(Bytes.begin() + 8, Bytes.begin() + 8 + count);
  }
};

class FakeDeviceLink : public DeviceLink {
 public:
  bool WriteReport(std::uint32_t deviceId, std::span<const std::uint8_t> report) override {
    ++Writes;
    if (UnpluggedAtWrite > 0 && Writes >= UnpluggedAtWrite) return false;
    Sent.push_back(
        {deviceId, std::vector<std::uint8_t>(report.begin(), report.end()), Clock ? *Clock : 0});
    return deviceId != 0;
  }

  bool ReadReport(std::uint32_t deviceId, std::span<std::uint8_t> buffer) override {
    ++Reads;
    if (UnpluggedAtRead > 0 && Reads >= UnpluggedAtRead) {
      UnpluggedAtWrite = 1;  // and so is every later write
      return false;
    }
    if (Sent.empty() || Sent.back().Command() != 0xF2 || Sent.back().Bytes[0] != buffer[0] ||
        Sent.back().Bytes.size() != buffer.size() || buffer[1] != 0xF2 ||
        Sent.back().DeviceId != deviceId) {
      ADD_FAILURE() << "read without a matching read command";
      return false;
    }
    if (m_answers.empty()) {
      if (!ZeroAnswers) ADD_FAILURE() << "unscripted read of " << std::hex << Sent.back().Address();
      return true;
    }
    const std::vector<std::uint8_t> data = std::move(m_answers.front());
    m_answers.pop_front();
    std::copy_n(data.begin(), std::min(data.size(), buffer.size() - 8), buffer.begin() + 8);
    return true;
  }

  // The data bytes (from report byte 8 on) of the next answer; fewer bytes leave zeros.
  void Answer(std::vector<std::uint8_t> data) { m_answers.push_back(std::move(data)); }
  bool AllAnswersUsed() const { return m_answers.empty(); }

  std::vector<SentReport> Sent;
  // When set (a RecordingSleeper's), each report notes the time it was sent.
  const std::uint64_t* Clock = nullptr;
  int Reads = 0;
  int Writes = 0;
  // Counted from 1: the read or write at which the mouse is gone (0: never).
  int UnpluggedAtRead = 0;
  int UnpluggedAtWrite = 0;
  bool ZeroAnswers = false;  // a read without a script gets nothing (the buffer stays zero)

 private:
  std::deque<std::vector<std::uint8_t>> m_answers;
};

class RecordingSleeper : public Sleeper {
 public:
  void Sleep(unsigned milliseconds) override {
    Pauses.push_back(milliseconds);
    Clock += milliseconds * 1000ull;
  }
  std::uint64_t NowMicroseconds() override { return Clock; }
  std::vector<unsigned> Pauses;
  std::uint64_t Clock = 0;  // moved on by the pauses and by whoever stands for slow work
};

class RecordingLog : public DebugLog {
 public:
  void Write(std::string_view text) override { Lines.emplace_back(text); }
  std::vector<std::string> Lines;
};

struct PostedMessage {
  unsigned Message;
  std::uintptr_t WParam;
  std::intptr_t LParam;
  friend bool operator==(const PostedMessage&, const PostedMessage&) = default;
};

class RecordingPoster : public ConfiguratorPoster {
 public:
  void PostToConfigurator(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
    Posted.push_back({message, wParam, lParam});
  }
  std::vector<PostedMessage> Posted;
};
