#pragma once
// The device link through Conduit.dll's report functions (ordinals 5 and 6).

#include "agent/device_link.h"

class ConduitDeviceLink final : public DeviceLink {
 public:
  bool WriteReport(std::uint32_t deviceId, std::span<const std::uint8_t> report) override;
  bool ReadReport(std::uint32_t deviceId, std::span<std::uint8_t> buffer) override;
};
