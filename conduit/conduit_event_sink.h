#pragma once
// Where a transport reports what happens on its side; called on the transport's own threads.
#include <cstdint>

class ConduitEventSink {
 public:
  virtual ~ConduitEventSink() = default;
  // `deviceKey` is equal for the collections of one physical device.
  virtual void CollectionOpened(uint32_t deviceId, uint32_t deviceKey, uint16_t usagePage,
                                uint16_t usage) = 0;
  virtual void CollectionClosed(uint32_t deviceId, uint32_t deviceKey, uint16_t usagePage,
                                uint16_t usage) = 0;
  // `report` starts with the report id; valid during the call.
  virtual void InputReport(uint32_t deviceId, const uint8_t* report, uint32_t length) = 0;
};
