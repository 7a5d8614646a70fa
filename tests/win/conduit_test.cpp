// Conduit.dll, loaded the way the agent uses it (functions by ordinal), against a scripted
// virtual mouse on the loopback interface: notifications on the registering thread, report
// writes and reads, input reports, unplug, lost connections and broken servers.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "conduit/conduit.h"
#include "contract/link_frame.h"
#include "support/conduit_api.h"
#include "support/notification_recorder.h"
#include "support/process_harness.h"
#include "vmouse/tcp_socket.h"
#include "vmouse/virtual_mouse_server.h"

namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

using harness::Notification;
using harness::NotificationRecorder;
constexpr UINT kNotifyMessage = NotificationRecorder::kNotifyMessage;
constexpr UINT kNestedPumpMessage = NotificationRecorder::kNestedPumpMessage;
constexpr uint16_t kConsumer = 1;  // collection ids of the scripted mouse
constexpr uint16_t kVendor = 2;

const harness::ConduitApi& Api() {
  return harness::LoadConduit(L"Conduit.dll");
}

// A virtual mouse whose every answer the test decides. It answers HELLO with DEVICE and, when
// plugged, the OPEN of both collections; READ as the read mode says; it keeps every frame.
class ScriptedMouse {
 public:
  enum class ReadMode { Answer, Silent, LateAnswer, UnplugInstead, InputFirst };

  explicit ScriptedMouse(uint16_t port = 0, uint16_t vendorId = 0x04D9, uint16_t productId = 0xFC5D)
      : m_listener(TcpSocket::ListenLoopback(port)), m_vendorId(vendorId), m_productId(productId) {
    if (m_listener.Valid()) m_thread = std::thread([this] { Run(); });
  }
  ~ScriptedMouse() {
    m_stop = true;
    {
      std::lock_guard lock(m_sendMutex);
      m_client.Shutdown();
    }
    if (m_thread.joinable()) m_thread.join();
  }

  bool Listening() const { return m_listener.Valid(); }
  uint16_t Port() const { return m_listener.LocalPort(); }
  void SetPluggedAtConnect(bool plugged) { m_plugged = plugged; }
  void SetReadMode(ReadMode mode) { m_readMode = mode; }

  void SendRaw(const Bytes& bytes) {
    std::lock_guard lock(m_sendMutex);
    m_client.SendAll(bytes);
  }
  void Plug() {
    SendRaw(OpenFrame(kConsumer, 0x000C, 1));
    SendRaw(OpenFrame(kVendor, 0xFFA0, 1));
  }
  void Unplug() {
    SendRaw(CloseFrame(kConsumer));
    SendRaw(CloseFrame(kVendor));
  }
  void DropClient() {
    std::lock_guard lock(m_sendMutex);
    m_client.Shutdown();
  }

  int Connections() const { return m_connections; }
  std::vector<LinkFrameType> FrameTypes() const {
    std::lock_guard lock(m_mutex);
    std::vector<LinkFrameType> types;
    for (const auto& frame : m_frames) types.push_back(frame.Type);
    return types;
  }
  std::vector<LinkFrame> Frames(LinkFrameType type) const {
    std::lock_guard lock(m_mutex);
    std::vector<LinkFrame> found;
    for (const auto& frame : m_frames) {
      if (frame.Type == type) found.push_back(frame);
    }
    return found;
  }
  // Waits until `count` frames of the type have arrived in all.
  bool WaitFrames(LinkFrameType type, std::size_t count,
                  std::chrono::milliseconds timeout = 5000ms) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] {
      return std::count_if(m_frames.begin(), m_frames.end(), [&](const LinkFrame& f) {
               return f.Type == type;
             }) >= static_cast<std::ptrdiff_t>(count);
    });
  }
  bool WaitConnections(int count, std::chrono::milliseconds timeout = 5000ms) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_connections >= count; });
  }

  // The answer to the n-th READ (counted from 1): preset bytes 0 and 1, n, then a pattern.
  static Bytes AnswerFor(const LinkRead& read, uint8_t number) {
    Bytes answer(read.Length, 0);
    for (std::size_t i = 3; i < answer.size(); ++i) answer[i] = static_cast<uint8_t>(i * 7 + 1);
    if (answer.size() > 0) answer[0] = read.Preset.size() > 0 ? read.Preset[0] : 0;
    if (answer.size() > 1) answer[1] = read.Preset.size() > 1 ? read.Preset[1] : 0;
    if (answer.size() > 2) answer[2] = number;
    return answer;
  }

 private:
  void Run() {
    while (!m_stop) {
      if (!m_listener.WaitReadable(50ms)) continue;
      TcpSocket client = m_listener.Accept();
      if (!client.Valid()) continue;
      {
        std::lock_guard lock(m_sendMutex);
        m_client = std::move(client);
      }
      {
        std::lock_guard lock(m_mutex);
        ++m_connections;
        m_changed.notify_all();
      }
      Serve();
      std::lock_guard lock(m_sendMutex);
      m_client.Close();
    }
  }

  void Serve() {
    LinkFrameReader reader;
    Bytes buffer(4096);
    while (!m_stop) {
      if (!m_client.WaitReadable(50ms)) continue;
      const long received = m_client.Receive(buffer);
      if (received <= 0) return;
      if (!reader.Feed(std::span<const uint8_t>(buffer.data(), static_cast<size_t>(received)))) {
        return;
      }
      while (auto frame = reader.Next()) Handle(*frame);
      if (reader.Failed()) return;
    }
  }

  void Handle(const LinkFrame& frame) {
    {
      std::lock_guard lock(m_mutex);
      m_frames.push_back(frame);
      m_changed.notify_all();
    }
    if (IsHelloFrame(frame)) {
      SendRaw(DeviceFrame(m_vendorId, m_productId));
      if (m_plugged) Plug();
    } else if (auto read = ParseReadFrame(frame)) {
      const uint8_t number = static_cast<uint8_t>(++m_reads);
      switch (m_readMode.load()) {
        case ReadMode::Answer:
          SendRaw(AnswerFrame(AnswerFor(*read, number)));
          break;
        case ReadMode::Silent:
          break;
        case ReadMode::LateAnswer:
          std::this_thread::sleep_for(1500ms);
          SendRaw(AnswerFrame(AnswerFor(*read, number)));
          break;
        case ReadMode::UnplugInstead:
          Unplug();
          break;
        case ReadMode::InputFirst:  // a status report of the mouse just ahead of the answer
          SendRaw(InputFrame(kVendor, Bytes{8, number}));
          SendRaw(AnswerFrame(AnswerFor(*read, number)));
          break;
      }
    }
  }

  TcpSocket m_listener;
  const uint16_t m_vendorId, m_productId;
  std::atomic<bool> m_plugged{true};
  std::atomic<ReadMode> m_readMode{ReadMode::Answer};
  std::atomic<bool> m_stop{false};
  int m_reads = 0;  // server thread

  std::mutex m_sendMutex;  // the client socket
  TcpSocket m_client;

  mutable std::mutex m_mutex;
  mutable std::condition_variable m_changed;
  std::vector<LinkFrame> m_frames;
  int m_connections = 0;
  std::thread m_thread;
};

struct InputReport {
  uint32_t DeviceId;
  Bytes Report;
};
std::mutex g_inputMutex;
std::vector<InputReport> g_inputs;

void __stdcall RecordInput(uint32_t deviceId, const uint8_t* report, uint32_t length) {
  std::lock_guard lock(g_inputMutex);
  g_inputs.push_back({deviceId, Bytes(report, report + length)});
}

std::vector<InputReport> WaitInputs(std::size_t count, DWORD milliseconds = 5000) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  for (;;) {
    {
      std::lock_guard lock(g_inputMutex);
      if (g_inputs.size() >= count || GetTickCount64() >= end) return g_inputs;
    }
    Sleep(10);
  }
}

Bytes Report(uint8_t reportId, uint8_t command, std::size_t length) {
  Bytes report(length, 0);
  report[0] = reportId;
  report[1] = command;
  for (std::size_t i = 2; i < length; ++i) report[i] = static_cast<uint8_t>(i ^ 0xA5);
  return report;
}

class ConduitTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Api().Module, nullptr);
    const ConduitOpenParams params{0x04D9, 0xFC5D, 2, 1, 0x000C, 1, 0xFFA0};
    ASSERT_TRUE(Api().Configure(&params));
    ASSERT_TRUE(Api().SetInputCallback(&RecordInput));
    std::lock_guard lock(g_inputMutex);
    g_inputs.clear();
  }
  void TearDown() override {
    Api().RegisterWindow(nullptr, kNotifyMessage);  // stops watching
    SetEnvironmentVariableW(L"VIREO_VMOUSE", nullptr);
  }

  BOOL RegisterWith(uint16_t port) {
    SetEnvironmentVariableW(L"VIREO_VMOUSE", (L"127.0.0.1:" + std::to_wstring(port)).c_str());
    return Api().RegisterWindow(m_recorder.Window(), kNotifyMessage);
  }

  // Registers with a plugged mouse and waits for both collections.
  void Attach(ScriptedMouse& mouse) {
    ASSERT_TRUE(mouse.Listening());
    ASSERT_TRUE(RegisterWith(mouse.Port()));
    ASSERT_TRUE(m_recorder.WaitCount(2));
  }

  // The notifications from `first` on, as (kind, device id) pairs.
  std::vector<std::pair<uint32_t, uint32_t>> Events(std::size_t first = 0) const {
    std::vector<std::pair<uint32_t, uint32_t>> events;
    for (std::size_t i = first; i < m_recorder.Got().size(); ++i) {
      const auto& record = m_recorder.Got()[i].Record;
      events.emplace_back(record.EventKind, record.DeviceId & 0xFFFF);
    }
    return events;
  }

  NotificationRecorder m_recorder;
};

using EventList = std::vector<std::pair<uint32_t, uint32_t>>;
const EventList kBothOpened{{1, kConsumer}, {1, kVendor}};
const EventList kBothClosed{{0, kConsumer}, {0, kVendor}};

TEST(ConduitExportsTest, FunctionsAreExportedByOrdinalOnly) {
  const harness::ConduitApi& api = Api();
  ASSERT_NE(api.Module, nullptr);
  EXPECT_NE(api.Configure, nullptr);
  EXPECT_NE(api.SetInputCallback, nullptr);
  EXPECT_NE(api.RegisterWindow, nullptr);
  EXPECT_NE(api.WriteReport, nullptr);
  EXPECT_NE(api.ReadReport, nullptr);
  EXPECT_NE(api.RequestReport, nullptr);
  for (const char* name : {"ConduitConfigure", "ConduitSetInputCallback", "ConduitRegisterWindow",
                           "ConduitWriteReport", "ConduitReadReport", "ConduitRequestReport"}) {
    EXPECT_EQ(GetProcAddress(api.Module, name), nullptr) << name;
  }
  for (WORD ordinal : {1, 3, 4, 10}) {
    EXPECT_EQ(GetProcAddress(api.Module, MAKEINTRESOURCEA(ordinal)), nullptr) << ordinal;
  }
}

TEST_F(ConduitTest, OpenedCollectionsAreNotifiedOnTheRegisteringThreadAsDirectCalls) {
  ScriptedMouse mouse;
  Attach(mouse);
  ASSERT_EQ(m_recorder.Got().size(), 2u);
  EXPECT_EQ(Events(), kBothOpened);
  const uint32_t pages[] = {0x000C, 0xFFA0};
  for (std::size_t i = 0; i < 2; ++i) {
    const Notification& got = m_recorder.Got()[i];
    // The agent reads the record only when the message comes from its own thread.
    EXPECT_EQ(got.SendKind, static_cast<DWORD>(ISMEX_NOSEND));
    EXPECT_EQ(got.Thread, GetCurrentThreadId());
    EXPECT_EQ(got.Record.UsagePage, pages[i]);
    EXPECT_NE(got.Record.DeviceId, 0u);
  }
  const auto hello = mouse.Frames(LinkFrameType::Hello);
  ASSERT_EQ(hello.size(), 1u);
  EXPECT_TRUE(IsHelloFrame(hello[0]));
}

TEST_F(ConduitTest, ReportsReachTheirCollectionAndReadsReturnTheAnswer) {
  ScriptedMouse mouse;
  Attach(mouse);
  const uint32_t vendorId = m_recorder.Got()[1].Record.DeviceId;

  // Every report length the agent uses goes out whole, byte 0 being the report id.
  const Bytes reports[] = {Report(2, 0xF3, 16), Report(3, 0xF3, 64), Report(4, 0xF3, 1024)};
  for (const Bytes& report : reports) {
    EXPECT_TRUE(Api().WriteReport(vendorId, report.data(), static_cast<uint32_t>(report.size())));
  }
  ASSERT_TRUE(mouse.WaitFrames(LinkFrameType::Write, 3));
  const auto writes = mouse.Frames(LinkFrameType::Write);
  ASSERT_EQ(writes.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const auto write = ParseReportFrame(writes[i]);
    ASSERT_TRUE(write);
    EXPECT_EQ(write->Collection, kVendor);
    EXPECT_EQ(write->Report, reports[i]);
  }

  for (const uint32_t length : {16u, 64u}) {
    Bytes buffer(length, 0);
    buffer[0] = length == 16 ? 2 : 3;
    buffer[1] = 0xF2;
    const Bytes preset = buffer;
    EXPECT_TRUE(Api().ReadReport(vendorId, buffer.data(), length));
    const auto reads = mouse.Frames(LinkFrameType::Read);
    ASSERT_FALSE(reads.empty());
    const auto read = ParseReadFrame(reads.back());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Collection, kVendor);
    EXPECT_EQ(read->Length, length);
    EXPECT_EQ(Bytes(read->Preset.begin(), read->Preset.begin() + 2),
              Bytes(preset.begin(), preset.begin() + 2));
    EXPECT_EQ(buffer, ScriptedMouse::AnswerFor(*read, static_cast<uint8_t>(reads.size())));
  }
}

TEST_F(ConduitTest, ReportsToIdsThatAreNotOpenGoNowhere) {
  ScriptedMouse mouse;
  Attach(mouse);
  const Bytes report = Report(2, 0xF1, 16);
  EXPECT_FALSE(Api().WriteReport(0, report.data(), 16));
  EXPECT_FALSE(Api().WriteReport(7, report.data(), 16));
  Bytes buffer{2, 0xF2, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
  EXPECT_FALSE(Api().ReadReport(7, buffer.data(), 16));
  EXPECT_EQ(buffer, (Bytes{2, 0xF2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

  // A report to an open id after them is the first thing the mouse sees.
  EXPECT_TRUE(Api().WriteReport(kVendor, report.data(), 16));
  ASSERT_TRUE(mouse.WaitFrames(LinkFrameType::Write, 1));
  EXPECT_EQ(mouse.Frames(LinkFrameType::Write).size(), 1u);
  EXPECT_TRUE(mouse.Frames(LinkFrameType::Read).empty());
}

TEST_F(ConduitTest, InputReportsReachTheCallbackAsTheMouseSentThem) {
  ScriptedMouse mouse;
  Attach(mouse);
  const Bytes status{8, 2, 3, 0, 0, 0, 0, 0, 0};
  const Bytes function{1, 0xFF, 0x12};
  mouse.SendRaw(InputFrame(kVendor, status));
  mouse.SendRaw(InputFrame(9, status));           // not an open collection
  mouse.SendRaw(InputFrame(kConsumer, Bytes{}));  // no report id: nothing to hand on
  mouse.SendRaw(InputFrame(kConsumer, function));
  mouse.SendRaw(InputFrame(kVendor, Bytes{8, 9}));  // short: handed on with its own length
  const auto inputs = WaitInputs(3);
  ASSERT_EQ(inputs.size(), 3u);
  EXPECT_EQ(inputs[2].Report, (Bytes{8, 9}));
  EXPECT_EQ(inputs[0].DeviceId, kVendor);
  EXPECT_EQ(inputs[0].Report, status);
  EXPECT_EQ(inputs[1].DeviceId, kConsumer);
  EXPECT_EQ(inputs[1].Report, function);
  EXPECT_EQ(WaitInputs(4, 300).size(), 3u);
}

TEST_F(ConduitTest, InputsThatArriveDuringARunOfReadsReachTheCallbackInOrder) {
  ScriptedMouse mouse;
  Attach(mouse);
  mouse.SetReadMode(ScriptedMouse::ReadMode::InputFirst);
  // The reads receive these inputs themselves; the network thread hands them on.
  for (uint8_t n = 1; n <= 5; ++n) {
    Bytes buffer{2, 0xF2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(Api().ReadReport(kVendor, buffer.data(), 16));
    EXPECT_EQ(buffer[2], n);
  }
  // Sent right after the last read, while the reads may still have the socket to themselves.
  mouse.SendRaw(InputFrame(kConsumer, Bytes{1, 0xFF, 0x12}));
  const auto inputs = WaitInputs(6);
  ASSERT_EQ(inputs.size(), 6u);
  for (uint8_t n = 1; n <= 5; ++n) {
    EXPECT_EQ(inputs[n - 1].DeviceId, kVendor);
    EXPECT_EQ(inputs[n - 1].Report, (Bytes{8, n}));
  }
  EXPECT_EQ(inputs[5].DeviceId, kConsumer);
  EXPECT_EQ(inputs[5].Report, (Bytes{1, 0xFF, 0x12}));
}

TEST_F(ConduitTest, UnplugClosesBothCollectionsAndPlugOpensThemAgain) {
  ScriptedMouse mouse;
  Attach(mouse);
  mouse.Unplug();
  ASSERT_TRUE(m_recorder.WaitCount(4));
  EXPECT_EQ(Events(2), kBothClosed);
  EXPECT_EQ(m_recorder.Got()[2].SendKind, static_cast<DWORD>(ISMEX_NOSEND));

  const Bytes report = Report(2, 0xF3, 16);
  EXPECT_FALSE(Api().WriteReport(kVendor, report.data(), 16));
  Bytes buffer(16, 0);
  buffer[0] = 2;
  buffer[1] = 0xF2;
  EXPECT_FALSE(Api().ReadReport(kVendor, buffer.data(), 16));
  EXPECT_EQ(buffer, (Bytes{2, 0xF2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

  mouse.Plug();
  ASSERT_TRUE(m_recorder.WaitCount(6));
  EXPECT_EQ(Events(4), kBothOpened);
  EXPECT_TRUE(Api().WriteReport(kVendor, report.data(), 16));
  ASSERT_TRUE(mouse.WaitFrames(LinkFrameType::Write, 1));
  EXPECT_EQ(mouse.Frames(LinkFrameType::Write).size(), 1u);  // the unplugged write was dropped
}

TEST_F(ConduitTest, NotificationsWaitWhileTheThreadAnswersAnotherThreadsMessage) {
  ScriptedMouse mouse;
  Attach(mouse);
  // While this thread handles a message sent by another thread and runs messages inside it,
  // a notification would reach the receiver as part of that foreign call, which the agent
  // ignores; the library holds it back until the call is over.
  m_recorder.m_duringNestedPump = [&] { mouse.Unplug(); };
  std::thread sender([&] { SendMessageW(m_recorder.Window(), kNestedPumpMessage, 700, 0); });
  const ULONGLONG end = GetTickCount64() + 5000;
  while (m_recorder.Got().size() < 4 && GetTickCount64() < end) harness::PumpMessages(20);
  sender.join();
  ASSERT_EQ(m_recorder.Got().size(), 4u);
  EXPECT_EQ(Events(2), kBothClosed);
  for (const Notification& got : m_recorder.Got()) {
    EXPECT_EQ(got.SendKind, static_cast<DWORD>(ISMEX_NOSEND));
  }
}

TEST_F(ConduitTest, ALostConnectionClosesTheCollectionsAndTheNextConnectionOpensThem) {
  ScriptedMouse mouse;
  Attach(mouse);
  mouse.DropClient();
  ASSERT_TRUE(m_recorder.WaitCount(4));
  EXPECT_EQ(Events(2), kBothClosed);
  ASSERT_TRUE(mouse.WaitConnections(2));
  ASSERT_TRUE(m_recorder.WaitCount(6));
  EXPECT_EQ(Events(4), kBothOpened);
  EXPECT_EQ(mouse.Frames(LinkFrameType::Hello).size(), 2u);
}

TEST_F(ConduitTest, MalformedFramesEndTheConnection) {
  ScriptedMouse mouse;
  Attach(mouse);
  const Bytes broken[] = {
      {0, 0, 0, 0},                 // length 0
      {1, 0, 0, 0, 0x7F},           // unknown type
      {2, 0, 0, 0, 0x20, kVendor},  // INPUT too short for its collection id
      {3, 0, 0, 0, 0x02, 1, 0},     // OPEN too short
  };
  int connection = 1;
  std::size_t seen = 2;
  for (const Bytes& frame : broken) {
    mouse.SendRaw(frame);
    ASSERT_TRUE(m_recorder.WaitCount(seen + 4)) << "frame " << int(frame[4 % frame.size()]);
    EXPECT_EQ(Events(seen),
              (EventList{{0, kConsumer}, {0, kVendor}, {1, kConsumer}, {1, kVendor}}));
    EXPECT_TRUE(mouse.WaitConnections(++connection));
    seen += 4;
  }
  EXPECT_TRUE(WaitInputs(1, 200).empty());
}

TEST_F(ConduitTest, AReadWithoutAnswerGivesUpAndItsLateAnswerIsNotTakenForTheNext) {
  ScriptedMouse mouse;
  Attach(mouse);
  mouse.SetReadMode(ScriptedMouse::ReadMode::LateAnswer);
  Bytes buffer(16, 0);
  buffer[0] = 2;
  buffer[1] = 0xF2;
  EXPECT_FALSE(Api().ReadReport(kVendor, buffer.data(), 16));
  EXPECT_EQ(buffer, (Bytes{2, 0xF2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

  mouse.SetReadMode(ScriptedMouse::ReadMode::Answer);
  EXPECT_TRUE(Api().ReadReport(kVendor, buffer.data(), 16));
  EXPECT_EQ(buffer[2], 2) << "the answer of the first read was taken";
  EXPECT_EQ(mouse.Connections(), 1);
}

TEST_F(ConduitTest, ARequestSendsItsReportThenItsReadAndReturnsItsAnswer) {
  ScriptedMouse mouse;
  Attach(mouse);
  const Bytes command = Report(2, 0xF2, 16);
  Bytes buffer(16, 0);
  buffer[0] = 2;
  buffer[1] = 0xF2;
  // Not open: neither the report nor a read goes out.
  EXPECT_FALSE(Api().RequestReport(7, command.data(), 16, buffer.data(), 16));
  EXPECT_EQ(buffer, (Bytes{2, 0xF2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

  EXPECT_TRUE(Api().RequestReport(kVendor, command.data(), 16, buffer.data(), 16));
  const Bytes longCommand = Report(3, 0xF2, 64);
  Bytes longBuffer(64, 0);
  longBuffer[0] = 3;
  longBuffer[1] = 0xF2;
  EXPECT_TRUE(Api().RequestReport(kVendor, longCommand.data(), 64, longBuffer.data(), 64));
  const auto reads = mouse.Frames(LinkFrameType::Read);
  ASSERT_EQ(reads.size(), 2u);
  EXPECT_EQ(buffer, ScriptedMouse::AnswerFor(*ParseReadFrame(reads[0]), 1));
  EXPECT_EQ(longBuffer, ScriptedMouse::AnswerFor(*ParseReadFrame(reads[1]), 2));

  const std::vector<LinkFrameType> types = mouse.FrameTypes();
  EXPECT_EQ(std::vector<LinkFrameType>(types.begin() + 1, types.end()),
            (std::vector<LinkFrameType>{LinkFrameType::Write, LinkFrameType::Read,
                                        LinkFrameType::Write, LinkFrameType::Read}));
  const auto writes = mouse.Frames(LinkFrameType::Write);
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(ParseReportFrame(writes[0])->Report, command);
  EXPECT_EQ(ParseReportFrame(writes[1])->Report, longCommand);
  EXPECT_EQ(mouse.Connections(), 1);
}

TEST_F(ConduitTest, AnUnplugDuringAReadEndsTheRead) {
  ScriptedMouse mouse;
  Attach(mouse);
  mouse.SetReadMode(ScriptedMouse::ReadMode::UnplugInstead);
  Bytes buffer(64, 0);
  buffer[0] = 3;
  buffer[1] = 0xF2;
  EXPECT_FALSE(Api().ReadReport(kVendor, buffer.data(), 64));
  EXPECT_EQ(buffer[0], 3);
  EXPECT_EQ(buffer[1], 0xF2);
  EXPECT_TRUE(std::all_of(buffer.begin() + 2, buffer.end(), [](uint8_t b) { return b == 0; }));
  ASSERT_TRUE(m_recorder.WaitCount(4));
  EXPECT_EQ(Events(2), kBothClosed);
}

TEST_F(ConduitTest, AnotherDeviceCountsAsNoMouse) {
  ScriptedMouse mouse(0, 0x1234, 0xFC5D);
  ASSERT_TRUE(mouse.Listening());
  EXPECT_FALSE(RegisterWith(mouse.Port()));
  // It offers collections of the watched kinds, and the library keeps trying every second.
  ASSERT_TRUE(mouse.WaitConnections(2));
  harness::PumpMessages(200);
  EXPECT_TRUE(m_recorder.Got().empty());
  EXPECT_TRUE(mouse.Frames(LinkFrameType::Write).empty());
}

TEST_F(ConduitTest, TheVirtualMouseIsReachedOnlyAtALoopbackAddress) {
  ScriptedMouse mouse;
  ASSERT_TRUE(mouse.Listening());
  // 0.0.0.0 reaches this machine's listeners too, but it names no loopback address: the
  // library does not connect (and watches the HID API instead).
  SetEnvironmentVariableW(L"VIREO_VMOUSE", (L"0.0.0.0:" + std::to_wstring(mouse.Port())).c_str());
  EXPECT_FALSE(Api().RegisterWindow(m_recorder.Window(), kNotifyMessage));
  EXPECT_FALSE(mouse.WaitConnections(1, 1500ms));
  SetEnvironmentVariableW(L"VIREO_VMOUSE", (L"LocalHost:" + std::to_wstring(mouse.Port())).c_str());
  EXPECT_TRUE(Api().RegisterWindow(m_recorder.Window(), kNotifyMessage));
  EXPECT_TRUE(mouse.WaitConnections(1));
}

TEST_F(ConduitTest, AnUnreachableMouseIsAbsentUntilItsServerStarts) {
  uint16_t port = 0;
  {
    TcpSocket probe = TcpSocket::ListenLoopback(0);  // a free port, closed again
    ASSERT_TRUE(probe.Valid());
    port = probe.LocalPort();
  }
  EXPECT_FALSE(RegisterWith(port));
  const Bytes report = Report(2, 0xF3, 16);
  EXPECT_FALSE(Api().WriteReport(kVendor, report.data(), 16));
  Bytes buffer{2, 0xF2, 1, 1};
  EXPECT_FALSE(Api().ReadReport(kVendor, buffer.data(), 4));
  EXPECT_EQ(buffer, (Bytes{2, 0xF2, 0, 0}));
  harness::PumpMessages(100);
  EXPECT_TRUE(m_recorder.Got().empty());

  ScriptedMouse mouse(port);
  ASSERT_TRUE(mouse.Listening());
  ASSERT_TRUE(m_recorder.WaitCount(2));
  EXPECT_EQ(Events(), kBothOpened);
}

TEST_F(ConduitTest, AConnectedMouseThatIsNotPluggedInIsAbsent) {
  ScriptedMouse mouse;
  mouse.SetPluggedAtConnect(false);
  ASSERT_TRUE(mouse.Listening());
  EXPECT_FALSE(RegisterWith(mouse.Port()));
  EXPECT_EQ(mouse.Connections(), 1);
  mouse.Plug();
  ASSERT_TRUE(m_recorder.WaitCount(2));
  EXPECT_EQ(Events(), kBothOpened);
}

TEST_F(ConduitTest, WithoutTheVirtualMouseTheHidApiFindsNothingAndNothingBreaks) {
  SetEnvironmentVariableW(L"VIREO_VMOUSE", nullptr);
  EXPECT_FALSE(Api().RegisterWindow(m_recorder.Window(), kNotifyMessage));
  harness::PumpMessages(200);
  EXPECT_TRUE(m_recorder.Got().empty());
  const Bytes report = Report(2, 0xF3, 16);
  EXPECT_FALSE(Api().WriteReport(1, report.data(), 16));
  Bytes buffer{2, 0xF2, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5};
  EXPECT_FALSE(Api().ReadReport(1, buffer.data(), 16));
  EXPECT_EQ(buffer, (Bytes{2, 0xF2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(ConduitTest, CollectionZeroGetsANonZeroDeviceIdWithTheSameLowBits) {
  ScriptedMouse mouse;
  Attach(mouse);
  mouse.Unplug();
  mouse.SendRaw(OpenFrame(0, 0xFFA0, 1));
  ASSERT_TRUE(m_recorder.WaitCount(5));
  const ConduitNotification& opened = m_recorder.Got()[4].Record;
  EXPECT_EQ(opened.EventKind, kConduitCollectionOpened);
  EXPECT_NE(opened.DeviceId, 0u);  // 0 is the agent's "no device"
  EXPECT_EQ(opened.DeviceId & 0xFFFF, 0u);

  const Bytes report = Report(2, 0xF1, 16);
  EXPECT_FALSE(Api().WriteReport(0, report.data(), 16));
  EXPECT_TRUE(Api().WriteReport(opened.DeviceId, report.data(), 16));
  ASSERT_TRUE(mouse.WaitFrames(LinkFrameType::Write, 1));
  const auto writes = mouse.Frames(LinkFrameType::Write);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(ParseReportFrame(writes[0])->Collection, 0);
}

TEST_F(ConduitTest, RegisteringAgainLeavesTheFirstMouseForTheSecond) {
  ScriptedMouse first, second;
  Attach(first);
  ASSERT_TRUE(second.Listening());
  ASSERT_TRUE(RegisterWith(second.Port()));
  ASSERT_TRUE(m_recorder.WaitCount(4));
  EXPECT_EQ(Events(2), kBothOpened);
  const Bytes report = Report(2, 0xF3, 16);
  EXPECT_TRUE(Api().WriteReport(kVendor, report.data(), 16));
  ASSERT_TRUE(second.WaitFrames(LinkFrameType::Write, 1));
  EXPECT_TRUE(first.Frames(LinkFrameType::Write).empty());
  // The first connection is gone: the library does not come back to it.
  harness::PumpMessages(1500);
  EXPECT_EQ(first.Connections(), 1);
  EXPECT_EQ(m_recorder.Got().size(), 4u);
}

TEST_F(ConduitTest, TheVirtualMouseKeepsWhatIsWrittenAndAnswersItsReadCommand) {
  VirtualMouseServer server;
  ASSERT_TRUE(server.Start());
  ASSERT_TRUE(RegisterWith(server.Port()));
  ASSERT_TRUE(m_recorder.WaitCount(2));
  EXPECT_EQ(Events(), kBothOpened);

  Bytes write(16, 0), request(16, 0);
  const Bytes data{0x8E, 0x01, 0xFF, 0x12};  // button 3 of profile 0: the "copy" function
  const uint16_t address = 0x040 + 66 + 4 * 3;
  for (Bytes* command : {&write, &request}) {
    (*command)[0] = 2;
    (*command)[2] = address & 0xFF;
    (*command)[3] = address >> 8;
    (*command)[4] = 4;
  }
  write[1] = 0xF3;
  std::copy(data.begin(), data.end(), write.begin() + 8);
  request[1] = 0xF2;
  EXPECT_TRUE(Api().WriteReport(kVendor, write.data(), 16));
  EXPECT_TRUE(Api().WriteReport(kVendor, request.data(), 16));
  Bytes answer(16, 0);
  answer[0] = 2;
  answer[1] = 0xF2;
  EXPECT_TRUE(Api().ReadReport(kVendor, answer.data(), 16));
  EXPECT_EQ(Bytes(answer.begin(), answer.begin() + 8), Bytes(request.begin(), request.begin() + 8));
  EXPECT_EQ(Bytes(answer.begin() + 8, answer.begin() + 12), data);
  EXPECT_EQ(server.ReadMemory(address, 4), data);

  // Pressing that button makes the mouse report the function through the callback.
  const MouseActionResult pressed = server.PressButton(3);
  ASSERT_TRUE(pressed.Accepted);
  ASSERT_FALSE(pressed.Reports.empty());
  const auto inputs = WaitInputs(pressed.Reports.size());
  ASSERT_EQ(inputs.size(), pressed.Reports.size());
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    EXPECT_EQ(inputs[i].DeviceId, pressed.Reports[i].Collection);
    EXPECT_EQ(inputs[i].Report, pressed.Reports[i].Report);
  }
  EXPECT_EQ(inputs[0].Report[1], 0xFF);
  EXPECT_EQ(inputs[0].Report[2], 0x12);
}

TEST_F(ConduitTest, ANullWindowIsRefused) {
  ScriptedMouse mouse;
  ASSERT_TRUE(mouse.Listening());
  SetEnvironmentVariableW(L"VIREO_VMOUSE", (L"127.0.0.1:" + std::to_wstring(mouse.Port())).c_str());
  EXPECT_FALSE(Api().RegisterWindow(nullptr, kNotifyMessage));
  EXPECT_EQ(mouse.Connections(), 0);
}

}  // namespace
