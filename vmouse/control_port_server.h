#pragma once
// A loopback port on which scripts send the vmouse program's line commands: one command per
// line, answered by its output followed by a line holding a single ".". One connection at a
// time; the next waits until the current one closes.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "vmouse/mouse_console.h"
#include "vmouse/tcp_socket.h"

class ControlPortServer {
 public:
  using Handler = std::function<ConsoleReply(std::string_view line)>;

  explicit ControlPortServer(Handler handler);
  ~ControlPortServer();
  ControlPortServer(const ControlPortServer&) = delete;
  ControlPortServer& operator=(const ControlPortServer&) = delete;

  // Listens on 127.0.0.1:port (0: any free port); false when it cannot.
  bool Start(uint16_t port);
  void Stop();
  uint16_t Port() const { return m_port; }

 private:
  void Run();
  void Serve(TcpSocket& client);

  Handler m_handler;
  TcpSocket m_listener;
  uint16_t m_port = 0;
  std::thread m_thread;
  std::atomic<bool> m_stop{false};
};

// The client side: sends one command to the control port of a vmouse on this machine and reads
// its whole answer. True when it answered, and not with an error.
bool SendControlCommand(uint16_t port, const std::string& command);
