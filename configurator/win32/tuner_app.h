#pragma once
// The configurator's application: one instance per log-on (its mutex), a GDI+ session, and the
// modal main window, for exactly as long as that window is open.

#include <optional>

#include "win/application.h"
#include "win/gdiplus_session.h"

class CTunerApp : public Application {
 public:
  CTunerApp();
  ~CTunerApp() override;

  // Runs the main window modally and returns when it is closed. False at once, without a
  // window, when another configurator runs.
  bool InitInstance();

 private:
  std::optional<GdiplusSession> m_gdiplus;
};
