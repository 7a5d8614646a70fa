#pragma once
// Shows a full write's progress in the skinned progress window "VireoProgressbar", centred
// and in front, owned by the agent window. The window exists only while the write runs.

#include "agent/progress_sink.h"

class Window;

class ProgressWindowSink final : public ProgressSink {
 public:
  explicit ProgressWindowSink(const Window& owner) : m_owner(owner) {}
  ~ProgressWindowSink() override;

  void Open() override;
  void SetPercent(int percent) override;
  void Close() override;

 private:
  const Window& m_owner;
};
