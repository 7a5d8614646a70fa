#include "agent/win32/tarnhid_app.h"

#include "contract/program_names.h"
#include "win/text.h"

CTarnhidApp::CTarnhidApp() = default;

// The window object goes before the base class closes the single-instance mutex.
CTarnhidApp::~CTarnhidApp() {
  m_window.reset();
}

bool CTarnhidApp::InitInstance() {
  if (!AcquireSingleInstance(ToWide(program_names::kAgentMutexName).c_str())) return false;
  m_window = std::make_unique<CTarnhidDlg>();
  if (!m_window->CreateAgentWindow()) return false;
  SetMainWindow(m_window.get());
  return true;
}
