// The system's HID functions: the table Conduit.dll is built with.
#include "conduit/hid_api.h"

namespace {

GetDeviceInterfacePropertyFunction LookUpDeviceInterfaceProperty() {
  HMODULE module = GetModuleHandleW(L"cfgmgr32.dll");
  if (!module) return nullptr;
  return reinterpret_cast<GetDeviceInterfacePropertyFunction>(
      reinterpret_cast<void*>(GetProcAddress(module, "CM_Get_Device_Interface_PropertyW")));
}

}  // namespace

const HidApi& HidApiInUse() {
  static const HidApi api = {
      &::HidD_GetHidGuid,
      &::SetupDiGetClassDevsW,
      &::SetupDiEnumDeviceInterfaces,
      &::SetupDiGetDeviceInterfaceDetailW,
      &::SetupDiDestroyDeviceInfoList,
      LookUpDeviceInterfaceProperty(),
      &::CM_Locate_DevNodeW,
      &::CM_Get_DevNode_PropertyW,
      &::CreateFileW,
      &::CloseHandle,
      &::HidD_GetAttributes,
      &::HidD_GetPreparsedData,
      &::HidD_FreePreparsedData,
      &::HidP_GetCaps,
      &::HidP_GetValueCaps,
      &::HidP_GetButtonCaps,
      &::DeviceIoControl,
      &::CancelIoEx,
      &::RegisterDeviceNotificationW,
      &::UnregisterDeviceNotification,
  };
  return api;
}
