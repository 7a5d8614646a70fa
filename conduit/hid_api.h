#pragma once
// The Windows functions the HID transport calls, as one table: the port between the transport
// and the system. Conduit.dll uses the system's functions (hid_api_system.cpp); a test build
// links a stand-in instead that backs each collection with named pipes, so the transport's own
// overlapped reads, writes, waits and cancels run for real. ReadFile, WriteFile and
// GetOverlappedResult are called directly: they work on either kind of handle.
#include <windows.h>
// cfgmgr32.h and devpropdef.h need the types of windows.h first; some SDKs' hidsdi.h lacks C
// linkage for C++. hidsdi.h brings hidpi.h along.
#include <cfgmgr32.h>
#include <devpropdef.h>
#include <setupapi.h>
#include <winioctl.h>

extern "C" {
#include <hidsdi.h>
}

#include "win/unique_handle.h"

// The report IOCTLs of the HID class driver (hidclass.h), spelled out: not every SDK has it.
#ifndef IOCTL_HID_GET_FEATURE
#define IOCTL_HID_GET_FEATURE \
  CTL_CODE(FILE_DEVICE_KEYBOARD, 100, METHOD_OUT_DIRECT, FILE_ANY_ACCESS)
#define IOCTL_HID_SET_FEATURE CTL_CODE(FILE_DEVICE_KEYBOARD, 100, METHOD_IN_DIRECT, FILE_ANY_ACCESS)
#define IOCTL_HID_SET_OUTPUT_REPORT \
  CTL_CODE(FILE_DEVICE_KEYBOARD, 101, METHOD_IN_DIRECT, FILE_ANY_ACCESS)
#define IOCTL_HID_GET_INPUT_REPORT \
  CTL_CODE(FILE_DEVICE_KEYBOARD, 104, METHOD_OUT_DIRECT, FILE_ANY_ACCESS)
#endif

// Missing from some SDKs' cfgmgr32.h (and from older systems' cfgmgr32.dll): looked up at run
// time.
typedef CONFIGRET(WINAPI* GetDeviceInterfacePropertyFunction)(LPCWSTR path, const DEVPROPKEY* key,
                                                              DEVPROPTYPE* type, PBYTE buffer,
                                                              PULONG size, ULONG flags);

struct HidApi {
  decltype(&::HidD_GetHidGuid) GetHidGuid;
  decltype(&::SetupDiGetClassDevsW) GetClassDevs;
  decltype(&::SetupDiEnumDeviceInterfaces) EnumDeviceInterfaces;
  decltype(&::SetupDiGetDeviceInterfaceDetailW) GetDeviceInterfaceDetail;
  decltype(&::SetupDiDestroyDeviceInfoList) DestroyDeviceInfoList;
  // The device key: interface → instance id → device node → container id. May be null.
  GetDeviceInterfacePropertyFunction GetDeviceInterfaceProperty;
  decltype(&::CM_Locate_DevNodeW) LocateDevNode;
  decltype(&::CM_Get_DevNode_PropertyW) GetDevNodeProperty;
  decltype(&::CreateFileW) CreateFile;
  decltype(&::CloseHandle) CloseHandle;
  decltype(&::HidD_GetAttributes) GetAttributes;
  decltype(&::HidD_GetPreparsedData) GetPreparsedData;
  decltype(&::HidD_FreePreparsedData) FreePreparsedData;
  decltype(&::HidP_GetCaps) GetCaps;
  decltype(&::HidP_GetValueCaps) GetValueCaps;
  decltype(&::HidP_GetButtonCaps) GetButtonCaps;
  decltype(&::DeviceIoControl) DeviceIoControl;
  decltype(&::CancelIoEx) CancelIoEx;
  decltype(&::RegisterDeviceNotificationW) RegisterDeviceNotification;
  decltype(&::UnregisterDeviceNotification) UnregisterDeviceNotification;
};

// The table of this build: the system's in Conduit.dll, the stand-in in a test build.
const HidApi& HidApiInUse();

// Owners of what the table hands out, freed through the same table.
struct HidDeviceHandleTraits {
  using Handle = HANDLE;
  static Handle Empty() noexcept { return nullptr; }
  static bool IsEmpty(Handle handle) noexcept {
    return handle == nullptr || handle == INVALID_HANDLE_VALUE;
  }
  static void Close(Handle handle) noexcept { HidApiInUse().CloseHandle(handle); }
};

struct HidDeviceInfoListTraits {
  using Handle = HDEVINFO;
  static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
  static bool IsEmpty(Handle handle) noexcept {
    return handle == nullptr || handle == INVALID_HANDLE_VALUE;
  }
  static void Close(Handle handle) noexcept { HidApiInUse().DestroyDeviceInfoList(handle); }
};

struct HidNotificationTraits {
  using Handle = HDEVNOTIFY;
  static constexpr Handle Empty() noexcept { return nullptr; }
  static bool IsEmpty(Handle handle) noexcept { return handle == nullptr; }
  static void Close(Handle handle) noexcept { HidApiInUse().UnregisterDeviceNotification(handle); }
};

struct HidPreparsedDataTraits {
  using Handle = PHIDP_PREPARSED_DATA;
  static constexpr Handle Empty() noexcept { return nullptr; }
  static bool IsEmpty(Handle handle) noexcept { return handle == nullptr; }
  static void Close(Handle handle) noexcept { HidApiInUse().FreePreparsedData(handle); }
};

using UniqueHidDevice = UniqueHandle<HidDeviceHandleTraits>;
using UniqueDeviceInfoList = UniqueHandle<HidDeviceInfoListTraits>;
using UniqueDeviceNotification = UniqueHandle<HidNotificationTraits>;
using UniquePreparsedData = UniqueHandle<HidPreparsedDataTraits>;
