#include "agent/device_registry.h"

std::uint32_t DeviceRegistry::FindDevice(std::uint16_t usagePage) const {
  // A mouse exposes two collections: until both are known there is nothing to address.
  if (m_deviceList.size() < 2) return 0;
  for (auto record = m_deviceList.rbegin(); record != m_deviceList.rend(); ++record) {
    if ((record->UsagePage & 0xFFFF) == usagePage) return record->DeviceId;
  }
  return 0;
}

std::uint32_t DeviceRegistry::SelectDevice(std::uint16_t usagePage) {
  m_currentDevice = FindDevice(usagePage);
  return m_currentDevice;
}
