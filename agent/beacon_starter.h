#pragma once
// Starts the sibling program beacon.exe after a mouse was attached; a failed start is ignored.

class BeaconStarter {
 public:
  virtual ~BeaconStarter() = default;
  virtual void StartBeacon() = 0;
};
