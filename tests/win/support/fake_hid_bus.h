#pragma once
// Fake HID devices for a test build of Conduit.dll (see fake_hid_api.cpp): the interfaces the
// fake system lists, the opens it allows, and each open collection's pipes, served here. What
// the HID class driver would refuse is refused here too: a write of an id the collection does
// not declare as output, a feature request for an id that is no feature report, a transfer
// whose length is not the collection's length of that report type. Unplugging disconnects the
// pipes in the middle of whatever transfer runs, and tells the registered windows.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/fake_hid_wire.h"

namespace harness {

// What answers the traffic of an interface; called on the bus's threads.
class FakeHidDevice {
 public:
  virtual ~FakeHidDevice() = default;
  // An output report (WriteFile or IOCTL_HID_SET_OUTPUT_REPORT), cut to its declared length.
  virtual void Output(int interfaceIndex, const std::vector<uint8_t>& report) = 0;
  virtual void SetFeature(int interfaceIndex, const std::vector<uint8_t>& report) {
    Output(interfaceIndex, report);
  }
  // `request` holds the report id and the caller's preset bytes; the answer is cut or padded
  // to the declared length.
  virtual std::optional<std::vector<uint8_t>> GetFeature(int, const std::vector<uint8_t>&) {
    return std::nullopt;
  }
  virtual std::optional<std::vector<uint8_t>> GetInputReport(int, uint8_t) { return std::nullopt; }
};

struct FakeHidInterface {
  fake_hid::InterfaceDescription Description;
  FakeHidDevice* Device = nullptr;
  bool DenyReadWrite = false;  // opens for reading and writing fail with access denied
  int FailingOpens = 0;        // this many opens fail with a sharing violation first
};

// One transfer as it arrived: 'w' WriteFile, 'o' IOCTL_HID_SET_OUTPUT_REPORT, 's' set feature,
// 'g' get feature, 'i' get input report; upper case when the driver would have refused it.
struct FakeHidTransfer {
  char Kind = 0;
  uint8_t Id = 0;
  uint32_t Length = 0;
};

class FakeHidBus {
 public:
  // Serves a bus pipe of this process and names it in the environment (for the library in
  // this process and for the programs it starts).
  FakeHidBus();
  ~FakeHidBus();
  FakeHidBus(const FakeHidBus&) = delete;
  FakeHidBus& operator=(const FakeHidBus&) = delete;

  int Add(const FakeHidInterface& interfaceToAdd);
  void Plug(std::initializer_list<int> interfaces);
  // Disconnects every open pipe of the interfaces, then tells the windows.
  void Unplug(std::initializer_list<int> interfaces);
  // An input report to every open reader of the interface. False when none took it.
  bool Push(int interfaceIndex, const std::vector<uint8_t>& report);
  // Until a fake system in some process listens for arrivals.
  bool WaitListener(DWORD milliseconds);
  // The next `count` opens of the interface fail with a sharing violation.
  void SetFailingOpens(int interfaceIndex, int count);
  // Opens for reading and writing fail with access denied; opens without access work.
  void SetDenyReadWrite(int interfaceIndex, bool deny);
  // Whether an open collection of the interface has a reader (a data pipe).
  bool HasReader(int interfaceIndex) const;
  // The next device list the library asks for fails (the fake throws).
  void FailNextList() { m_failNextList = true; }

  int Opens(int interfaceIndex) const;
  int OpenSessions(int interfaceIndex) const;
  std::vector<FakeHidTransfer> Transfers(int interfaceIndex) const;
  void ClearTransfers();

 private:
  struct Entry;
  struct Session;

  void Serve();
  std::string Answer(const std::string& request, HANDLE pipe, bool& keep);
  std::string Open(const std::string& path, bool readWrite);
  void ServeSession(Session& session);
  std::vector<uint8_t> Control(Session& session, DWORD code, const std::vector<uint8_t>& payload);
  void Record(int interfaceIndex, FakeHidTransfer transfer);
  void Notify(char notice);
  void EndSessions(int interfaceIndex);

  std::wstring m_name;
  HANDLE m_stop = nullptr;
  std::thread m_server;
  std::atomic<bool> m_failNextList{false};
  std::atomic<int> m_sessionCount{0};

  mutable std::mutex m_mutex;
  std::vector<std::unique_ptr<Entry>> m_entries;
  std::vector<std::unique_ptr<Session>> m_sessions;
  std::vector<HANDLE> m_listeners;
};

}  // namespace harness
