#include "win/application.h"

#include <algorithm>

#include "win/window.h"

namespace {
Application* g_application = nullptr;
}  // namespace

Application::Application() {
  if (g_application == nullptr) g_application = this;
}

Application::~Application() {
  if (g_application == this) g_application = nullptr;
  // The mutex was never owned (created with bInitialOwner FALSE), so closing it is the release.
}

Application* Application::Instance() noexcept {
  return g_application;
}

bool Application::AcquireSingleInstance(const wchar_t* mutexName) {
  if (m_instanceMutex) return true;
  ::SetLastError(ERROR_SUCCESS);
  UniqueKernelHandle mutex(::CreateMutexW(nullptr, FALSE, mutexName));
  // ERROR_ACCESS_DENIED without a handle: it exists, created by someone we may not open.
  if (!mutex || ::GetLastError() == ERROR_ALREADY_EXISTS) return false;
  m_instanceMutex = std::move(mutex);
  return true;
}

int Application::Run() {
  MSG msg{};
  for (;;) {
    if (m_mainWindow != nullptr && m_mainWindow->Hwnd() == nullptr) return 0;
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return -1;
    if (FilterMessage(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

bool Application::FilterMessage(MSG& msg) {
  // Their structures are only ever sent; a posted one carries nothing of ours to read.
  if (Window::CarriesChildStructure(msg.message)) return true;
  if (Application* app = Instance()) return app->PreTranslateMessage(msg);
  return PreTranslateInWindows(msg);
}

bool Application::PreTranslateInWindows(MSG& msg) {
  for (HWND window = msg.hwnd; window != nullptr; window = ::GetAncestor(window, GA_PARENT)) {
    if (window == ::GetDesktopWindow()) break;
    if (Window* object = Window::FromHandle(window)) {
      if (object->PreTranslateMessage(msg)) return true;
    }
  }
  return false;
}

bool Application::PreTranslateMessage(MSG& msg) {
  if (PreTranslateInWindows(msg)) return true;
  // A copy: a dialog may be destroyed (and unregistered) while it handles the message.
  const std::vector<HWND> dialogs = m_modelessDialogs;
  for (HWND dialog : dialogs) {
    if (::IsWindow(dialog) && ::IsDialogMessageW(dialog, &msg)) return true;
  }
  return false;
}

void Application::AddModelessDialog(HWND dialog) {
  if (dialog == nullptr) return;
  if (std::find(m_modelessDialogs.begin(), m_modelessDialogs.end(), dialog) ==
      m_modelessDialogs.end()) {
    m_modelessDialogs.push_back(dialog);
  }
}

void Application::RemoveModelessDialog(HWND dialog) noexcept {
  m_modelessDialogs.erase(std::remove(m_modelessDialogs.begin(), m_modelessDialogs.end(), dialog),
                          m_modelessDialogs.end());
}

void Application::OutputDebug(const wchar_t* line) noexcept {
  if (line != nullptr) ::OutputDebugStringW(line);
}
