#include "agent/win32/conduit_device_link.h"

ConduitDeviceLink::ConduitDeviceLink() {
  if (const HMODULE library = GetModuleHandleW(L"Conduit.dll")) {
    m_request = reinterpret_cast<decltype(&ConduitRequestReport)>(
        reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(9))));
  }
}

bool ConduitDeviceLink::WriteReport(std::uint32_t deviceId, std::span<const std::uint8_t> report) {
  return ConduitWriteReport(deviceId, report.data(), static_cast<std::uint32_t>(report.size())) !=
         FALSE;
}

bool ConduitDeviceLink::ReadReport(std::uint32_t deviceId, std::span<std::uint8_t> buffer) {
  return ConduitReadReport(deviceId, buffer.data(), static_cast<std::uint32_t>(buffer.size())) !=
         FALSE;
}

bool ConduitDeviceLink::RequestReport(std::uint32_t deviceId, std::span<const std::uint8_t> report,
                                      std::span<std::uint8_t> buffer) {
  if (!m_request) return DeviceLink::RequestReport(deviceId, report, buffer);
  return m_request(deviceId, report.data(), static_cast<std::uint32_t>(report.size()),
                   buffer.data(), static_cast<std::uint32_t>(buffer.size())) != FALSE;
}
