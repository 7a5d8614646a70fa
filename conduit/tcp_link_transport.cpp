#include "conduit/tcp_link_transport.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// A server that is not there is tried again after 1 s, then less often, up to every 4 s: an
// agent left running without its virtual mouse should not keep waking up every second.
constexpr DWORD kRetryMilliseconds = 1000;
constexpr DWORD kLongestRetryMilliseconds = 4000;
constexpr DWORD kConnectMilliseconds = 1000;
constexpr ULONGLONG kHandshakeMilliseconds = 2000;  // HELLO until DEVICE
constexpr ULONGLONG kOpenWaitMilliseconds = 500;    // DEVICE until the collections are open
constexpr DWORD kFirstLookMilliseconds = 4000;
constexpr ULONGLONG kReadTimeoutMilliseconds = 1000;
constexpr long kSendStallMilliseconds = 1000;
// After a read the network thread keeps off the socket this long: reads come in runs, and its
// waking up on every answer would only contend with the reading thread for the same frames.
constexpr ULONGLONG kReadRunMilliseconds = 30;

timeval Timeout(long milliseconds) {
  timeval time{};
  time.tv_sec = milliseconds / 1000;
  time.tv_usec = (milliseconds % 1000) * 1000;
  return time;
}

// "HOST:PORT", the host possibly in brackets ("[::1]:47011").
bool SplitAddress(const std::string& address, std::string& host, std::string& port) {
  const auto colon = address.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == address.size()) return false;
  host = address.substr(0, colon);
  port = address.substr(colon + 1);
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  return true;
}

bool IsLoopback(const sockaddr* address) {
  if (address->sa_family == AF_INET) {
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(address);
    return (ntohl(v4->sin_addr.s_addr) >> 24) == 127;
  }
  if (address->sa_family == AF_INET6) {
    const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
    static const in6_addr loopback = IN6ADDR_LOOPBACK_INIT;
    return std::memcmp(&v6->sin6_addr, &loopback, sizeof loopback) == 0;
  }
  return false;
}

uint16_t ReadU16(const std::vector<uint8_t>& bytes, std::size_t at) {
  return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

}  // namespace

bool TcpLinkTransport::IsLoopbackAddress(const std::string& address) {
  std::string host, port;
  if (!SplitAddress(address, host, port)) return false;
  std::string lower;
  for (char c : host) lower.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c));
  if (lower == "localhost") return true;
  in_addr v4{};
  if (inet_pton(AF_INET, host.c_str(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
  in6_addr v6{};
  static const in6_addr loopback = IN6ADDR_LOOPBACK_INIT;
  return inet_pton(AF_INET6, host.c_str(), &v6) == 1 &&
         std::memcmp(&v6, &loopback, sizeof loopback) == 0;
}

TcpLinkTransport::TcpLinkTransport(std::string address, const ConduitWatch& watch,
                                   ConduitEventSink& sink)
    : m_address(std::move(address)), m_watch(watch), m_sink(sink) {}

TcpLinkTransport::~TcpLinkTransport() {
  Stop();
}

bool TcpLinkTransport::Start() {
  m_stopEvent.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  m_firstLookEvent.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  m_inputQueuedEvent.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  // Auto-reset: the wait that wakes on it resets it, which saves Wine a server call per read.
  m_socketEvent.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  if (!m_stopEvent || !m_firstLookEvent || !m_inputQueuedEvent || !m_socketEvent) return false;
  if (!m_thread.Start([this] { Run(); })) return false;
  WaitForSingleObject(m_firstLookEvent.get(), kFirstLookMilliseconds);
  std::lock_guard lock(m_mutex);
  return !m_open.empty();
}

void TcpLinkTransport::Stop() {
  if (m_stopEvent) SetEvent(m_stopEvent.get());
  m_thread.Join();
}

bool TcpLinkTransport::Stopping() const {
  return WaitForSingleObject(m_stopEvent.get(), 0) == WAIT_OBJECT_0;
}

void TcpLinkTransport::Run() {
  WSADATA data;
  const bool winsock = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  DWORD retry = kRetryMilliseconds;
  while (winsock && !Stopping()) {
    UniqueSocket socket = Connect();
    DWORD wait = kRetryMilliseconds;
    if (!socket) {
      wait = retry;
      retry = std::min(retry * 2, kLongestRetryMilliseconds);
    } else {
      retry = kRetryMilliseconds;
      {
        std::lock_guard receiveLock(m_receiveMutex);
        std::lock_guard sendLock(m_sendMutex);
        m_socket = std::move(socket);
        ++m_deviceKey;
      }
      m_deviceMatched = false;
      m_connectedAt = GetTickCount64();
      Serve();
      Drop(!Stopping());
    }
    SetEvent(m_firstLookEvent.get());
    if (WaitForSingleObject(m_stopEvent.get(), wait) == WAIT_OBJECT_0) break;
  }
  SetEvent(m_firstLookEvent.get());
  if (winsock) WSACleanup();
}

UniqueSocket TcpLinkTransport::Connect() const {
  std::string host, port;
  if (!SplitAddress(m_address, host, port)) return {};
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* list = nullptr;
  if (getaddrinfo(host.c_str(), port.c_str(), &hints, &list) != 0) return {};
  const UniqueAddressInfo found(list);

  for (addrinfo* entry = found.get(); entry; entry = entry->ai_next) {
    // Whatever a name resolves to, the link stays on this machine.
    if (!IsLoopback(entry->ai_addr)) continue;
    UniqueSocket candidate(socket(entry->ai_family, entry->ai_socktype, entry->ai_protocol));
    if (!candidate) continue;
    u_long nonBlocking = 1;
    ioctlsocket(candidate.get(), FIONBIO, &nonBlocking);
    // Small frames go out at once: a READ must not wait for the WRITE before it to be acked.
    BOOL noDelay = TRUE;
    setsockopt(candidate.get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof(noDelay));
    bool connected =
        connect(candidate.get(), entry->ai_addr, static_cast<int>(entry->ai_addrlen)) == 0;
    if (!connected && WSAGetLastError() == WSAEWOULDBLOCK) {
      fd_set writable, failed;
      FD_ZERO(&writable);
      FD_ZERO(&failed);
      FD_SET(candidate.get(), &writable);
      FD_SET(candidate.get(), &failed);
      timeval timeout = Timeout(kConnectMilliseconds);
      if (select(0, nullptr, &writable, &failed, &timeout) > 0 &&
          FD_ISSET(candidate.get(), &writable)) {
        int error = 0;
        int size = sizeof(error);
        connected = getsockopt(candidate.get(), SOL_SOCKET, SO_ERROR,
                               reinterpret_cast<char*>(&error), &size) == 0 &&
                    error == 0;
      }
    }
    if (connected) return candidate;
  }
  return {};
}

void TcpLinkTransport::Serve() {
  {
    std::lock_guard sendLock(m_sendMutex);
    if (!SendLocked(HelloFrame())) return;
  }
  {
    std::lock_guard receiveLock(m_receiveMutex);
    m_reader = LinkFrameReader();
    m_receiveBroken = false;
  }
  // The thread sleeps until the socket has something, a read queued an input, a stop, or the
  // next deadline of the handshake: an idle link wakes nobody.
  if (WSAEventSelect(m_socket.get(), m_socketEvent.get(), FD_READ | FD_CLOSE) != 0) return;
  bool firstLookDone = false;
  while (!Stopping()) {
    const ULONGLONG quietUntil = m_readRunUntil.load();
    const ULONGLONG before = GetTickCount64();
    if (before < quietUntil) {
      // A read run: its reads receive whatever arrives; inputs they queued go out afterwards.
      if (WaitForSingleObject(m_stopEvent.get(), static_cast<DWORD>(quietUntil - before)) ==
          WAIT_OBJECT_0)
        return;
      continue;
    }
    {
      // Only this thread replaces or closes the socket. A read in progress receives its answer
      // itself; this waits until it is done. Nothing waiting is no failure.
      std::lock_guard receiveLock(m_receiveMutex);
      if (m_receiveBroken) return;
      if (!ReceiveAvailable()) return;
    }
    DeliverInputs();
    const ULONGLONG now = GetTickCount64();
    DWORD timeout = INFINITE;
    if (!m_deviceMatched) {
      if (now - m_connectedAt > kHandshakeMilliseconds) return;
      timeout = static_cast<DWORD>(m_connectedAt + kHandshakeMilliseconds + 1 - now);
    } else if (!firstLookDone) {
      bool allOpen;
      {
        std::lock_guard lock(m_mutex);
        allOpen = m_open.size() >= m_watch.CollectionCount;
      }
      if (allOpen || now - m_matchedAt > kOpenWaitMilliseconds) {
        SetEvent(m_firstLookEvent.get());
        firstLookDone = true;
      } else {
        timeout = static_cast<DWORD>(m_matchedAt + kOpenWaitMilliseconds + 1 - now);
      }
    }
    HANDLE waits[] = {m_stopEvent.get(), m_socketEvent.get(), m_inputQueuedEvent.get()};
    const DWORD woke = WaitForMultipleObjects(3, waits, FALSE, timeout);
    if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) return;
    if (woke == WAIT_OBJECT_0 + 1) {
      // The event wakes one waiter only: when it was the answer a read waits for, pass it on.
      std::lock_guard lock(m_mutex);
      if (m_waitingFor != 0) SetEvent(m_socketEvent.get());
    }
  }
}

bool TcpLinkTransport::ReceiveAvailable() {
  uint8_t buffer[16384];
  for (;;) {
    const int received = recv(m_socket.get(), reinterpret_cast<char*>(buffer), sizeof(buffer), 0);
    if (received == 0) break;  // the server closed
    if (received < 0) {
      if (WSAGetLastError() == WSAEWOULDBLOCK) return true;
      break;
    }
    m_reader.Feed(std::span<const uint8_t>(buffer, static_cast<std::size_t>(received)));
    while (auto frame = m_reader.Next()) {
      if (!HandleFrame(*frame)) {
        m_receiveBroken = true;
        return false;
      }
    }
    if (m_reader.Failed()) break;  // bad length or unknown type
    if (received < static_cast<int>(sizeof(buffer))) return true;
  }
  m_receiveBroken = true;
  return false;
}

void TcpLinkTransport::DeliverInputs() {
  for (;;) {
    std::pair<uint32_t, std::vector<uint8_t>> input;
    {
      std::lock_guard lock(m_mutex);
      if (m_inputs.empty()) return;
      input = std::move(m_inputs.front());
      m_inputs.pop_front();
    }
    m_sink.InputReport(input.first, input.second.data(),
                       static_cast<uint32_t>(input.second.size()));
  }
}

bool TcpLinkTransport::HandleFrame(const LinkFrame& frame) {
  if (!m_deviceMatched) {
    // The server's first frame answers HELLO; another device counts as no mouse at all.
    const auto device = ParseDeviceFrame(frame);
    if (!device || !m_watch.IsDevice(device->VendorId, device->ProductId)) return false;
    m_deviceMatched = true;
    m_matchedAt = GetTickCount64();
    return true;
  }
  switch (frame.Type) {
    case LinkFrameType::Device:
      return ParseDeviceFrame(frame).has_value();  // repeated: nothing new
    case LinkFrameType::Open: {
      const auto open = ParseOpenFrame(frame);
      if (!open) return false;
      if (!m_watch.Watches(open->UsagePage, open->Usage)) return true;
      const uint32_t id = DeviceIdOf(open->Collection);
      std::lock_guard lock(m_mutex);
      if (m_open.count(id)) return true;
      if (m_open.empty()) {
        // A fresh plug-in: answers the server owed to reads before the unplug are forgotten.
        m_answersReceived = m_readsSent;
      }
      m_open[id] = {open->UsagePage, open->Usage, m_deviceKey};
      m_sink.CollectionOpened(id, m_deviceKey, open->UsagePage, open->Usage);
      return true;
    }
    case LinkFrameType::Close: {
      const auto collection = ParseCloseFrame(frame);
      if (!collection) return false;
      const uint32_t id = DeviceIdOf(*collection);
      std::lock_guard lock(m_mutex);
      const auto found = m_open.find(id);
      if (found == m_open.end()) return true;
      const OpenCollection closed = found->second;
      m_open.erase(found);
      if (m_waitingFor != 0 && m_waitingDevice == id) {
        m_waitingFor = 0;
        m_answerReady = true;
        m_answer.clear();
      }
      m_sink.CollectionClosed(id, closed.DeviceKey, closed.UsagePage, closed.Usage);
      return true;
    }
    case LinkFrameType::Answer: {
      std::lock_guard lock(m_mutex);
      const uint64_t index = ++m_answersReceived;
      if (m_waitingFor != 0 && index == m_waitingFor) {
        m_waitingFor = 0;
        m_answerReady = true;
        m_answer = frame.Payload;
      }
      return true;
    }
    case LinkFrameType::Input: {
      if (frame.Payload.size() < 2) return false;
      const uint32_t id = DeviceIdOf(ReadU16(frame.Payload, 0));
      // An empty report has no report id: nothing to hand on.
      if (frame.Payload.size() == 2) return true;
      std::lock_guard lock(m_mutex);
      // Handed on by the network thread, even when a read received it.
      if (m_open.count(id)) {
        m_inputs.emplace_back(id,
                              std::vector<uint8_t>(frame.Payload.begin() + 2, frame.Payload.end()));
        SetEvent(m_inputQueuedEvent.get());
      }
      return true;
    }
    default:
      return false;  // frames of the client's direction
  }
}

void TcpLinkTransport::Drop(bool report) {
  std::lock_guard receiveLock(m_receiveMutex);
  std::lock_guard sendLock(m_sendMutex);
  m_socket.reset();
  std::lock_guard lock(m_mutex);
  if (report) {
    for (const auto& [id, collection] : m_open) {
      m_sink.CollectionClosed(id, collection.DeviceKey, collection.UsagePage, collection.Usage);
    }
  }
  m_open.clear();
  m_inputs.clear();
  m_readsSent = 0;
  m_answersReceived = 0;
  if (m_waitingFor != 0) {
    m_waitingFor = 0;
    m_answerReady = true;
    m_answer.clear();
  }
}

bool TcpLinkTransport::SendLocked(const std::vector<uint8_t>& bytes) {
  if (!m_socket) return false;
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const int result = send(m_socket.get(), reinterpret_cast<const char*>(bytes.data() + sent),
                            static_cast<int>(bytes.size() - sent), 0);
    if (result > 0) {
      sent += static_cast<std::size_t>(result);
      continue;
    }
    if (result == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
      fd_set writable;
      FD_ZERO(&writable);
      FD_SET(m_socket.get(), &writable);
      timeval timeout = Timeout(kSendStallMilliseconds);
      if (select(0, nullptr, &writable, nullptr, &timeout) > 0) continue;
    }
    // A server that takes nothing any more is as good as gone; the network thread sees the
    // shut-down socket and closes the collections. A local shut-down sets no socket event.
    shutdown(m_socket.get(), SD_BOTH);
    SetEvent(m_socketEvent.get());
    return false;
  }
  return true;
}

namespace {

bool IsWritable(const uint8_t* report, uint32_t length) {
  return report && length != 0 && length <= kLinkMaxFrame - 3;
}

bool IsReadable(const uint8_t* buffer, uint32_t length) {
  return buffer && length >= 2 && length <= 0xFFFF && length <= kLinkMaxFrame - 5;
}

}  // namespace

bool TcpLinkTransport::Write(uint32_t deviceId, const uint8_t* report, uint32_t length) {
  if (!IsWritable(report, length)) return false;
  std::lock_guard sendLock(m_sendMutex);
  {
    std::lock_guard lock(m_mutex);
    if (!m_open.count(deviceId)) return false;
  }
  return SendLocked(
      WriteFrame(static_cast<uint16_t>(deviceId), std::span<const uint8_t>(report, length)));
}

bool TcpLinkTransport::Read(uint32_t deviceId, uint8_t* buffer, uint32_t length) {
  if (!IsReadable(buffer, length)) {
    if (buffer) ClearAnswer(buffer, length);
    return false;
  }
  return SendAndRead(deviceId, {}, buffer, length);
}

bool TcpLinkTransport::Request(uint32_t deviceId, const uint8_t* report, uint32_t reportLength,
                               uint8_t* buffer, uint32_t length) {
  // What cannot go out in one send goes (or fails) as a write and a read would.
  if (!IsWritable(report, reportLength) || !IsReadable(buffer, length)) {
    return ConduitTransport::Request(deviceId, report, reportLength, buffer, length);
  }
  return SendAndRead(deviceId, std::span<const uint8_t>(report, reportLength), buffer, length);
}

bool TcpLinkTransport::SendAndRead(uint32_t deviceId, std::span<const uint8_t> report,
                                   uint8_t* buffer, uint32_t length) {
  std::lock_guard readLock(m_readMutex);
  m_readRunUntil = GetTickCount64() + kReadRunMilliseconds;
  {
    std::lock_guard sendLock(m_sendMutex);
    {
      std::lock_guard lock(m_mutex);
      if (!m_open.count(deviceId)) {
        ClearAnswer(buffer, length);
        return false;
      }
      m_waitingFor = ++m_readsSent;
      m_waitingDevice = deviceId;
      m_answerReady = false;
      m_answer.clear();
    }
    // The whole buffer goes along as preset; the server needs at least bytes 0 and 1. Under
    // Wine every send costs two server calls: a request's WRITE and READ share one.
    std::vector<uint8_t> frames;
    if (!report.empty()) frames = WriteFrame(static_cast<uint16_t>(deviceId), report);
    const std::vector<uint8_t> read =
        ReadFrame(static_cast<uint16_t>(deviceId), static_cast<uint16_t>(length),
                  std::span<const uint8_t>(buffer, length));
    frames.insert(frames.end(), read.begin(), read.end());
    if (!SendLocked(frames)) {
      std::lock_guard lock(m_mutex);
      m_waitingFor = 0;
      ClearAnswer(buffer, length);
      return false;
    }
  }
  // The answer is received on this thread: a hand-over from the network thread would cost
  // two thread switches per read. It waits for the socket's event, not in select(), which
  // under Wine costs a poll request and a wake-up by call-back, about twice the time.
  const ULONGLONG deadline = GetTickCount64() + kReadTimeoutMilliseconds;
  {
    std::lock_guard receiveLock(m_receiveMutex);
    HANDLE waits[] = {m_socketEvent.get(), m_stopEvent.get()};
    for (;;) {
      {
        std::lock_guard lock(m_mutex);
        if (m_answerReady) break;
      }
      const ULONGLONG now = GetTickCount64();
      if (now >= deadline || !m_socket || m_receiveBroken) break;
      const DWORD woke =
          WaitForMultipleObjects(2, waits, FALSE, static_cast<DWORD>(deadline - now));
      if (woke != WAIT_OBJECT_0) break;
      if (!ReceiveAvailable()) {
        // The network thread, woken, sees the broken stream and closes the collections.
        shutdown(m_socket.get(), SD_BOTH);
        SetEvent(m_socketEvent.get());
        break;
      }
    }
  }
  std::unique_lock lock(m_mutex);
  m_waitingFor = 0;  // a late answer to this read is dropped by its index
  // The server answers with the asked length; a shorter answer is no answer.
  if (!m_answerReady || m_answer.size() < length) {
    ClearAnswer(buffer, length);
    return false;
  }
  std::memcpy(buffer, m_answer.data(), length);
  return true;
}
