#include "agent/device_registry.h"

#include <algorithm>

#include "contract/mouse_map.h"

using device_map::kConsumerUsagePage;
using device_map::kVendorUsagePage;

bool DeviceRegistry::Add(const _DEVICE_STATE& record) {
  const bool wasComplete = Complete(record.DeviceKey);
  Remove(record.DeviceId);
  m_deviceList.push_back(record);
  return !wasComplete && Complete(record.DeviceKey);
}

void DeviceRegistry::Remove(std::uint32_t deviceId) {
  std::erase_if(m_deviceList,
                [deviceId](const _DEVICE_STATE& record) { return record.DeviceId == deviceId; });
}

bool DeviceRegistry::Complete(std::uint32_t deviceKey) const {
  bool consumer = false, vendor = false;
  for (const _DEVICE_STATE& record : m_deviceList) {
    if (record.DeviceKey != deviceKey) continue;
    consumer = consumer || (record.UsagePage & 0xFFFF) == kConsumerUsagePage;
    vendor = vendor || (record.UsagePage & 0xFFFF) == kVendorUsagePage;
  }
  return consumer && vendor;
}

bool DeviceRegistry::Attached() const {
  return std::any_of(m_deviceList.begin(), m_deviceList.end(),
                     [this](const _DEVICE_STATE& record) { return Complete(record.DeviceKey); });
}

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
