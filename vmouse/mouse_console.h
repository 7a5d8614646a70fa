#pragma once
// The line commands of the vmouse program, shared by its prompt and its control port:
// help, status, attach, detach, dump [profile N | raw], press N, profile N, stage N,
// lighting N, rate N, log [on | off | N], delay N, drop, poke ADDR BYTE..., factory, quit.

#include <functional>
#include <mutex>
#include <string>
#include <string_view>

class VirtualMouseServer;

struct ConsoleReply {
  bool Ok = true;
  std::string Text;  // lines ending in '\n', or empty
  bool Quit = false;
};

class MouseConsole {
 public:
  // `liveLog` receives each new log line while "log on" is in force (on the link's thread).
  MouseConsole(VirtualMouseServer& server, std::function<void(const std::string&)> liveLog);

  // Thread-safe: the prompt and the control port may run commands at the same time.
  ConsoleReply Execute(std::string_view line);

  static const char* HelpText();

 private:
  ConsoleReply Run(std::string_view command, std::string_view argument);

  VirtualMouseServer& m_server;
  std::function<void(const std::string&)> m_liveLog;
  std::mutex m_mutex;
};
