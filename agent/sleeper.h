#pragma once
// The pauses the mouse needs between commands, injected so that tests need not wait.

class Sleeper {
 public:
  virtual ~Sleeper() = default;
  virtual void Sleep(unsigned milliseconds) = 0;
};
