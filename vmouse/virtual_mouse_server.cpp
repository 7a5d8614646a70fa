#include "vmouse/virtual_mouse_server.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::chrono::milliseconds kPollInterval{50};  // how soon Stop() is noticed

}  // namespace

VirtualMouseServer::VirtualMouseServer() : VirtualMouseServer(Options{}) {}

VirtualMouseServer::VirtualMouseServer(Options options)
    : m_options(options), m_attached(options.Attached) {
  if (options.FactorySettings) m_mouse.LoadFactorySettings();
}

VirtualMouseServer::~VirtualMouseServer() {
  Stop();
}

bool VirtualMouseServer::Start() {
  if (m_thread.joinable()) return true;
  m_listener = TcpSocket::ListenLoopback(m_options.Port);
  if (!m_listener.Valid()) return false;
  m_port = m_listener.LocalPort();
  m_stop = false;
  m_thread = std::thread(&VirtualMouseServer::Run, this);
  return true;
}

void VirtualMouseServer::Stop() {
  if (!m_thread.joinable()) return;
  m_stop = true;
  m_thread.join();
  m_listener.Close();
}

void VirtualMouseServer::Run() {
  std::vector<uint8_t> buffer(64 * 1024);
  auto listenerLooked = std::chrono::steady_clock::now();
  while (!m_stop) {
    if (DropRequested()) {
      CloseClient("dropped");
      continue;
    }
    if (!m_client.Valid()) {
      if (m_listener.WaitReadable(kPollInterval)) AcceptClient();
      continue;
    }
    // The client's frames are received straight away: a wait for readability before each
    // receive would cost a second wake-up per frame. The receive times out so that Stop() and
    // a second client are still noticed.
    const long n = m_client.Receive(buffer);
    if (n != TcpSocket::kTimedOut && !DropRequested()) {
      if (n <= 0) {
        CloseClient("closed by the client");
        continue;
      }
      ServeReceived(std::span(buffer.data(), static_cast<std::size_t>(n)));
    }
    const auto now = std::chrono::steady_clock::now();
    if (m_client.Valid() && (n == TcpSocket::kTimedOut || now - listenerLooked >= kPollInterval)) {
      listenerLooked = now;
      // The client first: its close must be seen before a new client is taken or turned away.
      const TcpSocket* sockets[2] = {&m_client, &m_listener};
      if (WaitAnyReadable(sockets, std::chrono::milliseconds{0}) == 1) AcceptClient();
    }
  }
  CloseClient("server stopped");
}

bool VirtualMouseServer::DropRequested() const {
  std::lock_guard lock(m_mutex);
  return m_dropRequested;
}

void VirtualMouseServer::AcceptClient() {
  TcpSocket client = m_listener.Accept();
  if (!client.Valid()) return;
  std::lock_guard lock(m_mutex);
  if (m_client.Valid()) {
    m_mouse.AddLogLine("link: a second client was turned away");
    return;  // closed as `client` goes
  }
  client.SetReceiveTimeout(kPollInterval);
  m_client = std::move(client);
  m_reader = LinkFrameReader{};
  m_helloDone = false;
  m_mouse.AddLogLine("link: client connected");
}

void VirtualMouseServer::ServeReceived(std::span<const uint8_t> bytes) {
  m_reader.Feed(bytes);
  while (auto frame = m_reader.Next()) {
    if (!HandleFrame(*frame)) {
      CloseClient("unexpected or malformed frame");
      return;
    }
    std::lock_guard lock(m_mutex);
    if (m_dropRequested) return;  // the loop closes it
  }
  if (m_reader.Failed()) CloseClient("malformed frame");
}

bool VirtualMouseServer::HandleFrame(const LinkFrame& frame) {
  if (!m_helloDone) {
    if (!IsHelloFrame(frame)) return false;
    std::lock_guard lock(m_mutex);
    m_helloDone = true;
    ++m_connections;
    m_mouse.AddLogLine("link: HELLO");
    SendLocked(DeviceFrame(device_map::kVendorId, device_map::kProductId));
    if (m_attached) {
      m_mouse.PowerUp();  // for this client the mouse is plugged in now
      SendCollectionsLocked(true);
    }
    m_changed.notify_all();
    return true;
  }
  if (frame.Type != LinkFrameType::Write && frame.Type != LinkFrameType::Read) return false;

  std::chrono::microseconds delay;
  {
    std::lock_guard lock(m_mutex);
    delay = m_options.ReportDelay;
  }
  if (delay.count() > 0) std::this_thread::sleep_for(delay);

  if (frame.Type == LinkFrameType::Write) {
    const auto write = ParseReportFrame(frame);
    if (!write) return false;
    std::lock_guard lock(m_mutex);
    if (m_attached) {
      m_mouse.HandleOutputReport(write->Collection, write->Report);
    } else {
      m_mouse.AddLogLine("link: report ignored, the mouse is detached");
    }
    CountReportLocked();
    return true;
  }
  const auto read = ParseReadFrame(frame);
  if (!read) return false;
  std::lock_guard lock(m_mutex);
  std::vector<uint8_t> answer;
  if (m_attached) {
    answer = m_mouse.AnswerRead(read->Collection, read->Length, read->Preset);
  } else {
    // An absent mouse answers nothing: the preset buffer comes back as it was.
    answer.assign(read->Length, 0);
    std::copy(read->Preset.begin(), read->Preset.end(), answer.begin());
    m_mouse.AddLogLine("link: read while detached, preset and zeros");
  }
  SendLocked(AnswerFrame(answer));
  CountReportLocked();
  return true;
}

void VirtualMouseServer::CloseClient(const char* why) {
  std::lock_guard lock(m_mutex);
  if (m_client.Valid()) {
    m_client.Shutdown();
    m_client.Close();
    m_mouse.AddLogLine(std::string("link: connection closed, ") + why);
  }
  m_reader = LinkFrameReader{};
  m_helloDone = false;
  m_dropRequested = false;
  m_dropAfter.reset();
  m_changed.notify_all();
}

void VirtualMouseServer::SendLocked(const std::vector<uint8_t>& frame) {
  if (!m_client.Valid() || !m_helloDone || m_dropRequested) return;
  if (!m_client.SendAll(frame)) {
    m_dropRequested = true;
    m_client.Shutdown();
  }
}

void VirtualMouseServer::SendCollectionsLocked(bool open) {
  for (const auto& collection : VirtualMouse::kCollections) {
    SendLocked(open ? OpenFrame(collection.Id, collection.UsagePage, collection.Usage)
                    : CloseFrame(collection.Id));
  }
}

void VirtualMouseServer::CountReportLocked() {
  ++m_reports;
  if (m_dropAfter && --*m_dropAfter == 0) {
    m_dropAfter.reset();
    m_dropRequested = true;
    m_client.Shutdown();
  }
  m_changed.notify_all();
}

void VirtualMouseServer::Attach() {
  std::lock_guard lock(m_mutex);
  if (m_attached) return;
  m_attached = true;
  m_mouse.PowerUp();
  m_mouse.AddLogLine("link: attached");
  SendCollectionsLocked(true);
  m_changed.notify_all();
}

void VirtualMouseServer::Detach() {
  std::lock_guard lock(m_mutex);
  if (!m_attached) return;
  m_attached = false;
  m_mouse.AddLogLine("link: detached");
  SendCollectionsLocked(false);
  m_changed.notify_all();
}

bool VirtualMouseServer::Attached() const {
  std::lock_guard lock(m_mutex);
  return m_attached;
}

bool VirtualMouseServer::ClientConnected() const {
  std::lock_guard lock(m_mutex);
  return ClientConnectedLocked();
}

bool VirtualMouseServer::ClientConnectedLocked() const {
  return m_helloDone && m_client.Valid() && !m_dropRequested;
}

unsigned VirtualMouseServer::ConnectionCount() const {
  std::lock_guard lock(m_mutex);
  return m_connections;
}

void VirtualMouseServer::DropClient() {
  std::lock_guard lock(m_mutex);
  if (!m_client.Valid()) return;
  m_dropRequested = true;
  m_client.Shutdown();  // wakes the link thread, which closes it
}

void VirtualMouseServer::DropClientAfter(std::size_t reports) {
  if (reports == 0) {
    DropClient();
    return;
  }
  std::lock_guard lock(m_mutex);
  m_dropAfter = reports;
}

void VirtualMouseServer::SetReportDelay(std::chrono::microseconds delay) {
  std::lock_guard lock(m_mutex);
  m_options.ReportDelay = std::max(delay, std::chrono::microseconds{0});
}

std::chrono::microseconds VirtualMouseServer::ReportDelay() const {
  std::lock_guard lock(m_mutex);
  return m_options.ReportDelay;
}

MouseActionResult VirtualMouseServer::Act(
    const std::function<MouseActionResult(VirtualMouse&)>& action) {
  std::lock_guard lock(m_mutex);
  MouseActionResult result = action(m_mouse);
  if (!result.Reports.empty()) {
    if (!m_attached || !m_helloDone) {
      m_mouse.AddLogLine("link: no client or detached, input reports not sent");
    }
    if (m_attached) {
      for (const auto& input : result.Reports)
        SendLocked(InputFrame(input.Collection, input.Report));
    }
  }
  m_changed.notify_all();
  return result;
}

MouseActionResult VirtualMouseServer::PressButton(int button) {
  return Act([&](VirtualMouse& mouse) { return mouse.PressButton(button); });
}
MouseActionResult VirtualMouseServer::SwitchProfile(int profile) {
  return Act([&](VirtualMouse& mouse) { return mouse.SwitchProfile(profile); });
}
MouseActionResult VirtualMouseServer::SwitchStage(int stage) {
  return Act([&](VirtualMouse& mouse) { return mouse.SwitchStage(stage); });
}
MouseActionResult VirtualMouseServer::SwitchLightingMode(int mode) {
  return Act([&](VirtualMouse& mouse) { return mouse.SwitchLightingMode(mode); });
}
MouseActionResult VirtualMouseServer::SwitchPollingRate(int code) {
  return Act([&](VirtualMouse& mouse) { return mouse.SwitchPollingRate(code); });
}

std::vector<uint8_t> VirtualMouseServer::Memory() const {
  std::lock_guard lock(m_mutex);
  return {m_mouse.Memory().begin(), m_mouse.Memory().end()};
}

std::vector<uint8_t> VirtualMouseServer::ReadMemory(uint32_t address, std::size_t length) const {
  std::lock_guard lock(m_mutex);
  return m_mouse.ReadMemory(address, length);
}

std::vector<std::string> VirtualMouseServer::Log() const {
  std::lock_guard lock(m_mutex);
  return m_mouse.Log();
}

std::size_t VirtualMouseServer::ReportsReceived() const {
  std::lock_guard lock(m_mutex);
  return m_reports;
}

void VirtualMouseServer::SetLogListener(std::function<void(const std::string&)> listener) {
  std::lock_guard lock(m_mutex);
  m_mouse.SetLogListener(std::move(listener));
}

bool VirtualMouseServer::WaitForReports(std::size_t count, std::chrono::milliseconds timeout) {
  std::unique_lock lock(m_mutex);
  return m_changed.wait_for(lock, timeout, [&] { return m_reports >= count; });
}

bool VirtualMouseServer::WaitForClient(bool connected, std::chrono::milliseconds timeout) {
  std::unique_lock lock(m_mutex);
  return m_changed.wait_for(lock, timeout, [&] { return ClientConnectedLocked() == connected; });
}

bool VirtualMouseServer::WaitUntil(const std::function<bool(const VirtualMouse&)>& condition,
                                   std::chrono::milliseconds timeout) {
  std::unique_lock lock(m_mutex);
  return m_changed.wait_for(lock, timeout, [&] { return condition(m_mouse); });
}
