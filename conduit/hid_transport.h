#pragma once
// The Windows HID API: finds the configured device's collections among the HID interfaces,
// opens them, and follows arrivals and removals through device-interface notifications on a
// message-only window of its own thread.
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "conduit/conduit_event_sink.h"
#include "conduit/conduit_transport.h"
#include "conduit/conduit_watch.h"
#include "conduit/hid_collection.h"
#include "conduit/library_thread.h"
#include "win/unique_handle.h"

class HidTransport : public ConduitTransport {
 public:
  HidTransport(const ConduitWatch& watch, ConduitEventSink& sink);
  ~HidTransport() override;

  bool Start() override;
  void Stop() override;
  bool Write(uint32_t deviceId, const uint8_t* report, uint32_t length) override;
  bool Read(uint32_t deviceId, uint8_t* buffer, uint32_t length) override;

 private:
  void Run();
  // Closes what went away and opens what is new; on the watch thread.
  void Rescan();
  std::shared_ptr<HidCollection> TryOpen(const std::wstring& path);
  std::shared_ptr<HidCollection> Find(uint32_t deviceId);
  void CloseAll(bool report);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;

  const ConduitWatch m_watch;
  ConduitEventSink& m_sink;
  UniqueKernelHandle m_firstLookEvent;
  LibraryThread m_thread;
  HWND m_window = nullptr;  // of the watch thread, created and destroyed there

  // Ids stay with a device path for the life of the library.
  std::map<std::wstring, uint32_t> m_idOfPath;
  uint32_t m_nextId = 1;

  std::mutex m_mutex;  // the open collections, for the agent's thread
  std::map<uint32_t, std::shared_ptr<HidCollection>> m_open;
};
