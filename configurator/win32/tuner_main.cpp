// tuner.exe: the Vireo configurator.
#include <windows.h>

#include "configurator/win32/tuner_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  CTunerApp app;
  app.InitInstance();
  // The process lives as long as its window; there is no message loop after it.
  return 0;
}
