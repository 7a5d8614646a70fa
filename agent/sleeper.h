#pragma once
// The pauses the mouse needs between commands, injected so that tests need not wait.

#include <cstdint>

class Sleeper {
 public:
  virtual ~Sleeper() = default;
  virtual void Sleep(unsigned milliseconds) = 0;
  // A steady clock, so that a pause other work overlaps waits only for what remains of it.
  virtual std::uint64_t NowMicroseconds() = 0;
};
