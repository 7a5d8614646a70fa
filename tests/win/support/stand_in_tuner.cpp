// Stands in for tuner.exe in the agent's tests: it notes each start in "tuner-started.log"
// beside itself and ends. With VIREO_STAND_IN_TUNER_WINDOW set in its environment it instead
// stays, with a normal window titled like the configurator's, until that window is closed.
#include <windows.h>

#include "contract/program_names.h"
#include "win/text.h"

namespace {

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) {
    DestroyWindow(window);
    return TRUE;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return FALSE;
}

int RunWindow(HINSTANCE instance) {
  // The system's dialog class, as the configurator's main window has.
  HWND window =
      CreateWindowExW(0, AsWide(program_names::kConfiguratorWindowClass),
                      AsWide(program_names::kConfiguratorWindowTitle), WS_OVERLAPPEDWINDOW, 200,
                      200, 300, 200, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  SetWindowLongPtrW(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&DialogProc));
  ShowWindow(window, SW_SHOW);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  wchar_t* slash = wcsrchr(path, L'\\');
  if (slash == nullptr) return 1;
  wcscpy(slash + 1, L"tuner-started.log");
  HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, "started\r\n", 9, &written, nullptr);
  CloseHandle(file);
  if (GetEnvironmentVariableW(L"VIREO_STAND_IN_TUNER_WINDOW", nullptr, 0) != 0) {
    return RunWindow(instance);
  }
  return 0;
}
