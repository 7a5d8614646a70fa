#pragma once
// The Windows HID API: finds the configured device's collections among the HID interfaces,
// opens them, and follows arrivals and removals through device-interface notifications on a
// message-only window of its own thread.
//
// Only interfaces whose path names the configured vendor and product are looked at. An
// interface that cannot be opened, or whose reader failed while it is still present, is tried
// again after about 0.5 s, 2 s and 5 s, then at the next device change. Collection ids stay
// with a path for the life of the library; the collections of one physical device share a
// device key (its container id, else its path without the collection part).
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "conduit/conduit_event_sink.h"
#include "conduit/conduit_transport.h"
#include "conduit/conduit_watch.h"
#include "conduit/hid_api.h"
#include "conduit/hid_collection.h"
#include "conduit/library_thread.h"
#include "win/unique_handle.h"

class HidTransport : public ConduitTransport {
 public:
  HidTransport(const ConduitWatch& watch, ConduitEventSink& sink);
  ~HidTransport() override;

  bool Start() override;
  // Bounded: the watch thread ends at the stop event whatever state it is in.
  void Stop() override;
  bool Write(uint32_t deviceId, const uint8_t* report, uint32_t length) override;
  bool Read(uint32_t deviceId, uint8_t* buffer, uint32_t length) override;
  // Request stays the plain Write then Read: the HID API has no call for both.

 private:
  struct Retry {
    int Attempts = 0;
    ULONGLONG Due = 0;
  };

  void Run();
  void Pump();
  // Closes what went away and opens what is new; on the watch thread.
  void Rescan();
  // Asks the watch thread for a rescan; any thread. A posted message only wakes the window:
  // what it does is decided by this flag, which no other process can set.
  void RequestRescan();
  void ScheduleRetry(const std::wstring& path, ULONGLONG now);
  void ArmRetryTimer(ULONGLONG now);
  bool NamesWatchedDevice(const std::wstring& path) const;
  // Null when the interface is not a watched collection or cannot be opened; `retry` tells
  // which of the two.
  std::shared_ptr<HidCollection> TryOpen(const std::wstring& path, bool& retry);
  uint32_t DeviceKeyOf(const std::wstring& path);
  std::shared_ptr<HidCollection> Find(uint32_t deviceId);
  void CloseAll();
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;

  const HidApi& m_api;
  const ConduitWatch m_watch;
  ConduitEventSink& m_sink;
  UniqueKernelHandle m_stopEvent;
  UniqueKernelHandle m_firstLookEvent;
  LibraryThread m_thread;
  HWND m_window = nullptr;          // of the watch thread, created and destroyed there
  bool m_destroyingWindow = false;  // a WM_NCDESTROY before this is not the system's
  std::atomic<bool> m_rescanRequested{false};
  bool m_polling = false;  // no device notifications: look every few seconds instead

  // Watch thread only.
  std::map<std::wstring, uint32_t> m_idOfPath;
  uint32_t m_nextId = 1;
  std::map<std::wstring, uint32_t> m_keyOfDevice;
  std::map<std::wstring, Retry> m_retries;

  std::mutex m_mutex;  // the open collections, for the agent's thread
  std::map<uint32_t, std::shared_ptr<HidCollection>> m_open;
};
