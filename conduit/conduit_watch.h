#pragma once
// Which device and which of its collections the library opens, as ConduitConfigure gave them.
#include <cstdint>

#include "conduit/conduit.h"

struct ConduitWatch {
  struct Collection {
    uint16_t UsagePage = 0;
    uint16_t Usage = 0;
  };

  uint16_t VendorId = 0;
  uint16_t ProductId = 0;
  uint32_t CollectionCount = 0;  // 0..2: the record has room for two
  Collection Collections[2];

  static ConduitWatch FromParams(const ConduitOpenParams& params) {
    ConduitWatch watch;
    watch.VendorId = static_cast<uint16_t>(params.VendorId);
    watch.ProductId = static_cast<uint16_t>(params.ProductId);
    watch.CollectionCount = params.CollectionCount < 2 ? params.CollectionCount : 2;
    watch.Collections[0] = {static_cast<uint16_t>(params.UsagePage0),
                            static_cast<uint16_t>(params.Usage0)};
    watch.Collections[1] = {static_cast<uint16_t>(params.UsagePage1),
                            static_cast<uint16_t>(params.Usage1)};
    return watch;
  }

  bool IsDevice(uint16_t vendorId, uint16_t productId) const {
    return CollectionCount > 0 && vendorId == VendorId && productId == ProductId;
  }

  bool Watches(uint16_t usagePage, uint16_t usage) const {
    for (uint32_t i = 0; i < CollectionCount; ++i) {
      if (Collections[i].UsagePage == usagePage && Collections[i].Usage == usage) return true;
    }
    return false;
  }
};
