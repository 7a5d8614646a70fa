#pragma once
// The mouse's memory-access commands and the operations built from them: each writes or reads
// one kind of setting for all five profiles (or one button, one macro area). Reads store what
// they decode into the profile set they are given; an answer that decodes to nothing valid
// leaves the field as it was. Every transfer the link reports as failed (a write that reached
// no device, a read without a whole answer) is counted, so a caller can tell whether a
// sequence of them went through.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "agent/device_codes.h"
#include "settings/profile_set.h"

class DeviceLink;
class DeviceRegistry;
class MacroLibrary;
class Sleeper;

class MouseProtocol {
 public:
  static constexpr unsigned kTransferPauseMs = 100;

  MouseProtocol(DeviceLink& link, DeviceRegistry& registry, Sleeper& sleeper,
                MacroLibrary& library);

  // Sends the begin of a transfer. The mouse needs kTransferPauseMs without reports after it:
  // the next report waits for what remains of the pause, so that work done in between (the
  // progress window) overlaps it instead of adding to it.
  void BeginTransfer();
  // Sends the end of a transfer and waits out its pause.
  void EndTransfer();
  void Apply(std::uint8_t sections);

  void WriteClearBlock();
  // May lower a lighting speed in the set (the mouse has no faster one).
  void WriteLighting(ProfileSet& set);
  void WritePollingRates(const ProfileSet& set, bool apply);
  void WriteWheelLines(const ProfileSet& set);
  void WriteStageIndices(const ProfileSet& set);
  void WriteStage(const ProfileSet& set, int stage);
  void WriteActiveProfile(const ProfileSet& set);
  // Returns false, sending nothing, for a macro button whose macro is not in the library.
  // A fire key's mouse button is renumbered in the set the way the mouse numbers it.
  bool WriteButton(ProfileSet& set, int profile, int button);

  void ReadActiveProfile(ProfileSet& set);
  void ReadLighting(ProfileSet& set);
  void ReadPollingRates(ProfileSet& set);
  void ReadStages(ProfileSet& set);
  void ReadButton(ProfileSet& set, int profile, int button);

  // Area `slot` (0..19) with the records of the library's macro in that slot, or empty.
  void WriteMacroArea(int slot, bool clear);
  // The bytes of all 20 macro areas, in area order.
  std::vector<std::vector<std::uint8_t>> ReadMacroAreas();
  // Copies areas read by ReadMacroAreas into the library.
  void StoreMacroAreas(const std::vector<std::vector<std::uint8_t>>& areas);

  // Failed transfers since the last ResetFailures.
  void ResetFailures() { m_failures = 0; }
  unsigned Failures() const { return m_failures; }

 private:
  void Send(std::span<const std::uint8_t> report);
  void WaitOutPause();
  void WriteMemory(std::uint16_t address, std::uint8_t length, std::span<const std::uint8_t> data,
                   std::uint8_t reportId = device_map::kShortReportId);
  // The data bytes of the answer (the report from byte 8 on).
  std::vector<std::uint8_t> ReadMemory(std::uint16_t address, std::uint8_t length,
                                       std::uint8_t reportId = device_map::kShortReportId);
  void SelectDevice();

  DeviceLink& m_link;
  DeviceRegistry& m_registry;
  Sleeper& m_sleeper;
  MacroLibrary& m_library;
  unsigned m_failures = 0;
  // While a pause runs: when it ends on the sleeper's clock.
  std::optional<std::uint64_t> m_pauseEnd;
};
