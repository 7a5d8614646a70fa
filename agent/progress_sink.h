#pragma once
// Where a full write shows how far it got (the progress window, in the agent).

class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  // Shown at 0 % before the first write (during the pause after the transfer's begin).
  virtual void Open() = 0;
  virtual void SetPercent(int percent) = 0;
  // Hidden and destroyed after the last report.
  virtual void Close() = 0;
};
