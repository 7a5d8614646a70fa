#pragma once
// Shows a full write's progress in the skinned progress window "VireoProgressbar", centred
// and in front, owned by the agent window. The window exists only while the write runs.

#include <memory>

#include "agent/progress_sink.h"

class CProgressDlg;
class Window;

class ProgressWindowSink final : public ProgressSink {
 public:
  explicit ProgressWindowSink(const Window& owner);
  ~ProgressWindowSink() override;

  // Creates the window, centres it on the primary screen, shows it at 0 % and brings it to the
  // foreground. Any window of an earlier write still open goes first.
  void Open() override;
  // Repaints at once: the write runs inside a message handler, so no paint message would be
  // handled before it ends.
  void SetPercent(int percent) override;
  // Hides and destroys the window; the pause after 100 % is the caller's.
  void Close() override;

  // The open window, or null.
  const CProgressDlg* ProgressWindow() const noexcept { return m_window.get(); }

 private:
  const Window& m_owner;
  std::unique_ptr<CProgressDlg> m_window;
};
