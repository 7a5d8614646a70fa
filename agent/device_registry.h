#pragma once
// The collections the mouse library reported as open, and the device id that every report of
// the agent goes to. Only the agent's window thread touches it.
//
// Collections pair by the physical device they belong to (the library's device key), never by
// counting notifications: an extra or lost notification cannot stop a later plug-in from being
// recognised, and a closed collection leaves the list.

#include <cstdint>
#include <vector>

// One open collection as the library announced it: four 32-bit values in this order.
struct _DEVICE_STATE {
  std::uint32_t EventKind;  // 1 = opened
  std::uint32_t DeviceId;   // low 16 bits significant
  std::uint32_t DeviceKey;  // equal for the collections of one physical mouse
  std::uint32_t UsagePage;  // low 16 bits significant
};

class DeviceRegistry {
 public:
  // Records an opened collection (again, when the library repeats itself). True when this
  // completes the pair of its device: both collections of that mouse are open now and were
  // not before.
  bool Add(const _DEVICE_STATE& record);
  // A closed collection leaves the list.
  void Remove(std::uint32_t deviceId);
  const std::vector<_DEVICE_STATE>& DeviceList() const { return m_deviceList; }
  // Whether some mouse has both its collections open.
  bool Attached() const;

  // The newest record with that usage page; 0 (no device) with fewer than two records or
  // when none matches.
  std::uint32_t FindDevice(std::uint16_t usagePage) const;
  // FindDevice, remembered as the target of the following reports.
  std::uint32_t SelectDevice(std::uint16_t usagePage);
  std::uint32_t CurrentDevice() const { return m_currentDevice; }

 private:
  bool Complete(std::uint32_t deviceKey) const;

  std::vector<_DEVICE_STATE> m_deviceList;
  std::uint32_t m_currentDevice = 0;
};
