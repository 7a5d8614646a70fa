#include "agent/win32/conduit_device_link.h"

#include "conduit/conduit.h"

bool ConduitDeviceLink::WriteReport(std::uint32_t deviceId, std::span<const std::uint8_t> report) {
  return ConduitWriteReport(deviceId, report.data(), static_cast<std::uint32_t>(report.size())) !=
         FALSE;
}

bool ConduitDeviceLink::ReadReport(std::uint32_t deviceId, std::span<std::uint8_t> buffer) {
  return ConduitReadReport(deviceId, buffer.data(), static_cast<std::uint32_t>(buffer.size())) !=
         FALSE;
}
