#include "vmouse/mouse_console.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <optional>
#include <utility>
#include <vector>

#include "vmouse/mouse_memory_map.h"
#include "vmouse/virtual_mouse_server.h"

using namespace device_map;

namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// A whole decimal number, nothing else.
std::optional<long long> Number(std::string_view text) {
  long long value = 0;
  const auto* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

// A hexadecimal number such as "0DA" or "0x0DA".
std::optional<unsigned long> Hex(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    text.remove_prefix(2);
  unsigned long value = 0;
  const auto* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value, 16);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

ConsoleReply Error(std::string text) {
  return {false, "error: " + text + "\n", false};
}

ConsoleReply FromAction(const MouseActionResult& result) {
  if (!result.Accepted) return Error(result.Text);
  std::string text = result.Text + "\n";
  for (const auto& input : result.Reports) {
    text += "  input on collection " + std::to_string(input.Collection) + ":";
    static const char* kHex = "0123456789ABCDEF";
    for (uint8_t b : input.Report) {
      text += ' ';
      text += kHex[b >> 4];
      text += kHex[b & 15];
    }
    text += '\n';
  }
  return {true, text, false};
}

}  // namespace

MouseConsole::MouseConsole(VirtualMouseServer& server,
                           std::function<void(const std::string&)> liveLog)
    : m_server(server), m_liveLog(std::move(liveLog)) {}

const char* MouseConsole::HelpText() {
  return "commands:\n"
         "  help                 this text\n"
         "  status               link and mouse state\n"
         "  attach | detach      plug the mouse in or out\n"
         "  dump                 all profiles, readable\n"
         "  dump profile N       profile N (0-4), readable\n"
         "  dump macro N         macro area N (0-19), one record a line\n"
         "  dump raw             the whole memory in hex\n"
         "  press N              press button N (0-9) of the active profile\n"
         "  profile N            switch to profile N (0-4) on the mouse\n"
         "  stage N              switch to resolution stage N (0-4)\n"
         "  lighting N           switch to lighting mode N (0-7)\n"
         "  rate N               switch to polling-rate code N (8, 4, 2, 1)\n"
         "  log on | log off     print every report as it arrives, or stop\n"
         "  log [N]              the last N log lines (default 20)\n"
         "  delay N              wait N microseconds before each report\n"
         "  drop                 drop the client's connection (an unplugged cable)\n"
         "  poke ADDR BYTE...     write bytes into the memory (hex), e.g. poke 0DA 8E 01 FF 12\n"
         "  factory              reset the memory to factory settings\n"
         "  quit                 end the program\n";
}

ConsoleReply MouseConsole::Execute(std::string_view line) {
  std::lock_guard lock(m_mutex);
  line = Trim(line);
  if (line.empty()) return {};
  const auto space = line.find_first_of(" \t");
  const std::string_view command = line.substr(0, space);
  const std::string_view argument =
      space == std::string_view::npos ? std::string_view{} : Trim(line.substr(space));
  return Run(command, argument);
}

ConsoleReply MouseConsole::Run(std::string_view command, std::string_view argument) {
  const auto number = Number(argument);
  const auto needsNumber = [&](std::string_view what) -> std::optional<ConsoleReply> {
    if (number) return std::nullopt;
    return Error(std::string(command) + " needs " + std::string(what));
  };

  if (command == "help" || command == "?") return {true, HelpText(), false};
  if (command == "quit" || command == "exit") return {true, "bye\n", true};
  if (command == "attach") {
    m_server.Attach();
    return {true, "attached\n", false};
  }
  if (command == "detach") {
    m_server.Detach();
    return {true, "detached\n", false};
  }
  if (command == "poke") {
    // poke ADDRESS BYTE...: all hexadecimal, inside the memory.
    std::vector<unsigned long> values;
    std::string_view rest = argument;
    while (!rest.empty()) {
      const auto gap = rest.find_first_of(" \t");
      const auto value = Hex(rest.substr(0, gap));
      if (!value) return Error("poke takes hexadecimal numbers: poke 0DA 8E 01 FF 12");
      values.push_back(*value);
      rest = gap == std::string_view::npos ? std::string_view{} : Trim(rest.substr(gap));
    }
    if (values.size() < 2) return Error("poke needs an address and at least one byte");
    std::vector<uint8_t> bytes;
    for (std::size_t i = 1; i < values.size(); ++i) {
      if (values[i] > 0xFF) return Error("poke: a byte is 00 to FF");
      bytes.push_back(static_cast<uint8_t>(values[i]));
    }
    if (values[0] + bytes.size() > kMouseMemorySize) return Error("poke: outside the memory");
    const auto address = static_cast<uint32_t>(values[0]);
    return {true, m_server.WithMouse([&](VirtualMouse& mouse) {
              mouse.WriteMemory(address, bytes);
              return "poked: " + DescribeMemoryWrite(address, bytes) + "\n";
            }),
            false};
  }
  if (command == "factory") {
    m_server.WithMouse([](VirtualMouse& mouse) { mouse.LoadFactorySettings(); });
    return {true, "factory settings loaded\n", false};
  }
  if (command == "drop") {
    m_server.DropClient();
    return {true, "connection dropped\n", false};
  }
  if (command == "status") {
    std::string text = "port " + std::to_string(m_server.Port()) + ", " +
                       (m_server.Attached() ? "attached" : "detached") + ", " +
                       (m_server.ClientConnected() ? "client connected" : "no client") + ", " +
                       std::to_string(m_server.ReportsReceived()) + " reports, delay " +
                       std::to_string(m_server.ReportDelay().count()) + " us\n";
    text += m_server.WithMouse([](VirtualMouse& mouse) {
      return "profile " + std::to_string(mouse.ActiveProfile()) + ", stage " +
             std::to_string(mouse.ActiveStage()) + ", polling rate " +
             std::to_string(mouse.PollingRate()) + ", lighting mode " +
             std::to_string(mouse.LightingMode()) + (mouse.InTransfer() ? ", in a transfer" : "") +
             "\n";
    });
    return {true, text, false};
  }
  if (command == "dump") {
    const auto memory = m_server.Memory();
    if (argument.empty()) {
      std::string text;
      for (int p = 0; p < kMouseProfileCount; ++p) text += DescribeProfile(memory, p);
      return {true, text, false};
    }
    if (argument == "raw") return {true, HexDump(memory), false};
    if (argument.substr(0, 7) == "profile") {
      const auto profile = Number(Trim(argument.substr(7)));
      if (!profile || *profile < 0 || *profile >= kMouseProfileCount) {
        return Error("dump profile needs a profile 0-4");
      }
      return {true, DescribeProfile(memory, static_cast<int>(*profile)), false};
    }
    if (argument.substr(0, 5) == "macro") {
      const auto area = Number(Trim(argument.substr(5)));
      if (!area || *area < 0 || *area >= kMouseMacroAreaCount) {
        return Error("dump macro needs a macro area 0-19");
      }
      return {true, DescribeMacroArea(memory, static_cast<int>(*area)), false};
    }
    return Error("dump takes nothing, \"profile N\", \"macro N\" or \"raw\"");
  }
  if (command == "log") {
    if (argument == "on") {
      m_server.SetLogListener(m_liveLog);
      return {true, "log on\n", false};
    }
    if (argument == "off") {
      m_server.SetLogListener(nullptr);
      return {true, "log off\n", false};
    }
    if (!argument.empty() && (!number || *number < 0)) return Error("log takes on, off or a count");
    const std::size_t count = argument.empty() ? 20 : static_cast<std::size_t>(*number);
    const auto log = m_server.Log();
    std::string text;
    for (std::size_t i = log.size() > count ? log.size() - count : 0; i < log.size(); ++i) {
      text += log[i] + "\n";
    }
    return {true, text, false};
  }
  if (command == "delay") {
    if (auto error = needsNumber("microseconds")) return *error;
    if (*number < 0 || *number > 10'000'000) return Error("delay is 0 to 10000000 microseconds");
    m_server.SetReportDelay(std::chrono::microseconds(*number));
    return {true, "delay " + std::to_string(*number) + " us\n", false};
  }
  // Out-of-range numbers are refused by the mouse itself, with its own message.
  const auto small = [&] { return static_cast<int>(std::max(-1LL, std::min(*number, 1000LL))); };
  if (command == "press") {
    if (auto error = needsNumber("a button 0-9")) return *error;
    return FromAction(m_server.PressButton(small()));
  }
  if (command == "profile") {
    if (auto error = needsNumber("a profile 0-4")) return *error;
    return FromAction(m_server.SwitchProfile(small()));
  }
  if (command == "stage") {
    if (auto error = needsNumber("a stage 0-4")) return *error;
    return FromAction(m_server.SwitchStage(small()));
  }
  if (command == "lighting") {
    if (auto error = needsNumber("a mode 0-7")) return *error;
    return FromAction(m_server.SwitchLightingMode(small()));
  }
  if (command == "rate") {
    if (auto error = needsNumber("a polling-rate code 8, 4, 2 or 1")) return *error;
    return FromAction(m_server.SwitchPollingRate(small()));
  }
  return Error("unknown command \"" + std::string(command) + "\" (try help)");
}
