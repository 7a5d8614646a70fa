// The virtual mouse's server over real loopback sockets, with a small client built on the
// link's frame codec.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <thread>
#include <vector>

#include "contract/link_frame.h"
#include "vmouse/tcp_socket.h"
#include "vmouse/virtual_mouse_server.h"

using namespace device_map;

namespace {

using namespace std::chrono_literals;

constexpr uint16_t kVendor = VirtualMouse::kVendorCollection;
constexpr uint16_t kConsumer = VirtualMouse::kConsumerCollection;

class TestClient {
 public:
  explicit TestClient(uint16_t port) : m_socket(TcpSocket::ConnectLoopback(port)) {}

  bool Connected() const { return m_socket.Valid(); }
  void Send(const std::vector<uint8_t>& bytes) { ASSERT_TRUE(m_socket.SendAll(bytes)); }

  // The next frame, or nothing when the server closed the connection or said nothing for 2 s.
  std::optional<LinkFrame> Next() {
    for (;;) {
      if (auto frame = m_reader.Next()) return frame;
      if (m_closed || !m_socket.WaitReadable(2s)) return std::nullopt;
      uint8_t buffer[4096];
      const long n = m_socket.Receive(buffer);
      if (n <= 0) {
        m_closed = true;
        return std::nullopt;
      }
      m_reader.Feed(std::span(buffer, static_cast<std::size_t>(n)));
    }
  }

  // True once the server has closed the connection (no frame in between).
  bool ServerClosed() { return !Next() && m_closed; }

  // HELLO, then DEVICE and the OPENs of an attached mouse.
  void Handshake(bool attached = true) {
    Send(HelloFrame());
    const auto device = Next();
    ASSERT_TRUE(device);
    const auto parsed = ParseDeviceFrame(*device);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->VendorId, 0x04D9);
    EXPECT_EQ(parsed->ProductId, 0xFC5D);
    if (attached) ExpectOpens();
  }

  void ExpectOpens() {
    const auto consumer = Next();
    const auto vendor = Next();
    ASSERT_TRUE(consumer && vendor);
    const auto first = ParseOpenFrame(*consumer);
    const auto second = ParseOpenFrame(*vendor);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->Collection, kConsumer);
    EXPECT_EQ(first->UsagePage, 0x000C);
    EXPECT_EQ(first->Usage, 1);
    EXPECT_EQ(second->Collection, kVendor);
    EXPECT_EQ(second->UsagePage, 0xFFA0);
    EXPECT_EQ(second->Usage, 1);
  }

  std::vector<uint8_t> Read(uint16_t collection, uint16_t length, std::vector<uint8_t> preset) {
    Send(ReadFrame(collection, length, preset));
    const auto answer = Next();
    if (!answer || answer->Type != LinkFrameType::Answer) return {};
    return answer->Payload;
  }

 private:
  TcpSocket m_socket;
  LinkFrameReader m_reader;
  bool m_closed = false;
};

std::vector<uint8_t> Request(uint8_t command, uint32_t address, uint8_t length,
                             std::vector<uint8_t> data = {}) {
  std::vector<uint8_t> report(16, 0);
  report[0] = 2;
  report[1] = command;
  report[2] = static_cast<uint8_t>(address);
  report[3] = static_cast<uint8_t>(address >> 8);
  report[4] = length;
  std::copy(data.begin(), data.end(), report.begin() + 8);
  return report;
}

std::vector<uint8_t> WriteActiveProfile(uint8_t profile) {
  return WriteFrame(kVendor, Request(0xF3, 0x02C, 2, {profile, 0}));
}

TEST(VirtualMouseServer, HandshakeThenWriteAndReadRoundTrip) {
  VirtualMouseServer server;
  ASSERT_TRUE(server.Start());
  ASSERT_NE(server.Port(), 0);
  TestClient client(server.Port());
  ASSERT_TRUE(client.Connected());
  client.Handshake();
  EXPECT_TRUE(server.WaitForClient(true, 2s));

  client.Send(WriteActiveProfile(3));
  client.Send(WriteFrame(kVendor, Request(0xF2, 0x02C, 1)));
  const auto answer = client.Read(kVendor, 16, {2, 0xF2});
  ASSERT_EQ(answer.size(), 16u);
  EXPECT_EQ(answer[1], 0xF2);
  EXPECT_EQ(answer[2], 0x2C);
  EXPECT_EQ(answer[8], 3);
  EXPECT_EQ(server.ReadMemory(0x02C, 2), (std::vector<uint8_t>{3, 0}));
  EXPECT_EQ(server.ReportsReceived(), 3u);
  // A READ without a read command: the preset and zeros, in the asked length.
  EXPECT_EQ(client.Read(kVendor, 64, {3, 0xF2}).size(), 64u);
}

TEST(VirtualMouseServer, DetachClosesAndAttachReopensTheCollections) {
  VirtualMouseServer server;
  ASSERT_TRUE(server.Start());
  TestClient client(server.Port());
  client.Handshake();

  server.Detach();
  for (uint16_t expected : {kConsumer, kVendor}) {
    const auto frame = client.Next();
    ASSERT_TRUE(frame);
    EXPECT_EQ(ParseCloseFrame(*frame), std::optional<uint16_t>(expected));
  }
  // An absent mouse takes nothing and answers with the preset alone.
  client.Send(WriteActiveProfile(4));
  client.Send(WriteFrame(kVendor, Request(0xF2, 0x02C, 1)));
  const auto answer = client.Read(kVendor, 16, {2, 0xF2});
  ASSERT_EQ(answer.size(), 16u);
  EXPECT_EQ(answer[2], 0);
  EXPECT_EQ(server.ReadMemory(0x02C, 1)[0], 0);

  server.Attach();
  client.ExpectOpens();
  client.Send(WriteActiveProfile(4));
  EXPECT_TRUE(server.WaitForReports(4, 2s));
  EXPECT_EQ(server.ReadMemory(0x02C, 1)[0], 4);
}

TEST(VirtualMouseServer, DetachedMouseOnlyIntroducesItselfUntilAttached) {
  VirtualMouseServer server(VirtualMouseServer::Options{0, false, {}});
  ASSERT_TRUE(server.Start());
  TestClient client(server.Port());
  client.Handshake(false);
  server.Attach();
  client.ExpectOpens();
}

TEST(VirtualMouseServer, OnMouseActionsArriveAsInputFrames) {
  VirtualMouseServer server;
  ASSERT_TRUE(server.Start());
  server.WithMouse([](VirtualMouse& mouse) {
    mouse.WriteMemory(ButtonAddress(2, 9), std::vector<uint8_t>{0x8E, 0x01, 0xFF, 0x1F});
  });
  TestClient client(server.Port());
  client.Handshake();

  EXPECT_TRUE(server.SwitchProfile(2).Accepted);
  server.PressButton(9);
  auto frame = client.Next();
  ASSERT_TRUE(frame);
  auto input = ParseReportFrame(*frame);
  ASSERT_TRUE(input);
  EXPECT_EQ(frame->Type, LinkFrameType::Input);
  EXPECT_EQ(input->Collection, kVendor);
  ASSERT_GE(input->Report.size(), 9u);
  EXPECT_EQ((std::vector<uint8_t>(input->Report.begin(), input->Report.begin() + 3)),
            (std::vector<uint8_t>{8, 1, 2}));
  frame = client.Next();
  ASSERT_TRUE(frame);
  input = ParseReportFrame(*frame);
  ASSERT_TRUE(input);
  EXPECT_EQ(input->Report[1], 0xFF);
  EXPECT_EQ(input->Report[2], 0x1F);

  // Detached: nothing is sent, the switch still happens on the mouse.
  server.Detach();
  client.Next();
  client.Next();
  server.SwitchStage(3);
  EXPECT_EQ(server.WithMouse([](VirtualMouse& mouse) { return mouse.ActiveStage(); }), 3);
  EXPECT_FALSE(client.Next());
}

TEST(VirtualMouseServer, MalformedOrUnexpectedFramesCloseTheConnection) {
  VirtualMouseServer server;
  ASSERT_TRUE(server.Start());
  const std::vector<uint8_t> hello = HelloFrame();
  const std::vector<std::vector<uint8_t>> badAfterHello{
      {0, 0, 0, 0},                    // length 0
      {1, 0, 1, 0, 0x10},              // length above 65536
      {1, 0, 0, 0, 0x55},              // unknown type
      {3, 0, 0, 0, 0x11, 2, 0},        // READ without length
      {5, 0, 0, 0, 0x11, 2, 0, 0, 0},  // READ of length 0
      {3, 0, 0, 0, 0x10, 2, 0},        // WRITE without a report
      OpenFrame(1, 0x000C, 1),         // a server's frame
      HelloFrame(),                    // a second HELLO
  };
  for (std::size_t i = 0; i < badAfterHello.size(); ++i) {
    TestClient client(server.Port());
    client.Handshake();
    client.Send(badAfterHello[i]);
    EXPECT_TRUE(client.ServerClosed()) << "case " << i;
  }
  // Before HELLO only HELLO is accepted, and the text must be exact.
  for (const auto& first : {WriteActiveProfile(1), EncodeLinkFrame(LinkFrameType::Hello, hello)}) {
    TestClient client(server.Port());
    client.Send(first);
    EXPECT_TRUE(client.ServerClosed());
  }
  EXPECT_EQ(server.ReadMemory(0x02C, 1)[0], 0);
  // The server is still there for a good client.
  TestClient good(server.Port());
  good.Handshake();
}

TEST(VirtualMouseServer, ClientsClosingAnywhereLeaveTheServerServing) {
  VirtualMouseServer server;
  ASSERT_TRUE(server.Start());
  std::vector<uint8_t> stream = HelloFrame();
  for (const auto& frame : {WriteActiveProfile(2), WriteFrame(kVendor, Request(0xF2, 0x02C, 1)),
                            ReadFrame(kVendor, 16, std::vector<uint8_t>{2, 0xF2})}) {
    stream.insert(stream.end(), frame.begin(), frame.end());
  }
  for (std::size_t cut = 0; cut <= stream.size(); cut += 5) {
    {
      TestClient client(server.Port());
      ASSERT_TRUE(client.Connected());
      if (cut > 0) client.Send(std::vector<uint8_t>(stream.begin(), stream.begin() + cut));
    }  // closed here, possibly in the middle of a frame
    ASSERT_TRUE(server.WaitForClient(false, 2s)) << "cut " << cut;
  }
  TestClient client(server.Port());
  client.Handshake();
  EXPECT_EQ(client.Read(kVendor, 16, {2, 0xF2}).size(), 16u);
}

TEST(VirtualMouseServer, DroppedConnectionMidTransferAndReconnect) {
  VirtualMouseServer server;
  ASSERT_TRUE(server.Start());
  {
    TestClient client(server.Port());
    client.Handshake();
    server.DropClientAfter(2);
    client.Send(WriteFrame(kVendor, Request(0xF5, 0, 0)));
    client.Send(WriteActiveProfile(1));
    client.Send(WriteFrame(kVendor, Request(0xF3, StageIndexAddress(0), 1, {4})));
    EXPECT_TRUE(client.ServerClosed());
  }
  EXPECT_TRUE(server.WaitForClient(false, 2s));
  EXPECT_EQ(server.ReportsReceived(), 2u);
  EXPECT_EQ(server.ReadMemory(0x02C, 1)[0], 1);
  EXPECT_EQ(server.ReadMemory(StageIndexAddress(0), 1)[0], 0) << "sent after the drop";
  EXPECT_FALSE(server.ClientConnected());

  // Reconnecting: the collections appear again and the mouse starts afresh.
  TestClient again(server.Port());
  again.Handshake();
  EXPECT_EQ(server.ConnectionCount(), 2u);
  EXPECT_FALSE(server.WithMouse([](VirtualMouse& mouse) { return mouse.InTransfer(); }));

  // A drop on demand.
  server.DropClient();
  EXPECT_TRUE(again.ServerClosed());
}

TEST(VirtualMouseServer, OneClientAtATime) {
  VirtualMouseServer server;
  ASSERT_TRUE(server.Start());
  TestClient first(server.Port());
  first.Handshake();
  TestClient second(server.Port());
  EXPECT_TRUE(second.ServerClosed());
  first.Send(WriteActiveProfile(2));
  EXPECT_TRUE(
      server.WaitUntil([](const VirtualMouse& mouse) { return mouse.MemoryByte(0x02C) == 2; }, 2s));
}

TEST(VirtualMouseServer, BusyOrIdleTheClientKeepsTheLinkToItself) {
  VirtualMouseServer server;
  ASSERT_TRUE(server.Start());
  TestClient first(server.Port());
  first.Handshake();
  // The server receives straight from the client; a second one is turned away all the same,
  // while the first keeps it busy.
  TestClient second(server.Port());
  for (int i = 0; i < 200; ++i) first.Send(WriteActiveProfile(static_cast<uint8_t>(i % 4)));
  EXPECT_TRUE(second.ServerClosed());
  EXPECT_TRUE(server.WaitForReports(200, 5s));
  // Idle for longer than the server waits in one receive: the connection still answers.
  std::this_thread::sleep_for(300ms);
  first.Send(WriteFrame(kVendor, Request(0xF2, 0x02C, 2)));
  const auto answer = first.Read(kVendor, 16, {2, 0xF2});
  ASSERT_EQ(answer.size(), 16u);
  EXPECT_EQ(answer[8], 3);  // the last profile written, 199 % 4
}

TEST(TcpSocket, AReceiveThatTimesOutLeavesTheConnectionUsable) {
  TcpSocket listener = TcpSocket::ListenLoopback(0);
  ASSERT_TRUE(listener.Valid());
  TcpSocket client = TcpSocket::ConnectLoopback(listener.LocalPort());
  TcpSocket served = listener.Accept();
  ASSERT_TRUE(client.Valid() && served.Valid());
  served.SetReceiveTimeout(20ms);
  uint8_t buffer[8] = {};
  EXPECT_EQ(served.Receive(buffer), TcpSocket::kTimedOut);
  const uint8_t bytes[3] = {1, 2, 3};
  ASSERT_TRUE(client.SendAll(bytes));
  ASSERT_TRUE(served.WaitReadable(2s));
  EXPECT_EQ(served.Receive(buffer), 3);
  EXPECT_EQ(buffer[2], 3);
  client.Close();
  EXPECT_EQ(served.Receive(buffer), 0);  // a close is no timeout
}

// With a receive timeout the Windows socket waits on an event and does not block: a send larger
// than the buffers still waits for the reader, and a shut-down still wakes a waiting receive.
TEST(TcpSocket, ASocketWithAReceiveTimeoutSendsAllAndWakesOnShutDown) {
  TcpSocket listener = TcpSocket::ListenLoopback(0);
  TcpSocket client = TcpSocket::ConnectLoopback(listener.LocalPort());
  TcpSocket served = listener.Accept();
  ASSERT_TRUE(client.Valid() && served.Valid());
  served.SetReceiveTimeout(10s);
  const std::vector<uint8_t> large(4 << 20, 7);
  bool sent = false;
  std::thread sender([&] {
    sent = served.SendAll(large);
    if (!sent) served.Shutdown();  // the reader stops waiting
  });
  std::this_thread::sleep_for(100ms);  // the buffers fill up meanwhile
  std::vector<uint8_t> buffer(64 * 1024);
  std::size_t received = 0;
  for (long n; received < large.size() && (n = client.Receive(buffer)) > 0;) {
    received += static_cast<std::size_t>(n);
  }
  sender.join();
  EXPECT_TRUE(sent);
  EXPECT_EQ(received, large.size());

  std::thread stopper([&] {
    std::this_thread::sleep_for(50ms);
    served.Shutdown();
  });
  const long n = served.Receive(buffer);
  stopper.join();
  EXPECT_NE(n, TcpSocket::kTimedOut);
  EXPECT_LE(n, 0);
}

TEST(VirtualMouseServer, PortInUseIsReportedAndStopEndsTheLink) {
  VirtualMouseServer server;
  ASSERT_TRUE(server.Start());
  VirtualMouseServer clash(VirtualMouseServer::Options{server.Port(), true, {}});
  EXPECT_FALSE(clash.Start());

  TestClient client(server.Port());
  client.Handshake();
  server.Stop();
  EXPECT_TRUE(client.ServerClosed());
  EXPECT_FALSE(TcpSocket::ConnectLoopback(server.Port()).Valid());
}

}  // namespace
