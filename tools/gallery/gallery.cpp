// gallery.exe: shows every skinned control in its states in one window. Runs until it is closed;
// "--seconds N" ends it after N seconds, "--open NAME" opens one of the configurator's key
// windows or its macro editor over it first (single-key, combination, fire-key, text-input,
// macro).
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <cwchar>
#include <memory>
#include <string>

#include "settings/win32/system_folders.h"
#include "tools/gallery/gallery_window.h"
#include "tools/gallery/key_window_demo.h"
#include "win/application.h"
#include "win/gdiplus_session.h"

namespace {

// The value after `option` on the command line, "" when it is not there.
std::wstring Option(const wchar_t* option) {
  int count = 0;
  LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::wstring value;
  for (int i = 1; args != nullptr && i + 1 < count; ++i) {
    if (std::wcscmp(args[i], option) == 0) value = args[i + 1];
  }
  ::LocalFree(args);
  return value;
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
    const int seconds = _wtoi(Option(L"--seconds").c_str());
    if (seconds > 0) ::SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, &QuitAfterTime);
    const std::wstring keyWindow = Option(L"--open");
    if (!keyWindow.empty()) window->ShowNote(RunKeyWindow(keyWindow, window->Hwnd()));
    result = app.Run();
  }
  return result;
}
