#include "vmouse/tcp_socket.h"

#include <algorithm>
#include <thread>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
using NativeSocket = SOCKET;
using PollEntry = WSAPOLLFD;
constexpr int kSendFlags = 0;
constexpr int kShutdownBoth = SD_BOTH;

// Winsock is started once per process and left running until it ends.
void StartNetworking() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}
void CloseNative(NativeSocket s) {
  closesocket(s);
}
int PollNative(PollEntry* entries, std::size_t count, int timeoutMs) {
  return WSAPoll(entries, static_cast<ULONG>(count), timeoutMs);
}
void SetTimeout(NativeSocket s, int option, int ms) {
  const DWORD value = static_cast<DWORD>(ms);
  setsockopt(s, SOL_SOCKET, option, reinterpret_cast<const char*>(&value), sizeof value);
}
bool LastReceiveTimedOut() {
  return WSAGetLastError() == WSAETIMEDOUT;
}
#else
using NativeSocket = int;
using PollEntry = pollfd;
constexpr int kSendFlags = MSG_NOSIGNAL;  // a closed peer is an error, not a signal
constexpr int kShutdownBoth = SHUT_RDWR;

void StartNetworking() {}
void CloseNative(NativeSocket s) {
  close(s);
}
int PollNative(PollEntry* entries, std::size_t count, int timeoutMs) {
  return poll(entries, static_cast<nfds_t>(count), timeoutMs);
}
void SetTimeout(NativeSocket s, int option, int ms) {
  timeval value{ms / 1000, (ms % 1000) * 1000};
  setsockopt(s, SOL_SOCKET, option, &value, sizeof value);
}
bool LastReceiveTimedOut() {
  return errno == EAGAIN || errno == EWOULDBLOCK;
}
#endif

NativeSocket Native(std::intptr_t handle) {
  return static_cast<NativeSocket>(handle);
}

sockaddr_in LoopbackAddress(uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// Small request/answer frames: no waiting for more data to fill a segment. A peer that stops
// reading must not stall the sender for ever.
constexpr int kSendTimeoutMs = 5000;

void TuneConnection(NativeSocket s) {
  int on = 1;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  SetTimeout(s, SO_SNDTIMEO, kSendTimeoutMs);
}

}  // namespace

TcpSocket::~TcpSocket() {
  Close();
}

TcpSocket::TcpSocket(TcpSocket&& other) noexcept
    : m_handle(std::exchange(other.m_handle, kInvalid)),
      m_readEvent(std::exchange(other.m_readEvent, 0)),
      m_receiveTimeoutMs(other.m_receiveTimeoutMs) {}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
  if (this != &other) {
    Close();
    m_handle = std::exchange(other.m_handle, kInvalid);
    m_readEvent = std::exchange(other.m_readEvent, 0);
    m_receiveTimeoutMs = other.m_receiveTimeoutMs;
  }
  return *this;
}

TcpSocket TcpSocket::ListenLoopback(uint16_t port) {
  StartNetworking();
  const NativeSocket s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  TcpSocket result(static_cast<std::intptr_t>(s));
  if (!result.Valid()) return {};
#ifndef _WIN32
  // A restarted mouse can take its port again at once. (On Windows this option would let two
  // servers share a port, so it stays off there.)
  int on = 1;
  setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
#endif
  const sockaddr_in address = LoopbackAddress(port);
  if (bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return {};
  if (listen(s, 4) != 0) return {};
  return result;
}

TcpSocket TcpSocket::ConnectLoopback(uint16_t port) {
  StartNetworking();
  const NativeSocket s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  TcpSocket result(static_cast<std::intptr_t>(s));
  if (!result.Valid()) return {};
  const sockaddr_in address = LoopbackAddress(port);
  if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return {};
  TuneConnection(s);
  return result;
}

uint16_t TcpSocket::LocalPort() const {
  if (!Valid()) return 0;
  sockaddr_in address{};
  socklen_t size = sizeof address;
  if (getsockname(Native(m_handle), reinterpret_cast<sockaddr*>(&address), &size) != 0) return 0;
  return ntohs(address.sin_port);
}

TcpSocket TcpSocket::Accept() const {
  if (!Valid()) return {};
  const NativeSocket s = accept(Native(m_handle), nullptr, nullptr);
  TcpSocket result(static_cast<std::intptr_t>(s));
  if (result.Valid()) TuneConnection(s);
  return result;
}

bool TcpSocket::SendAll(std::span<const uint8_t> bytes) const {
  if (!Valid()) return false;
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 1 << 20));
    const auto n = send(Native(m_handle), reinterpret_cast<const char*>(bytes.data() + sent), chunk,
                        kSendFlags);
#ifdef _WIN32
    if (n < 0 && m_readEvent && WSAGetLastError() == WSAEWOULDBLOCK) {
      // Non-blocking since it waits on its event: a full send buffer is waited out as long as
      // the send timeout would have.
      WSAPOLLFD entry{Native(m_handle), POLLOUT, 0};
      if (WSAPoll(&entry, 1, kSendTimeoutMs) > 0 && !(entry.revents & (POLLERR | POLLHUP))) {
        continue;
      }
    }
#endif
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

long TcpSocket::Receive(std::span<uint8_t> buffer) const {
  if (!Valid()) return -1;
  const int size = static_cast<int>(std::min<std::size_t>(buffer.size(), 1 << 20));
#ifdef _WIN32
  if (m_readEvent) {
    const HANDLE event = reinterpret_cast<HANDLE>(m_readEvent);
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(m_receiveTimeoutMs);
    for (;;) {
      const ULONGLONG now = GetTickCount64();
      const DWORD wait = m_receiveTimeoutMs == 0
                             ? INFINITE
                             : static_cast<DWORD>(now < deadline ? deadline - now : 0);
      if (WaitForSingleObject(event, wait) != WAIT_OBJECT_0) return kTimedOut;
      // Reset only right before a receive: whatever arrives after it sets the event again.
      WSAResetEvent(event);
      const auto n = recv(Native(m_handle), reinterpret_cast<char*>(buffer.data()), size, 0);
      if (n >= 0) return static_cast<long>(n);
      if (WSAGetLastError() != WSAEWOULDBLOCK) return -1;
    }
  }
#endif
  const auto n = recv(Native(m_handle), reinterpret_cast<char*>(buffer.data()), size, 0);
  if (n >= 0) return static_cast<long>(n);
  return LastReceiveTimedOut() ? kTimedOut : -1;
}

void TcpSocket::SetReceiveTimeout(std::chrono::milliseconds timeout) {
  if (!Valid()) return;
#ifdef _WIN32
  if (!m_readEvent) {
    const WSAEVENT event = WSACreateEvent();
    if (event == WSA_INVALID_EVENT) return;
    if (WSAEventSelect(Native(m_handle), event, FD_READ | FD_CLOSE) != 0) {
      WSACloseEvent(event);
      return;
    }
    m_readEvent = reinterpret_cast<std::intptr_t>(event);
  }
  m_receiveTimeoutMs = static_cast<long>(timeout.count());
#else
  SetTimeout(Native(m_handle), SO_RCVTIMEO, static_cast<int>(timeout.count()));
#endif
}

bool TcpSocket::WaitReadable(std::chrono::milliseconds timeout) const {
  const TcpSocket* self = this;
  return WaitAnyReadable(std::span(&self, 1), timeout) == 0;
}

void TcpSocket::Shutdown() const {
  if (!Valid()) return;
  shutdown(Native(m_handle), kShutdownBoth);
#ifdef _WIN32
  // A local shut-down sets no socket event: the receiving thread is woken here.
  if (m_readEvent) WSASetEvent(reinterpret_cast<HANDLE>(m_readEvent));
#endif
}

void TcpSocket::Close() {
  if (Valid()) CloseNative(Native(std::exchange(m_handle, kInvalid)));
#ifdef _WIN32
  if (m_readEvent) WSACloseEvent(reinterpret_cast<HANDLE>(std::exchange(m_readEvent, 0)));
#endif
}

int WaitAnyReadable(std::span<const TcpSocket* const> sockets, std::chrono::milliseconds timeout) {
  std::vector<PollEntry> entries;
  std::vector<int> indices;
  for (std::size_t i = 0; i < sockets.size(); ++i) {
    if (sockets[i] == nullptr || !sockets[i]->Valid()) continue;
    PollEntry entry{};
    entry.fd = Native(sockets[i]->m_handle);
    entry.events = POLLIN;
    entries.push_back(entry);
    indices.push_back(static_cast<int>(i));
  }
  if (entries.empty()) {
    std::this_thread::sleep_for(timeout);
    return -1;
  }
  if (PollNative(entries.data(), entries.size(), static_cast<int>(timeout.count())) <= 0) {
    return -1;
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    // A closed or failed connection is "readable": the next Receive reports it.
    if (entries[i].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) return indices[i];
  }
  return -1;
}
