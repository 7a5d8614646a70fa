#pragma once
// The virtual mouse behind the TCP link of Conduit.dll: listens on 127.0.0.1, serves one
// client at a time, answers HELLO with DEVICE and announces the two collections while the
// mouse is attached, carries output reports and reads to the mouse, and sends the mouse's
// input reports as INPUT frames.
//
// Everything here is thread-safe: the link runs on a thread of its own, and a test, a console
// or a control port drives the mouse through these methods from any thread.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "contract/link_frame.h"
#include "vmouse/tcp_socket.h"
#include "vmouse/virtual_mouse.h"

class VirtualMouseServer {
 public:
  struct Options {
    uint16_t Port = 0;  // 0: any free port, see Port()
    bool Attached = true;
    std::chrono::microseconds ReportDelay{0};  // before each report, like USB timing
    bool FactorySettings = false;              // start with factory settings, not blank
  };

  VirtualMouseServer();
  explicit VirtualMouseServer(Options options);
  ~VirtualMouseServer();
  VirtualMouseServer(const VirtualMouseServer&) = delete;
  VirtualMouseServer& operator=(const VirtualMouseServer&) = delete;

  // Binds the port and starts the link thread; false when the port cannot be bound.
  bool Start();
  // Closes the connection and the port; the mouse keeps its memory.
  void Stop();
  uint16_t Port() const { return m_port; }

  // Plugging in and out: OPEN / CLOSE of both collections to a connected client.
  void Attach();
  void Detach();
  bool Attached() const;

  // The client, once it has said HELLO.
  bool ClientConnected() const;
  unsigned ConnectionCount() const;  // handshakes so far
  // Drops the client's connection now (an unplugged cable); it may connect again.
  void DropClient();
  // Drops the connection right after the link has handled this many more WRITE/READ frames.
  void DropClientAfter(std::size_t reports);
  void SetReportDelay(std::chrono::microseconds delay);
  std::chrono::microseconds ReportDelay() const;

  // On-mouse actions; their input reports go to the client while attached and connected.
  MouseActionResult PressButton(int button);
  MouseActionResult SwitchProfile(int profile);
  MouseActionResult SwitchStage(int stage);
  MouseActionResult SwitchLightingMode(int mode);
  MouseActionResult SwitchPollingRate(int code);

  // Copies of the mouse's state.
  std::vector<uint8_t> Memory() const;
  std::vector<uint8_t> ReadMemory(uint32_t address, std::size_t length) const;
  std::vector<std::string> Log() const;
  // WRITE and READ frames the link has handled (while attached or not).
  std::size_t ReportsReceived() const;
  // Anything else: runs `f` on the mouse under the lock, e.g. to preload memory or read state.
  template <class F>
  auto WithMouse(F&& f) {
    std::lock_guard lock(m_mutex);
    return f(m_mouse);
  }
  // Each new log line, called with the mouse locked: the listener must not call back here.
  void SetLogListener(std::function<void(const std::string&)> listener);

  // Waiting helpers for tests; false after the timeout.
  bool WaitForReports(std::size_t count, std::chrono::milliseconds timeout);
  bool WaitForClient(bool connected, std::chrono::milliseconds timeout);
  bool WaitUntil(const std::function<bool(const VirtualMouse&)>& condition,
                 std::chrono::milliseconds timeout);

 private:
  void Run();
  void AcceptClient();
  void ServeReceived(std::span<const uint8_t> bytes);
  bool DropRequested() const;
  // False when the frame is malformed or not expected: the connection is then closed.
  bool HandleFrame(const LinkFrame& frame);
  void CloseClient(const char* why);  // link thread only
  MouseActionResult Act(const std::function<MouseActionResult(VirtualMouse&)>& action);
  // The callers hold m_mutex.
  void SendLocked(const std::vector<uint8_t>& frame);
  void SendCollectionsLocked(bool open);
  void CountReportLocked();
  bool ClientConnectedLocked() const;

  Options m_options;
  uint16_t m_port = 0;
  TcpSocket m_listener;
  std::thread m_thread;
  std::atomic<bool> m_stop{false};

  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  VirtualMouse m_mouse;
  bool m_attached = true;
  // Replaced and closed only by the link thread, under m_mutex; read there without it.
  TcpSocket m_client;
  LinkFrameReader m_reader;
  bool m_helloDone = false;
  bool m_dropRequested = false;
  std::optional<std::size_t> m_dropAfter;
  unsigned m_connections = 0;
  std::size_t m_reports = 0;
};
