#pragma once
// The agent's only way to the mouse: output reports out, answer reports in, addressed by the
// device id the mouse library handed over for a collection.

#include <cstdint>
#include <span>

class DeviceLink {
 public:
  virtual ~DeviceLink() = default;

  // Byte 0 of the report is its report id; the length is 16, 64 or 1024. Whether the report
  // arrived is not known (a report to an absent device is lost).
  virtual void WriteReport(std::uint32_t deviceId, std::span<const std::uint8_t> report) = 0;
  // Fills `buffer` (16 or 64 bytes, bytes 0 and 1 preset) with the answer report. Bytes the
  // device does not deliver keep what they held.
  virtual void ReadReport(std::uint32_t deviceId, std::span<std::uint8_t> buffer) = 0;
};
