#include "agent/win32/conduit_device_link.h"

#include "conduit/conduit.h"

void ConduitDeviceLink::WriteReport(std::uint32_t deviceId, std::span<const std::uint8_t> report) {
  ConduitWriteReport(deviceId, report.data(), static_cast<std::uint32_t>(report.size()));
}

void ConduitDeviceLink::ReadReport(std::uint32_t deviceId, std::span<std::uint8_t> buffer) {
  ConduitReadReport(deviceId, buffer.data(), static_cast<std::uint32_t>(buffer.size()));
}
