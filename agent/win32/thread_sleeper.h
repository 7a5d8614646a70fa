#pragma once
// Pauses the calling thread for real.

#include <windows.h>

#include <chrono>

#include "agent/sleeper.h"

class ThreadSleeper final : public Sleeper {
 public:
  void Sleep(unsigned milliseconds) override { ::Sleep(milliseconds); }
  std::uint64_t NowMicroseconds() override {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};
