// hid.exe: the Vireo agent.
#include <windows.h>

#include "agent/win32/tarnhid_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  CTarnhidApp app;
  if (!app.InitInstance()) return 0;
  return app.Run();
}
