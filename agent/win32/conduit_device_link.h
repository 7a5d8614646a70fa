#pragma once
// The device link through Conduit.dll's report functions (ordinals 5 and 6, and 9 for a
// request with its answer when the library has it).

#include "agent/device_link.h"
#include "conduit/conduit.h"

class ConduitDeviceLink final : public DeviceLink {
 public:
  ConduitDeviceLink();

  bool WriteReport(std::uint32_t deviceId, std::span<const std::uint8_t> report) override;
  bool ReadReport(std::uint32_t deviceId, std::span<std::uint8_t> buffer) override;
  bool RequestReport(std::uint32_t deviceId, std::span<const std::uint8_t> report,
                     std::span<std::uint8_t> buffer) override;

 private:
  // Looked up, not imported: a library without ordinal 9 still serves the agent through 5
  // and 6.
  decltype(&ConduitRequestReport) m_request = nullptr;
};
