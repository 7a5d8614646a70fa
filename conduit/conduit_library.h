#pragma once
// The state behind the exported functions: what to watch, where to notify, the input callback
// and the transport in use. One object per process.
#include <windows.h>

#include <memory>
#include <mutex>

#include "conduit/conduit.h"
#include "conduit/conduit_event_sink.h"
#include "conduit/conduit_transport.h"
#include "conduit/conduit_watch.h"
#include "conduit/input_dispatcher.h"
#include "conduit/notification_window.h"

class ConduitLibrary : public ConduitEventSink {
 public:
  static ConduitLibrary& Instance();

  BOOL Configure(const ConduitOpenParams* params);
  BOOL SetInputCallback(ConduitInputCallback callback);
  // Starts watching with a new transport (replacing an earlier one); the environment variable
  // VIREO_VMOUSE=HOST:PORT selects the TCP link to a virtual mouse on this machine (a loopback
  // address only), otherwise the Windows HID API is used. A null window only stops watching.
  // Nonzero when the mouse is present now; when it is absent the library keeps watching and
  // notifies its arrival.
  BOOL RegisterWindow(HWND window, UINT message);
  BOOL WriteReport(uint32_t deviceId, const uint8_t* report, uint32_t length);
  BOOL ReadReport(uint32_t deviceId, uint8_t* buffer, uint32_t length);
  BOOL RequestReport(uint32_t deviceId, const uint8_t* report, uint32_t reportLength,
                     uint8_t* buffer, uint32_t length);

  void CollectionOpened(uint32_t deviceId, uint32_t deviceKey, uint16_t usagePage,
                        uint16_t usage) override;
  void CollectionClosed(uint32_t deviceId, uint32_t deviceKey, uint16_t usagePage,
                        uint16_t usage) override;
  void InputReport(uint32_t deviceId, const uint8_t* report, uint32_t length) override;

 private:
  ConduitLibrary() = default;
  std::shared_ptr<ConduitTransport> Transport();

  std::mutex m_mutex;  // configuration, notifier and transport
  ConduitWatch m_watch;
  std::unique_ptr<NotificationWindow> m_notifier;
  std::shared_ptr<ConduitTransport> m_transport;
  InputDispatcher m_inputs;
};
