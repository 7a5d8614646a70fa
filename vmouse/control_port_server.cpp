#include "vmouse/control_port_server.h"

#include <chrono>
#include <utility>
#include <vector>

namespace {

constexpr std::chrono::milliseconds kPollInterval{100};
constexpr std::size_t kMaxLine = 4096;  // longer lines are nobody's command

std::span<const uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

}  // namespace

ControlPortServer::ControlPortServer(Handler handler) : m_handler(std::move(handler)) {}

ControlPortServer::~ControlPortServer() {
  Stop();
}

bool ControlPortServer::Start(uint16_t port) {
  if (m_thread.joinable()) return true;
  m_listener = TcpSocket::ListenLoopback(port);
  if (!m_listener.Valid()) return false;
  m_port = m_listener.LocalPort();
  m_stop = false;
  m_thread = std::thread(&ControlPortServer::Run, this);
  return true;
}

void ControlPortServer::Stop() {
  if (!m_thread.joinable()) return;
  m_stop = true;
  m_thread.join();
  m_listener.Close();
}

void ControlPortServer::Run() {
  while (!m_stop) {
    if (!m_listener.WaitReadable(kPollInterval)) continue;
    TcpSocket client = m_listener.Accept();
    if (client.Valid()) Serve(client);
  }
}

void ControlPortServer::Serve(TcpSocket& client) {
  std::string pending;
  char buffer[1024];
  while (!m_stop) {
    if (!client.WaitReadable(kPollInterval)) continue;
    const long n = client.Receive(std::span(reinterpret_cast<uint8_t*>(buffer), sizeof buffer));
    if (n <= 0) {
      // A last command without its newline still counts ("printf 'press 3' | nc ...").
      if (n == 0 && !pending.empty()) client.SendAll(Bytes(m_handler(pending).Text + ".\n"));
      return;
    }
    pending.append(buffer, static_cast<std::size_t>(n));
    std::size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
      const std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      const ConsoleReply reply = m_handler(line);
      if (!client.SendAll(Bytes(reply.Text + ".\n")) || reply.Quit) return;
    }
    if (pending.size() > kMaxLine) {
      client.SendAll(Bytes(std::string("error: line too long\n.\n")));
      return;
    }
  }
}

bool SendControlCommand(uint16_t port, const std::string& command) {
  TcpSocket control = TcpSocket::ConnectLoopback(port);
  const std::string line = command + "\n";
  if (!control.Valid() || !control.SendAll(Bytes(line))) return false;
  std::string answer;
  uint8_t buffer[512];
  // The answer ends with a line holding a single dot.
  while (answer.size() < 2 || answer.compare(answer.size() - 2, 2, ".\n") != 0) {
    if (!control.WaitReadable(std::chrono::seconds(5))) return false;
    const long n = control.Receive(buffer);
    if (n <= 0) return false;
    answer.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
  }
  return answer.rfind("error:", 0) != 0;
}
