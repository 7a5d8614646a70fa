#include "vmouse/vmouse_program.h"

#include <charconv>
#include <chrono>
#include <condition_variable>
#include <iostream>
#include <mutex>
#include <string_view>
#include <thread>

#include "vmouse/control_port_server.h"
#include "vmouse/mouse_console.h"
#include "vmouse/virtual_mouse_server.h"

namespace {

std::optional<unsigned long> Unsigned(std::string_view text, unsigned long max) {
  unsigned long value = 0;
  const auto* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value > max) return std::nullopt;
  return value;
}

// Output of the prompt, the control port and the live log, one line group at a time.
class Output {
 public:
  void Write(const std::string& text) {
    std::lock_guard lock(m_mutex);
    std::cout << text << std::flush;
  }

 private:
  std::mutex m_mutex;
};

class QuitSignal {
 public:
  void Raise() {
    std::lock_guard lock(m_mutex);
    m_raised = true;
    m_changed.notify_all();
  }
  void Wait() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_raised; });
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_raised = false;
};

}  // namespace

const char* VmouseUsage() {
  return "usage: vmouse [--port N] [--delay-us N] [--detached] [--factory] [--control-port N]\n"
         "  --port N          link port on 127.0.0.1 (default 47011; 0 = any free port)\n"
         "  --delay-us N      wait N microseconds before each report, like USB timing\n"
         "  --detached        start unplugged (\"attach\" plugs it in)\n"
         "  --factory         start with factory settings instead of a blank memory\n"
         "  --control-port N  also take the prompt's commands on 127.0.0.1:N (0 = any)\n";
}

std::optional<VmouseOptions> ParseVmouseArguments(const std::vector<std::string>& arguments,
                                                  std::string& error) {
  VmouseOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& name = arguments[i];
    if (name == "--help" || name == "-h") {
      options.Help = true;
      continue;
    }
    if (name == "--detached") {
      options.Detached = true;
      continue;
    }
    if (name == "--factory") {
      options.Factory = true;
      continue;
    }
    if (name != "--port" && name != "--delay-us" && name != "--control-port") {
      error = "unknown option " + name;
      return std::nullopt;
    }
    if (i + 1 >= arguments.size()) {
      error = name + " needs a number";
      return std::nullopt;
    }
    const std::string& value = arguments[++i];
    const auto number = Unsigned(value, name == "--delay-us" ? 10'000'000 : 65535);
    if (!number) {
      error = name + ": bad number " + value;
      return std::nullopt;
    }
    if (name == "--port") options.Port = static_cast<uint16_t>(*number);
    if (name == "--control-port") options.ControlPort = static_cast<uint16_t>(*number);
    if (name == "--delay-us") options.DelayMicroseconds = static_cast<uint32_t>(*number);
  }
  return options;
}

int RunVmouse(const std::vector<std::string>& arguments) {
  std::string error;
  const auto options = ParseVmouseArguments(arguments, error);
  if (!options) {
    std::cerr << "vmouse: " << error << "\n" << VmouseUsage();
    return 2;
  }
  if (options->Help) {
    std::cout << VmouseUsage();
    return 0;
  }

  VirtualMouseServer server(VirtualMouseServer::Options{
      options->Port, !options->Detached, std::chrono::microseconds(options->DelayMicroseconds),
      options->Factory});
  if (!server.Start()) {
    std::cerr << "vmouse: cannot listen on 127.0.0.1:" << options->Port << "\n";
    return 1;
  }
  Output output;
  QuitSignal quit;
  MouseConsole console(server,
                       [&output](const std::string& line) { output.Write("log: " + line + "\n"); });
  const auto execute = [&](std::string_view line) {
    ConsoleReply reply = console.Execute(line);
    if (reply.Quit) quit.Raise();
    return reply;
  };

  output.Write("vmouse: listening on 127.0.0.1:" + std::to_string(server.Port()) + " (" +
               (options->Detached ? "detached" : "attached") + ")\n");
  ControlPortServer control(execute);
  if (options->ControlPort) {
    if (!control.Start(*options->ControlPort)) {
      std::cerr << "vmouse: cannot listen on control port 127.0.0.1:" << *options->ControlPort
                << "\n";
      return 1;
    }
    output.Write("vmouse: control port 127.0.0.1:" + std::to_string(control.Port()) + "\n");
  }
  output.Write("vmouse: type help for the commands\n");

  // The prompt reads on a thread of its own, so that a "quit" from the control port ends the
  // program while the prompt waits; at the end of stdin (a background run) the mouse simply
  // keeps serving.
  std::thread prompt([&] {
    std::string line;
    output.Write("vmouse> ");
    while (std::getline(std::cin, line)) {
      const ConsoleReply reply = console.Execute(line);
      output.Write(reply.Text);
      if (reply.Quit) {
        quit.Raise();  // the last thing this thread touches
        return;
      }
      output.Write("vmouse> ");
    }
  });
  prompt.detach();
  quit.Wait();
  control.Stop();
  server.Stop();
  return 0;
}
