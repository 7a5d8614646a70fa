#pragma once
// A software Vireo: its settings memory, the four memory commands it answers through the
// vendor collection, the state it takes over on "apply", and the input reports it sends when
// a button is pressed or a setting is changed on the mouse itself.
//
// Not thread-safe by itself; VirtualMouseServer guards it with a mutex.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "vmouse/mouse_memory_map.h"

// An input report the mouse sends by itself, and the collection it comes through.
struct MouseInputReport {
  uint16_t Collection = 0;
  std::vector<uint8_t> Report;
};

// What an on-mouse action did: refused actions send nothing.
struct MouseActionResult {
  bool Accepted = false;
  std::string Text;  // what happened, for the log and the console
  std::vector<MouseInputReport> Reports;
};

struct MouseCollection {
  uint16_t Id = 0;
  uint16_t UsagePage = 0;
  uint16_t Usage = 0;
};

class VirtualMouse {
 public:
  // Collection ids as the link hands them out (never 0: the agent treats 0 as "no device").
  static constexpr uint16_t kConsumerCollection = 1;
  static constexpr uint16_t kVendorCollection = 2;  // commands, status and function reports
  static constexpr std::array<MouseCollection, 2> kCollections{{
      {kConsumerCollection, device_map::kConsumerUsagePage, device_map::kCollectionUsage},
      {kVendorCollection, device_map::kVendorUsagePage, device_map::kCollectionUsage},
  }};

  // Size of each output report kind; 0 for unknown ids.
  static std::size_t ReportSize(uint8_t reportId);

  VirtualMouse();

  // An output report from the host (byte 0 is the report id).
  void HandleOutputReport(uint16_t collection, std::span<const uint8_t> report);
  // The answer to a read of `length` bytes whose first bytes are `preset`: after a read command
  // its bytes 0-7 echoed and the memory from byte 8; otherwise the preset and zeros.
  std::vector<uint8_t> AnswerRead(uint16_t collection, uint16_t length,
                                  std::span<const uint8_t> preset);

  // Memory: never-written bytes are zero; everything outside reads zero and is never written.
  std::span<const uint8_t> Memory() const { return m_memory; }
  std::vector<uint8_t> ReadMemory(uint32_t address, std::size_t length) const;
  void WriteMemory(uint32_t address, std::span<const uint8_t> data);
  uint8_t MemoryByte(uint32_t address) const;

  // State the mouse works with (taken over from memory by "apply" and on-mouse switches).
  int ActiveProfile() const { return m_activeProfile; }
  int ActiveStage() const { return m_activeStage; }
  uint8_t PollingRate() const { return m_pollingRate; }
  std::array<uint8_t, 6> Lighting() const {
    return m_lighting;
  }  // colour 0-2, effect, speed, option
  int LightingMode() const { return device_map::DecodeLightingMode(m_lighting[3], m_lighting[5]); }
  uint8_t LightingLevel() const { return m_lightingLevel; }
  bool InTransfer() const { return m_inTransfer; }
  // How often each apply section (one bit of the mask) was taken over.
  unsigned AppliedCount(uint8_t section) const;
  unsigned TransferCount() const { return m_transfers; }  // completed begin..end pairs

  // Output reports and reads handled (rejected ones included).
  std::size_t OutputReportCount() const { return m_outputReports; }
  std::size_t ReadCount() const { return m_reads; }

  // One line per report and action, e.g. "write 0x02C len 2: active profile 1".
  std::vector<std::string> Log() const { return {m_log.begin(), m_log.end()}; }
  std::size_t LogTotal() const { return m_logTotal; }  // lines ever written
  void ClearLog() { m_log.clear(); }
  void SetLogListener(std::function<void(const std::string&)> listener);
  // Lines of the link around the mouse (client connected, attached ...).
  void AddLogLine(std::string line);

  // Fills the memory as a mouse leaves the factory (for the program and demos; a new
  // VirtualMouse starts blank), then powers up.
  void LoadFactorySettings();

  // The mouse powers up (plug-in): the pending read and transfer are gone, and the active
  // profile and its settings are taken from memory.
  void PowerUp();

  // On-mouse actions.
  MouseActionResult PressButton(int button);
  MouseActionResult SwitchProfile(int profile);
  MouseActionResult SwitchStage(int stage);
  MouseActionResult SwitchLightingMode(int mode);
  MouseActionResult SwitchPollingRate(int code);

 private:
  void AddLog(std::string line) { AddLogLine(std::move(line)); }
  void HandleCommand(std::span<const uint8_t> report, const std::string& prefix);
  void Apply(uint8_t mask);
  void TakeProfile(int profile);
  bool TakeStageIndex();
  std::vector<int> EnabledStages() const;
  MouseInputReport StatusReport(uint8_t kind, uint8_t value) const;
  MouseActionResult StepStage(int direction, bool wrap, const std::string& what);
  MouseActionResult StepPollingRate(int direction);

  std::vector<uint8_t> m_memory;
  // A read command waiting for its READ: the request's first 8 bytes and the data.
  bool m_readPending = false;
  std::array<uint8_t, 8> m_readHeader{};
  uint32_t m_readAddress = 0;
  std::size_t m_readLength = 0;

  int m_activeProfile = 0;
  int m_activeStage = 0;
  uint8_t m_pollingRate = 0;
  std::array<uint8_t, 6> m_lighting{};
  uint8_t m_lightingLevel = 0;
  bool m_inTransfer = false;
  unsigned m_transfers = 0;
  std::array<unsigned, 8> m_applied{};

  std::size_t m_outputReports = 0;
  std::size_t m_reads = 0;
  std::deque<std::string> m_log;
  std::size_t m_logTotal = 0;
  std::function<void(const std::string&)> m_logListener;
};
