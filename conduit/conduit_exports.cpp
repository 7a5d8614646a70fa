// The six ordinals of Conduit.dll.
#include "conduit/conduit.h"
#include "conduit/conduit_library.h"
#include "conduit/notification_window.h"

extern "C" {

BOOL __stdcall ConduitConfigure(const ConduitOpenParams* params) {
  return ConduitLibrary::Instance().Configure(params);
}

BOOL __stdcall ConduitSetInputCallback(ConduitInputCallback callback) {
  return ConduitLibrary::Instance().SetInputCallback(callback);
}

BOOL __stdcall ConduitRegisterWindow(HWND window, UINT message) {
  return ConduitLibrary::Instance().RegisterWindow(window, message);
}

BOOL __stdcall ConduitWriteReport(uint32_t deviceId, const uint8_t* report, uint32_t length) {
  return ConduitLibrary::Instance().WriteReport(deviceId, report, length);
}

BOOL __stdcall ConduitReadReport(uint32_t deviceId, uint8_t* buffer, uint32_t length) {
  return ConduitLibrary::Instance().ReadReport(deviceId, buffer, length);
}

BOOL __stdcall ConduitRequestReport(uint32_t deviceId, const uint8_t* report, uint32_t reportLength,
                                    uint8_t* buffer, uint32_t length) {
  return ConduitLibrary::Instance().RequestReport(deviceId, report, reportLength, buffer, length);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  // Unloaded by FreeLibrary (not at process end): no thread of ours runs any more, since each
  // holds a reference on the module; only the window class is left behind.
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    NotificationWindow::UnregisterWindowClass();
  }
  return TRUE;
}

}  // extern "C"
