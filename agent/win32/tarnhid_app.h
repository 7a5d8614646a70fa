#pragma once
// The agent's application: one instance per log-on, whose only window is the hidden
// CTarnhidDlg.

#include <memory>

#include "agent/win32/tarnhid_dlg.h"
#include "win/application.h"

class CTarnhidApp : public Application {
 public:
  CTarnhidApp();
  ~CTarnhidApp() override;

  // False when another agent already runs (then there is no window) or the window could not
  // be created.
  bool InitInstance();

 private:
  std::unique_ptr<CTarnhidDlg> m_window;
};
