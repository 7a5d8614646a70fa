#pragma once
// One opened top-level collection of a HID device: report writes and reads routed by report id
// and type, and a reader thread that hands every input report on.
//
// Routing, from the table the collection declares: a write of an output id goes out with
// WriteFile (IOCTL_HID_SET_OUTPUT_REPORT on a handle opened without access), of a feature id
// with IOCTL_HID_SET_FEATURE. A read of a feature id is IOCTL_HID_GET_FEATURE; a read of an
// input id waits for the pushed input report that answers it and falls back to
// IOCTL_HID_GET_INPUT_REPORT. Every transfer carries the collection's full length of its type,
// is overlapped with a timeout, and gives up when the collection closes. A report longer than
// its id declares fails; it is never cut short.
//
// An input report answers a read only when its id and the read's preset bytes match and, when
// the mouse echoes it (it did once), the address of the read command: status or function
// reports arriving meanwhile are no answer (they reach the input handler as every input report
// does).
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "conduit/hid_api.h"
#include "conduit/hid_report_table.h"
#include "conduit/library_thread.h"
#include "win/unique_handle.h"

class HidCollection {
 public:
  struct Identity {
    std::wstring Path;
    uint32_t DeviceId = 0;   // handed to the agent; stays with the path
    uint32_t DeviceKey = 0;  // equal for the collections of one physical device
    uint16_t UsagePage = 0;
    uint16_t Usage = 0;
  };
  // Called on the reader thread for every input report (byte 0 is the report id).
  using InputHandler = std::function<void(uint32_t deviceId, const uint8_t*, uint32_t)>;
  // Called on the reader thread when reading fails for good (the device went away).
  using LostHandler = std::function<void()>;

  // `readWrite`: the handle was opened for reading and writing (else with access 0: feature
  // reports and the report IOCTLs work, there is no reader).
  HidCollection(const HidApi& api, Identity identity, UniqueHidDevice handle, bool readWrite,
                const HidReportTable& reports);
  ~HidCollection();
  HidCollection(const HidCollection&) = delete;
  HidCollection& operator=(const HidCollection&) = delete;

  const Identity& Id() const { return m_identity; }
  bool Lost() const;

  void StartReading(InputHandler onInput, LostHandler onLost);
  // Ends the reader thread; transfers in progress give up.
  void Close();

  bool Write(const uint8_t* report, uint32_t length);
  bool Read(uint8_t* buffer, uint32_t length);

 private:
  enum class Way { Read, Write, Control };
  // One overlapped transfer, given up after `timeout` or when the collection closes.
  bool Transfer(Way way, DWORD code, uint8_t* bytes, DWORD length, DWORD timeout, DWORD* done,
                const char* what);
  bool Control(DWORD code, std::vector<uint8_t>& report, const char* what);
  void ReadLoop();
  bool Answers(const std::vector<uint8_t>& report, const uint8_t* preset);
  std::vector<uint8_t> WaitForPushedAnswer(const uint8_t* preset);
  bool Stopping() const;

  const HidApi& m_api;
  const Identity m_identity;
  UniqueHidDevice m_handle;
  const bool m_readWrite;
  const HidReportTable m_reports;
  UniqueKernelHandle m_stopEvent;
  InputHandler m_onInput;
  LostHandler m_onLost;
  LibraryThread m_reader;

  // The first bytes of the last report written: the read command an answer must echo.
  uint8_t m_request[4] = {};
  // Once an answer echoed its address, every later answer must.
  std::atomic<bool> m_echoes{false};

  mutable std::mutex m_mutex;
  std::condition_variable m_inputArrived;
  bool m_lost = false;
  bool m_reading = false;
  // Input reports since the last write: possible answers to the next read.
  std::deque<std::vector<uint8_t>> m_inputs;
};
