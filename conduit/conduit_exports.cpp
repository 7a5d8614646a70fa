// The five ordinals of Conduit.dll.
#include "conduit/conduit.h"

extern "C" {

BOOL __stdcall ConduitConfigure(const ConduitOpenParams* params) {
  return params != nullptr;
}

BOOL __stdcall ConduitSetInputCallback(ConduitInputCallback) {
  return TRUE;
}

BOOL __stdcall ConduitRegisterWindow(HWND window, UINT) {
  return window != nullptr;
}

BOOL __stdcall ConduitWriteReport(uint32_t, const uint8_t*, uint32_t) {
  return FALSE;
}

BOOL __stdcall ConduitReadReport(uint32_t, uint8_t*, uint32_t) {
  return FALSE;
}

}  // extern "C"
