#pragma once
// The agent's only way to the mouse: output reports out, answer reports in, addressed by the
// device id the mouse library handed over for a collection.

#include <algorithm>
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
  // A request and its answer: `report` written, then the answer read into `buffer` as
  // ReadReport does. A report that did not reach the device is not followed by a read (the
  // answer bytes after the preset are zero). A link that can send both at once overrides this.
  virtual bool RequestReport(std::uint32_t deviceId, std::span<const std::uint8_t> report,
                             std::span<std::uint8_t> buffer) {
    if (!WriteReport(deviceId, report)) {
      if (buffer.size() > 2) std::fill(buffer.begin() + 2, buffer.end(), std::uint8_t{0});
      return false;
    }
    return ReadReport(deviceId, buffer);
  }
};
