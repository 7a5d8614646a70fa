// gallery.exe: shows every skinned control in its states in one window. Runs until it is closed;
// "--seconds N" ends it after N seconds.
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <cwchar>
#include <memory>

#include "settings/win32/system_folders.h"
#include "tools/gallery/gallery_window.h"
#include "win/application.h"
#include "win/gdiplus_session.h"

namespace {

int SecondsFromCommandLine() {
  int count = 0;
  LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  int seconds = 0;
  for (int i = 1; args != nullptr && i + 1 < count; ++i) {
    if (std::wcscmp(args[i], L"--seconds") == 0) seconds = _wtoi(args[i + 1]);
  }
  ::LocalFree(args);
  return seconds;
}

void CALLBACK QuitAfterTime(HWND, UINT, UINT_PTR, DWORD) {
  ::PostQuitMessage(0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  InitProcessFolders();
  GdiplusSession gdiplus;
  Application app;
  int result = 0;
  {
    auto window = std::make_unique<GalleryWindow>();
    // At the right edge of the screen, so the menu's cascade opens to the left, inside the window.
    const int x = ::GetSystemMetrics(SM_CXFULLSCREEN) - GalleryWindow::kWidth - 10;
    if (!window->Open(x < 0 ? 0 : x, 20)) return 1;
    app.SetMainWindow(window.get());
    const int seconds = SecondsFromCommandLine();
    if (seconds > 0) ::SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, &QuitAfterTime);
    result = app.Run();
  }
  return result;
}
