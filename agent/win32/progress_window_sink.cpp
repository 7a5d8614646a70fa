#include "agent/win32/progress_window_sink.h"

#include <windows.h>

#include "agent/win32/progress_dlg.h"
#include "win/window.h"

namespace {

// SetForegroundWindow is refused to a thread that lacks the input focus; sharing the input
// state of the foreground window's thread for the call lets the window come to the front.
void BringToForeground(HWND window) {
  const HWND foreground = ::GetForegroundWindow();
  const DWORD foregroundThread =
      foreground != nullptr ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
  const DWORD ownThread = ::GetCurrentThreadId();
  const bool attached = foregroundThread != 0 && foregroundThread != ownThread &&
                        ::AttachThreadInput(foregroundThread, ownThread, TRUE) != FALSE;
  ::SetForegroundWindow(window);
  if (attached) ::AttachThreadInput(foregroundThread, ownThread, FALSE);
}

}  // namespace

ProgressWindowSink::ProgressWindowSink(const Window& owner) : m_owner(owner) {}

ProgressWindowSink::~ProgressWindowSink() = default;

void ProgressWindowSink::Open() {
  Close();
  auto window = std::make_unique<CProgressDlg>();
  if (!window->Create(m_owner.Hwnd())) return;
  const HWND hwnd = window->Hwnd();
  // Centred on the primary screen at the size the window chose.
  const int x = (::GetSystemMetrics(SM_CXSCREEN) - window->Width()) / 2;
  const int y = (::GetSystemMetrics(SM_CYSCREEN) - window->Height()) / 2;
  ::SetWindowPos(hwnd, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  window->SetPos(0);
  ::ShowWindow(hwnd, SW_SHOW);
  BringToForeground(hwnd);
  // Painted now, frame and bar, since the write that follows handles no messages.
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  m_window = std::move(window);
}

void ProgressWindowSink::SetPercent(int percent) {
  if (m_window) m_window->SetPos(percent);
}

void ProgressWindowSink::Close() {
  if (!m_window) return;
  if (m_window->Hwnd() != nullptr) ::ShowWindow(m_window->Hwnd(), SW_HIDE);
  m_window.reset();  // destroys the window
}
