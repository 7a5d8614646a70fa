#pragma once
// The agent's only way to the mouse: output reports out, answer reports in, addressed by the
// device id the mouse library handed over for a collection.

#include <cstdint>
#include <span>

class DeviceLink {
 public:
  virtual ~DeviceLink() = default;

  // Byte 0 of the report is its report id; the length is 16, 64 or 1024. False when the report
  // surely did not reach a device (no such collection, unplugged, refused); true does not prove
  // the mouse took it.
  virtual bool WriteReport(std::uint32_t deviceId, std::span<const std::uint8_t> report) = 0;
  // Fills `buffer` (16 or 64 bytes, bytes 0 and 1 preset) with the answer report. True only
  // when the device answered with a whole report; otherwise the bytes after the preset are
  // zero and mean nothing.
  virtual bool ReadReport(std::uint32_t deviceId, std::span<std::uint8_t> buffer) = 0;
};
