#include "agent/win32/progress_window_sink.h"

// Filled in with the progress window.
ProgressWindowSink::~ProgressWindowSink() = default;
void ProgressWindowSink::Open() {}
void ProgressWindowSink::SetPercent(int) {}
void ProgressWindowSink::Close() {}
