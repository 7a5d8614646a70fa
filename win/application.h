#pragma once
// Base of a program's application object: single-instance mutex, main window, message loop.
//
//   int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
//     CTarnhidApp app;
//     if (!app.AcquireSingleInstance(L"Vireo_GamingMouse_HID_Mutex")) return 0;
//     auto window = std::make_unique<CTarnhidDlg>();
//     if (!window->Create(0, L"Vireo_GamingMouse_HID", WS_POPUP, 100, 100, 100, 100)) return 1;
//     app.SetMainWindow(window.get());
//     return app.Run();   // ends when the main window is destroyed or on WM_QUIT
//   }
#include <windows.h>

#include <vector>

#include "win/unique_handle.h"

class Window;

class Application {
 public:
  // The first Application object of the process becomes Instance().
  Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;
  virtual ~Application();

  static Application* Instance() noexcept;

  // Creates the named mutex (not owned). False when it already existed (another instance
  // runs; our handle is closed again) or could not be created. On success the handle is kept
  // until this object goes.
  bool AcquireSingleInstance(const wchar_t* mutexName);
  bool HoldsSingleInstance() const noexcept { return static_cast<bool>(m_instanceMutex); }

  void SetMainWindow(Window* window) noexcept { m_mainWindow = window; }
  Window* MainWindow() const noexcept { return m_mainWindow; }

  // The message loop. Returns the WM_QUIT exit code, or 0 when the main window was destroyed.
  int Run();

  // Modeless dialogs get keyboard navigation through IsDialogMessage. Dialog registers itself.
  void AddModelessDialog(HWND dialog);
  void RemoveModelessDialog(HWND dialog) noexcept;

  // A fixed diagnostic line for the debugger output (include the trailing "\n").
  static void OutputDebug(const wchar_t* line) noexcept;

  // The step every message loop of ours (Run, the modal dialogs' loops) takes before it
  // dispatches a message: true when the message was consumed. Through the application object's
  // PreTranslateMessage when there is one.
  static bool FilterMessage(MSG& msg);

 protected:
  // Gives the windows from the message's target up to its top-level window a chance to consume
  // the message (Window::PreTranslateMessage), then the modeless dialogs.
  virtual bool PreTranslateMessage(MSG& msg);
  // The first part of that: the windows from the target up.
  static bool PreTranslateInWindows(MSG& msg);

 private:
  UniqueKernelHandle m_instanceMutex;
  Window* m_mainWindow = nullptr;
  std::vector<HWND> m_modelessDialogs;
};
