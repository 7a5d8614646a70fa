// The vmouse program's commands: argument parsing, the console, and the control port.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "vmouse/control_port_server.h"
#include "vmouse/mouse_console.h"
#include "vmouse/virtual_mouse_server.h"
#include "vmouse/vmouse_program.h"

using namespace device_map;

namespace {

using namespace std::chrono_literals;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(VmouseArguments, OptionsAndTheirErrors) {
  std::string error;
  auto options = ParseVmouseArguments({}, error);
  ASSERT_TRUE(options);
  EXPECT_EQ(options->Port, kDefaultVmousePort);
  EXPECT_FALSE(options->Detached);
  EXPECT_FALSE(options->ControlPort);

  options = ParseVmouseArguments(
      {"--port", "0", "--delay-us", "1500", "--detached", "--control-port", "47012", "--factory"},
      error);
  ASSERT_TRUE(options);
  EXPECT_TRUE(options->Factory);
  EXPECT_EQ(options->Port, 0);
  EXPECT_EQ(options->DelayMicroseconds, 1500u);
  EXPECT_TRUE(options->Detached);
  EXPECT_EQ(options->ControlPort, std::optional<uint16_t>(47012));

  for (const auto& bad : std::vector<std::vector<std::string>>{{"--port"},
                                                               {"--port", "65536"},
                                                               {"--port", "-1"},
                                                               {"--port", "12x"},
                                                               {"--delay-us", "10000001"},
                                                               {"--colour"},
                                                               {"47011"}}) {
    error.clear();
    EXPECT_FALSE(ParseVmouseArguments(bad, error)) << bad[0];
    EXPECT_FALSE(error.empty());
  }
}

class MouseConsoleTest : public ::testing::Test {
 protected:
  VirtualMouseServer m_server;
  std::vector<std::string> m_live;
  MouseConsole m_console{m_server, [this](const std::string& line) { m_live.push_back(line); }};
};

TEST_F(MouseConsoleTest, ActionsReachTheMouseAndShowTheirReports) {
  auto reply = m_console.Execute("profile 2");
  EXPECT_TRUE(reply.Ok);
  EXPECT_TRUE(Contains(reply.Text, "08 01 02")) << reply.Text;
  reply = m_console.Execute("  stage\t 3 \r\n");
  EXPECT_TRUE(reply.Ok) << reply.Text;
  reply = m_console.Execute("lighting 4");
  EXPECT_TRUE(reply.Ok);
  reply = m_console.Execute("rate 1");
  EXPECT_TRUE(reply.Ok);
  m_server.WithMouse([](VirtualMouse& mouse) {
    EXPECT_EQ(mouse.ActiveProfile(), 2);
    EXPECT_EQ(mouse.ActiveStage(), 3);
    EXPECT_EQ(mouse.LightingMode(), 4);
    EXPECT_EQ(mouse.PollingRate(), 1);
  });
  reply = m_console.Execute("poke 0x1F2 8e 01 FF 11");  // button 0 of profile 2
  EXPECT_TRUE(Contains(reply.Text, "profile 2 button 0: 8E 01 FF 11 (PC function 0x11)"))
      << reply.Text;
  EXPECT_TRUE(m_console.Execute("poke 1417 AB").Ok) << "the last byte";
  EXPECT_EQ(m_server.ReadMemory(kMouseMemorySize - 1, 1)[0], 0xAB);
  reply = m_console.Execute("press 0");
  EXPECT_TRUE(Contains(reply.Text, "08 FF 11")) << reply.Text;
}

TEST_F(MouseConsoleTest, BadCommandsAndNumbersAreRefused) {
  for (const char* line :
       {"press", "press x", "press 10", "press -1", "profile 5", "profile 99999999999999999999",
        "stage 1.5", "lighting 8", "rate 3", "delay -1", "delay 99999999", "dump profile 5",
        "dump profile", "dump things", "log maybe", "bogus", "attach me?x"}) {
    const auto reply = m_console.Execute(line);
    if (std::string(line) == "attach me?x") {
      EXPECT_TRUE(reply.Ok) << "attach ignores what follows";
      continue;
    }
    EXPECT_FALSE(reply.Ok) << line;
    EXPECT_TRUE(Contains(reply.Text, "error")) << line;
  }
  m_server.WithMouse([](VirtualMouse& mouse) { EXPECT_EQ(mouse.ActiveProfile(), 0); });
  EXPECT_EQ(m_server.Memory(), std::vector<uint8_t>(kMouseMemorySize, 0)) << "no poke got through";
  const auto empty = m_console.Execute("   ");
  EXPECT_TRUE(empty.Ok);
  EXPECT_TRUE(empty.Text.empty());
  EXPECT_TRUE(m_console.Execute("quit").Quit);
  EXPECT_FALSE(m_console.Execute("help").Quit);
}

TEST_F(MouseConsoleTest, LinkControlsDumpsAndLog) {
  EXPECT_TRUE(m_console.Execute("detach").Ok);
  EXPECT_FALSE(m_server.Attached());
  EXPECT_TRUE(Contains(m_console.Execute("status").Text, "detached"));
  m_console.Execute("attach");
  EXPECT_TRUE(m_server.Attached());
  m_console.Execute("delay 250");
  EXPECT_EQ(m_server.ReportDelay(), 250us);

  m_server.WithMouse([](VirtualMouse& mouse) {
    mouse.WriteMemory(ButtonAddress(1, 9), std::vector<uint8_t>{0x8D, 0, 0, 0});
  });
  const auto profile = m_console.Execute("dump profile 1").Text;
  EXPECT_TRUE(Contains(profile, "button 9: 8D 00 00 00 (profile cycle)")) << profile;
  const auto all = m_console.Execute("dump").Text;
  for (int p = 0; p < kMouseProfileCount; ++p) {
    EXPECT_TRUE(Contains(all, "profile " + std::to_string(p) + "\n") ||
                Contains(all, "profile " + std::to_string(p) + " ("));
  }
  m_server.WithMouse([](VirtualMouse& mouse) {
    mouse.WriteMemory(MacroAreaAddress(19),
                      std::vector<uint8_t>{0x84, 0xE1, 0, 0x06, 0x0C, 0x01, 0x01, 0x04, 0, 0, 0, 0,
                                           0x84, 0x04, 0});
  });
  EXPECT_EQ(m_console.Execute("dump macro 19").Text,
            "macro area 19: 3 records\n  key 0xE1 down\n  delay 2680 ms\n  button 3 up\n");
  EXPECT_FALSE(m_console.Execute("dump macro 20").Ok);
  const auto raw = m_console.Execute("dump raw").Text;
  EXPECT_EQ(static_cast<std::size_t>(std::count(raw.begin(), raw.end(), '\n')),
            (kMouseMemorySize + 15) / 16);
  // Button 9 of profile 1 is at 0x19A.
  EXPECT_TRUE(Contains(raw, "\n0190: 00 00 00 00 00 00 00 00 00 00 8D 00 00 00 00 00\n")) << raw;

  // Live log while on, nothing after off; the stored log stays available.
  m_console.Execute("log on");
  m_console.Execute("stage 2");
  ASSERT_FALSE(m_live.empty());
  EXPECT_TRUE(Contains(m_live[0], "switched to stage 2"));
  const std::size_t seen = m_live.size();
  m_console.Execute("log off");
  m_console.Execute("stage 1");
  EXPECT_EQ(m_live.size(), seen);
  const auto last = m_console.Execute("log 2").Text;
  EXPECT_EQ(std::count(last.begin(), last.end(), '\n'), 2);
  EXPECT_TRUE(Contains(last, "switched to stage 1"));
}

int DotLines(const std::string& text) {
  int dots = 0;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    if (text.compare(start, end - start, ".") == 0) ++dots;
  }
  return dots;
}

// Reads `count` answers, each ending in a line holding a single dot, from the control port.
std::string ReadAnswers(TcpSocket& socket, int count) {
  std::string text;
  char buffer[4096];
  while (DotLines(text) < count && socket.WaitReadable(2s)) {
    const long n = socket.Receive(std::span(reinterpret_cast<uint8_t*>(buffer), sizeof buffer));
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  return text;
}

TEST_F(MouseConsoleTest, ControlPortRunsLinesAndAnswersEach) {
  ControlPortServer control([this](std::string_view line) { return m_console.Execute(line); });
  ASSERT_TRUE(control.Start(0));
  {
    TcpSocket socket = TcpSocket::ConnectLoopback(control.Port());
    ASSERT_TRUE(socket.Valid());
    const std::string lines = "profile 1\nbogus\n";
    ASSERT_TRUE(socket.SendAll({reinterpret_cast<const uint8_t*>(lines.data()), lines.size()}));
    const auto answers = ReadAnswers(socket, 2);
    EXPECT_TRUE(Contains(answers, "switched to profile 1 (")) << answers;
    EXPECT_TRUE(Contains(answers, "\n.\nerror: unknown command")) << answers;
  }
  {
    // The last line may come without its newline before the client closes its side.
    TcpSocket socket = TcpSocket::ConnectLoopback(control.Port());
    const std::string line = "stage 4";
    ASSERT_TRUE(socket.SendAll({reinterpret_cast<const uint8_t*>(line.data()), line.size()}));
    socket.Shutdown();
  }
  EXPECT_TRUE(
      m_server.WaitUntil([](const VirtualMouse& mouse) { return mouse.ActiveStage() == 4; }, 2s));
}

TEST_F(MouseConsoleTest, ControlCommandsFromAClientTellAnswersFromErrors) {
  ControlPortServer control([this](std::string_view line) { return m_console.Execute(line); });
  ASSERT_TRUE(control.Start(0));
  EXPECT_TRUE(SendControlCommand(control.Port(), "profile 2"));
  EXPECT_EQ(m_server.WithMouse([](VirtualMouse& mouse) { return mouse.ActiveProfile(); }), 2);
  EXPECT_FALSE(SendControlCommand(control.Port(), "bogus"));
  control.Stop();
  EXPECT_FALSE(SendControlCommand(control.Port(), "status")) << "nobody listens any more";
}

}  // namespace
