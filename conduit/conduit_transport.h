#pragma once
// A way to the mouse: the TCP link to a virtual mouse or the Windows HID API.
#include <cstdint>

class ConduitTransport {
 public:
  virtual ~ConduitTransport() = default;
  // Starts watching and waits (bounded) for the first look at the device. True when a watched
  // collection is open by then. Arrivals and removals are reported to the sink afterwards.
  virtual bool Start() = 0;
  // Stops watching and closes every collection without reporting it. Called before destruction.
  virtual void Stop() = 0;
  // Reports to an id that is not open are dropped (false).
  virtual bool Write(uint32_t deviceId, const uint8_t* report, uint32_t length) = 0;
  // Fills `buffer` with the answer report. On failure bytes 0 and 1 stay as preset and the rest
  // is zero, so the caller decodes an empty answer.
  virtual bool Read(uint32_t deviceId, uint8_t* buffer, uint32_t length) = 0;
  // Write, then Read only when the write went out; the answer's buffer as Read leaves it.
  virtual bool Request(uint32_t deviceId, const uint8_t* report, uint32_t reportLength,
                       uint8_t* buffer, uint32_t length);
};

// A failed read leaves the two preset bytes and zeros behind them.
inline void ClearAnswer(uint8_t* buffer, uint32_t length) {
  for (uint32_t i = 2; i < length; ++i) buffer[i] = 0;
}

// A device has no way to send both at once: the report, then the read.
inline bool ConduitTransport::Request(uint32_t deviceId, const uint8_t* report,
                                      uint32_t reportLength, uint8_t* buffer, uint32_t length) {
  if (!Write(deviceId, report, reportLength)) {
    if (buffer) ClearAnswer(buffer, length);
    return false;
  }
  return Read(deviceId, buffer, length);
}
