#pragma once
// One opened top-level collection of a HID device: report writes and reads through its handle,
// and a reader thread that hands every input report on.
//
// Reads: when the collection has feature reports, the answer is fetched with HidD_GetFeature
// (the buffer's preset bytes go along, byte 0 selects the report). Otherwise the answer is the
// next input report with the asked report id that arrives after the last write, waited for up
// to a second. Writes go out as output reports (WriteFile, padded to the collection's output
// report length) or, for a collection without output reports, as feature reports.
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "conduit/library_thread.h"
#include "win/unique_handle.h"

class HidCollection {
 public:
  struct Caps {
    uint16_t UsagePage = 0;
    uint16_t Usage = 0;
    uint16_t InputLength = 0;
    uint16_t OutputLength = 0;
    uint16_t FeatureLength = 0;
  };
  // Called on the reader thread for every input report (byte 0 is the report id).
  using InputHandler = std::function<void(uint32_t deviceId, const uint8_t*, uint32_t)>;
  // Called on the reader thread when reading fails for good (the device went away).
  using LostHandler = std::function<void()>;

  HidCollection(std::wstring path, uint32_t deviceId, UniqueKernelHandle handle, const Caps& caps);
  ~HidCollection();
  HidCollection(const HidCollection&) = delete;
  HidCollection& operator=(const HidCollection&) = delete;

  const std::wstring& Path() const { return m_path; }
  uint32_t DeviceId() const { return m_deviceId; }
  const Caps& Capabilities() const { return m_caps; }
  bool Lost() const;

  void StartReading(InputHandler onInput, LostHandler onLost);
  // Ends the reader thread; pending writes and reads give up.
  void Close();

  bool Write(const uint8_t* report, uint32_t length);
  bool Read(uint8_t* buffer, uint32_t length);

 private:
  void ReadLoop();
  bool Transfer(bool write, uint8_t* bytes, DWORD length, DWORD* done);

  const std::wstring m_path;
  const uint32_t m_deviceId;
  UniqueKernelHandle m_handle;
  const Caps m_caps;
  UniqueKernelHandle m_stopEvent;
  InputHandler m_onInput;
  LostHandler m_onLost;
  LibraryThread m_reader;

  mutable std::mutex m_mutex;
  std::condition_variable m_inputArrived;
  bool m_lost = false;
  // Input reports since the last write, by report id: a possible answer to the next read.
  std::map<uint8_t, std::vector<uint8_t>> m_answers;
};
