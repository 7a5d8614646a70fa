// The entry points of Snare.dll, by name (snare.def), C calling convention.
#include <windows.h>

#include "snare/keyboard_hook.h"

extern "C" {

// `window` receives every key transition as hook_msg::kKeyEvent once delivery is enabled.
// Nonzero when the hook is set.
int __cdecl installhook(HWND window) {
  return KeyboardHook::Instance().Install(window) ? 1 : 0;
}

int __cdecl enablehook(int deliver) {
  KeyboardHook::Instance().Enable(deliver != 0);
  return 1;
}

int __cdecl removehook() {
  KeyboardHook::Instance().Remove();
  return 1;
}

// The configurator records no mouse input: these are there for callers that look them up, and
// install nothing.
int __cdecl installmousehook(HWND) {
  return 0;
}

int __cdecl removemousehook() {
  return 0;
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) ::DisableThreadLibraryCalls(instance);
  return TRUE;
}
