#pragma once
// A progress sink that shows nothing, for a full write that has no window to show it in.

#include "agent/progress_sink.h"

class NullProgressSink final : public ProgressSink {
 public:
  void Open() override {}
  void SetPercent(int) override {}
  void Close() override {}
};
