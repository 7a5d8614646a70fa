#pragma once
// A TCP socket on the loopback interface: POSIX sockets on Linux, Winsock on Windows. The only
// platform-specific part of the virtual mouse.
//
// Threads: one thread may receive while another sends or calls Shutdown; only the owner closes.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

class TcpSocket {
 public:
  TcpSocket() = default;
  ~TcpSocket();
  TcpSocket(TcpSocket&& other) noexcept;
  TcpSocket& operator=(TcpSocket&& other) noexcept;
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  // Listens on 127.0.0.1:port (0: any free port); invalid when the port cannot be bound.
  static TcpSocket ListenLoopback(uint16_t port);
  // Connects to 127.0.0.1:port; invalid on failure.
  static TcpSocket ConnectLoopback(uint16_t port);

  bool Valid() const { return m_handle != kInvalid; }
  uint16_t LocalPort() const;

  // Takes the next pending connection; invalid on failure.
  TcpSocket Accept() const;
  // Sends everything; false when the connection failed (or a send stalled for seconds).
  bool SendAll(std::span<const uint8_t> bytes) const;
  // Up to buffer.size() bytes; 0 when the peer closed, -1 on error, kTimedOut when a receive
  // timeout is set and nothing came in time.
  long Receive(std::span<uint8_t> buffer) const;
  static constexpr long kTimedOut = -2;
  // Bounds how long Receive blocks (0: for ever); a timed-out receive leaves the socket usable.
  // On Windows the socket then waits for data on an event of its own (and is non-blocking):
  // under Wine a blocking receive is woken by a kernel call-back, which costs more.
  void SetReceiveTimeout(std::chrono::milliseconds timeout);
  // True when a Receive (or Accept) would not block, the peer's close included.
  bool WaitReadable(std::chrono::milliseconds timeout) const;
  // Ends both directions; a thread blocked in Receive wakes up with 0 or -1.
  void Shutdown() const;
  void Close();

 private:
  friend int WaitAnyReadable(std::span<const TcpSocket* const> sockets,
                             std::chrono::milliseconds timeout);
  static constexpr std::intptr_t kInvalid = -1;
  explicit TcpSocket(std::intptr_t handle) : m_handle(handle) {}

  std::intptr_t m_handle = kInvalid;
  // Windows, once a receive timeout is set: the event the socket sets when data or its close
  // arrived, and the timeout.
  std::intptr_t m_readEvent = 0;
  long m_receiveTimeoutMs = 0;
};

// Index of the first of these sockets that is readable, or -1 after the timeout.
int WaitAnyReadable(std::span<const TcpSocket* const> sockets, std::chrono::milliseconds timeout);
