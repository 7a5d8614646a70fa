#pragma once
// Pauses the calling thread for real.

#include <windows.h>

#include "agent/sleeper.h"

class ThreadSleeper final : public Sleeper {
 public:
  void Sleep(unsigned milliseconds) override { ::Sleep(milliseconds); }
};
