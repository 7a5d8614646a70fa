#pragma once
// The collections the mouse library reported as opened, and the device id that every report
// of the agent goes to. Only the agent's window thread touches it.

#include <cstdint>
#include <vector>

// One opened collection as the library announced it: four 32-bit values in this order.
struct _DEVICE_STATE {
  std::uint32_t EventKind;  // 1 = opened
  std::uint32_t DeviceId;   // low 16 bits significant
  std::uint32_t Reserved;   // kept, never read
  std::uint32_t UsagePage;  // low 16 bits significant
};

inline constexpr std::uint16_t kConsumerUsagePage = 0x000C;
inline constexpr std::uint16_t kVendorUsagePage = 0xFFA0;  // commands and answers

class DeviceRegistry {
 public:
  // Records are only ever added: a re-attached mouse adds its collections again.
  void Add(const _DEVICE_STATE& record) { m_deviceList.push_back(record); }
  const std::vector<_DEVICE_STATE>& DeviceList() const { return m_deviceList; }

  // The newest record with that usage page; 0 (no device) with fewer than two records or
  // when none matches.
  std::uint32_t FindDevice(std::uint16_t usagePage) const;
  // FindDevice, remembered as the target of the following reports.
  std::uint32_t SelectDevice(std::uint16_t usagePage);
  std::uint32_t CurrentDevice() const { return m_currentDevice; }

 private:
  std::vector<_DEVICE_STATE> m_deviceList;
  std::uint32_t m_currentDevice = 0;
};
