#include "conduit/conduit_library.h"

#include <string>

#include "conduit/conduit_log.h"
#include "conduit/hid_transport.h"
#include "conduit/tcp_link_transport.h"

namespace {

// The value of VIREO_VMOUSE in the process's environment, empty when unset.
std::string VirtualMouseAddress() {
  wchar_t value[256];
  const DWORD length = GetEnvironmentVariableW(L"VIREO_VMOUSE", value, 256);
  if (length == 0 || length >= 256) return {};
  std::string address;
  for (DWORD i = 0; i < length; ++i) {
    if (value[i] > 0x7E || value[i] < 0x20) return {};  // host names and ports are ASCII
    address.push_back(static_cast<char>(value[i]));
  }
  return address;
}

}  // namespace

ConduitLibrary& ConduitLibrary::Instance() {
  // Never destroyed: threads of the library may still report while the process ends.
  static ConduitLibrary* library = new ConduitLibrary();
  return *library;
}

BOOL ConduitLibrary::Configure(const ConduitOpenParams* params) {
  if (!params) return FALSE;
  std::lock_guard lock(m_mutex);
  m_watch = ConduitWatch::FromParams(*params);
  return TRUE;
}

BOOL ConduitLibrary::SetInputCallback(ConduitInputCallback callback) {
  m_inputs.SetCallback(callback);
  return TRUE;
}

BOOL ConduitLibrary::RegisterWindow(HWND window, UINT message) {
  std::lock_guard lock(m_mutex);
  std::shared_ptr<ConduitTransport> previous = std::move(m_transport);
  if (previous) previous->Stop();
  previous.reset();
  m_inputs.Stop();
  m_notifier.reset();
  if (!window || !IsWindow(window)) return FALSE;

  auto notifier = std::make_unique<NotificationWindow>(window, message);
  if (!notifier->Created()) return FALSE;
  m_notifier = std::move(notifier);

  m_inputs.Start();
  std::string address = VirtualMouseAddress();
  if (!address.empty() && !TcpLinkTransport::IsLoopbackAddress(address)) {
    // The link carries the mouse's settings in clear: never to another machine.
    ConduitLog("VIREO_VMOUSE=%s ignored: not a loopback address", address.c_str());
    address.clear();
  }
  std::shared_ptr<ConduitTransport> transport;
  if (!address.empty()) {
    transport = std::make_shared<TcpLinkTransport>(address, m_watch, *this);
  } else {
    transport = std::make_shared<HidTransport>(m_watch, *this);
  }
  const bool present = transport->Start();
  m_transport = std::move(transport);
  return present ? TRUE : FALSE;
}

std::shared_ptr<ConduitTransport> ConduitLibrary::Transport() {
  std::lock_guard lock(m_mutex);
  return m_transport;
}

BOOL ConduitLibrary::WriteReport(uint32_t deviceId, const uint8_t* report, uint32_t length) {
  const std::shared_ptr<ConduitTransport> transport = Transport();
  return transport && transport->Write(deviceId, report, length) ? TRUE : FALSE;
}

BOOL ConduitLibrary::ReadReport(uint32_t deviceId, uint8_t* buffer, uint32_t length) {
  const std::shared_ptr<ConduitTransport> transport = Transport();
  if (!transport) {
    if (buffer) ClearAnswer(buffer, length);
    return FALSE;
  }
  return transport->Read(deviceId, buffer, length) ? TRUE : FALSE;
}

BOOL ConduitLibrary::RequestReport(uint32_t deviceId, const uint8_t* report, uint32_t reportLength,
                                   uint8_t* buffer, uint32_t length) {
  const std::shared_ptr<ConduitTransport> transport = Transport();
  if (!transport) {
    if (buffer) ClearAnswer(buffer, length);
    return FALSE;
  }
  return transport->Request(deviceId, report, reportLength, buffer, length) ? TRUE : FALSE;
}

// The transports call these on their threads while they run; the notifier outlives them
// because RegisterWindow stops a transport before replacing the notifier.
void ConduitLibrary::CollectionOpened(uint32_t deviceId, uint32_t deviceKey, uint16_t usagePage,
                                      uint16_t) {
  if (m_notifier) m_notifier->Post(kConduitCollectionOpened, deviceId, deviceKey, usagePage);
}

void ConduitLibrary::CollectionClosed(uint32_t deviceId, uint32_t deviceKey, uint16_t usagePage,
                                      uint16_t) {
  if (m_notifier) m_notifier->Post(kConduitCollectionClosed, deviceId, deviceKey, usagePage);
}

// On a transport's thread: queued for the input thread, so the transport reads on at once.
void ConduitLibrary::InputReport(uint32_t deviceId, const uint8_t* report, uint32_t length) {
  if (report && length > 0) m_inputs.Queue(deviceId, report, length);
}
