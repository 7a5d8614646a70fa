// The HID API of a test build of Conduit.dll: the same table as the system's, backed by the
// fake devices of the test process (FakeHidBus) instead of the HID class driver. Each open
// collection is a real pipe handle, so the transport's ReadFile, WriteFile,
// GetOverlappedResult and cancels run for real; the report IOCTLs travel on a second pipe of
// the same collection. Arrivals and removals come as WM_DEVICECHANGE sent to the registered
// windows, as the system sends them.
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "conduit/hid_api.h"
// After windows.h.
#include <dbt.h>

#include "support/fake_hid_wire.h"

namespace {

using fake_hid::InterfaceDescription;

constexpr GUID kHidGuid = {
    0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

std::wstring Wide(const std::string& text) {
  return std::wstring(text.begin(), text.end());
}
std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (wchar_t c : text) narrow.push_back(static_cast<char>(c));
  return narrow;
}

std::wstring BusName() {
  wchar_t name[256];
  const DWORD length = GetEnvironmentVariableW(fake_hid::kBusVariable, name, 256);
  return length > 0 && length < 256 ? name : L"";
}

HANDLE ConnectPipe(const std::wstring& name, DWORD flags) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    HANDLE pipe = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              flags, nullptr);
    if (pipe != INVALID_HANDLE_VALUE) {
      DWORD mode = PIPE_READMODE_MESSAGE;
      SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr);
      return pipe;
    }
    if (GetLastError() != ERROR_PIPE_BUSY && GetLastError() != ERROR_FILE_NOT_FOUND) break;
    WaitNamedPipeW(name.c_str(), 100);
  }
  return INVALID_HANDLE_VALUE;
}

std::string ReadMessage(HANDLE pipe);
void ServeNotices(HANDLE pipe);

std::string ReadMessage(HANDLE pipe) {
  std::string message;
  char buffer[4096];
  for (;;) {
    DWORD got = 0;
    const BOOL done = ReadFile(pipe, buffer, sizeof buffer, &got, nullptr);
    message.append(buffer, got);
    if (done) return message;
    if (GetLastError() != ERROR_MORE_DATA) return {};
  }
}

// One request and its reply on a fresh connection to the bus; empty when there is no bus.
std::string Ask(const std::string& request) {
  const std::wstring name = BusName();
  if (name.empty()) return {};
  HANDLE pipe = ConnectPipe(name, 0);
  if (pipe == INVALID_HANDLE_VALUE) return {};
  DWORD written = 0;
  std::string reply;
  if (WriteFile(pipe, request.data(), static_cast<DWORD>(request.size()), &written, nullptr)) {
    reply = ReadMessage(pipe);
  }
  CloseHandle(pipe);
  return reply;
}

struct FakeSet {
  std::vector<InterfaceDescription> Interfaces;
};

struct FakeDevice {
  InterfaceDescription Description;
  HANDLE Main = nullptr;     // the data pipe, or an event standing in without access
  HANDLE Control = nullptr;  // the control pipe
  bool HasData = false;
  uint8_t Ack = 0;
};

struct FakePreparsed {
  InterfaceDescription Description;
};

std::mutex g_mutex;
std::map<HANDLE, std::unique_ptr<FakeDevice>> g_devices;
std::map<std::string, InterfaceDescription> g_known;  // by path, from every list
std::vector<std::string> g_nodes;                     // instance ids; node n is g_nodes[n - 1]
std::vector<HWND> g_listeners;
bool g_noticesStarted = false;

FakeDevice* Device(HANDLE handle) {
  std::lock_guard lock(g_mutex);
  const auto found = g_devices.find(handle);
  return found == g_devices.end() ? nullptr : found->second.get();
}

void WINAPI GetHidGuid(LPGUID guid) {
  *guid = kHidGuid;
}

HDEVINFO WINAPI GetClassDevs(const GUID*, PCWSTR, HWND, DWORD) {
  const std::string reply = Ask(std::string(1, fake_hid::kList));
  std::vector<std::string> lines = fake_hid::Split(reply, '\n');
  if (!lines.empty() && lines[0] == "throw") throw std::runtime_error("the device list failed");
  auto* set = new FakeSet;
  std::lock_guard lock(g_mutex);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    InterfaceDescription description;
    if (!fake_hid::Parse(lines[i], description)) continue;
    g_known[description.Path] = description;
    set->Interfaces.push_back(description);
  }
  return set;
}

BOOL WINAPI EnumDeviceInterfaces(HDEVINFO set, PSP_DEVINFO_DATA, const GUID*, DWORD index,
                                 PSP_DEVICE_INTERFACE_DATA data) {
  auto* fake = static_cast<FakeSet*>(set);
  if (index >= fake->Interfaces.size()) {
    SetLastError(ERROR_NO_MORE_ITEMS);
    return FALSE;
  }
  data->InterfaceClassGuid = kHidGuid;
  data->Flags = SPINT_ACTIVE;
  data->Reserved = index;
  return TRUE;
}

BOOL WINAPI GetDeviceInterfaceDetail(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA data,
                                     PSP_DEVICE_INTERFACE_DETAIL_DATA_W detail, DWORD size,
                                     PDWORD required, PSP_DEVINFO_DATA) {
  auto* fake = static_cast<FakeSet*>(set);
  const std::wstring path = Wide(fake->Interfaces.at(data->Reserved).Path);
  const DWORD needed = static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) +
                                          (path.size() + 1) * sizeof(wchar_t));
  if (required) *required = needed;
  if (!detail || size < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::copy(path.begin(), path.end(), detail->DevicePath);
  detail->DevicePath[path.size()] = L'\0';
  return TRUE;
}

BOOL WINAPI DestroyDeviceInfoList(HDEVINFO set) {
  delete static_cast<FakeSet*>(set);
  return TRUE;
}

const InterfaceDescription* Known(const std::string& path) {
  const auto found = g_known.find(path);
  return found == g_known.end() ? nullptr : &found->second;
}

CONFIGRET WINAPI GetDeviceInterfaceProperty(LPCWSTR path, const DEVPROPKEY* key, DEVPROPTYPE* type,
                                            PBYTE buffer, PULONG size, ULONG) {
  std::lock_guard lock(g_mutex);
  const InterfaceDescription* d = Known(Narrow(path));
  if (!d || key->pid != 256) return CR_NO_SUCH_VALUE;  // only the instance id
  const std::wstring instance = Wide(d->InstanceId);
  const ULONG needed = static_cast<ULONG>((instance.size() + 1) * sizeof(wchar_t));
  if (*size < needed) {
    *size = needed;
    return CR_BUFFER_SMALL;
  }
  *type = DEVPROP_TYPE_STRING;
  std::copy(instance.begin(), instance.end(), reinterpret_cast<wchar_t*>(buffer));
  reinterpret_cast<wchar_t*>(buffer)[instance.size()] = L'\0';
  *size = needed;
  return CR_SUCCESS;
}

CONFIGRET WINAPI LocateDevNode(PDEVINST node, DEVINSTID_W instance, ULONG) {
  std::lock_guard lock(g_mutex);
  const std::string id = Narrow(instance);
  for (const auto& [path, d] : g_known) {
    if (d.InstanceId != id) continue;
    g_nodes.push_back(id);
    *node = static_cast<DEVINST>(g_nodes.size());
    return CR_SUCCESS;
  }
  return CR_NO_SUCH_DEVNODE;
}

CONFIGRET WINAPI GetDevNodeProperty(DEVINST node, const DEVPROPKEY* key, DEVPROPTYPE* type,
                                    PBYTE buffer, PULONG size, ULONG) {
  std::lock_guard lock(g_mutex);
  if (node == 0 || node > g_nodes.size() || key->pid != 2) return CR_NO_SUCH_VALUE;
  for (const auto& [path, d] : g_known) {
    if (d.InstanceId != g_nodes[node - 1] || d.Container.empty()) continue;
    GUID container{};
    unsigned int parts[11];
    if (std::sscanf(d.Container.c_str(), "{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &parts[0],
                    &parts[1], &parts[2], &parts[3], &parts[4], &parts[5], &parts[6], &parts[7],
                    &parts[8], &parts[9], &parts[10]) != 11) {
      return CR_NO_SUCH_VALUE;
    }
    container.Data1 = parts[0];
    container.Data2 = static_cast<unsigned short>(parts[1]);
    container.Data3 = static_cast<unsigned short>(parts[2]);
    for (int i = 0; i < 8; ++i) container.Data4[i] = static_cast<unsigned char>(parts[3 + i]);
    if (*size < sizeof container) return CR_BUFFER_SMALL;
    *type = DEVPROP_TYPE_GUID;
    std::memcpy(buffer, &container, sizeof container);
    *size = sizeof container;
    return CR_SUCCESS;
  }
  return CR_NO_SUCH_VALUE;
}

HANDLE WINAPI OpenDevice(LPCWSTR path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD,
                         DWORD flags, HANDLE) {
  const bool readWrite = (access & (GENERIC_READ | GENERIC_WRITE)) != 0;
  const std::string reply =
      Ask(std::string(1, fake_hid::kOpen) + (readWrite ? "1" : "0") + "\t" + Narrow(path));
  const std::vector<std::string> fields = fake_hid::Split(reply, '\t');
  if (fields.size() == 2 && fields[0] == "err") {
    SetLastError(static_cast<DWORD>(std::stoul(fields[1])));
    return INVALID_HANDLE_VALUE;
  }
  if (fields.size() != 3 || fields[0] != "ok") {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  auto device = std::make_unique<FakeDevice>();
  {
    std::lock_guard lock(g_mutex);
    if (const InterfaceDescription* d = Known(Narrow(path))) device->Description = *d;
  }
  device->Control = ConnectPipe(Wide(fields[2]), FILE_FLAG_OVERLAPPED);
  if (!fields[1].empty()) {
    device->Main = ConnectPipe(Wide(fields[1]), flags & FILE_FLAG_OVERLAPPED);
    device->HasData = device->Main != INVALID_HANDLE_VALUE;
  } else {
    // Without access: a handle that ReadFile and WriteFile refuse.
    device->Main = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  }
  if (device->Main == INVALID_HANDLE_VALUE || device->Main == nullptr ||
      device->Control == INVALID_HANDLE_VALUE) {
    if (device->Main && device->Main != INVALID_HANDLE_VALUE) CloseHandle(device->Main);
    if (device->Control != INVALID_HANDLE_VALUE) CloseHandle(device->Control);
    SetLastError(ERROR_DEVICE_NOT_CONNECTED);
    return INVALID_HANDLE_VALUE;
  }
  HANDLE handle = device->Main;
  std::lock_guard lock(g_mutex);
  g_devices[handle] = std::move(device);
  return handle;
}

BOOL WINAPI CloseDevice(HANDLE handle) {
  std::unique_ptr<FakeDevice> device;
  {
    std::lock_guard lock(g_mutex);
    const auto found = g_devices.find(handle);
    if (found != g_devices.end()) {
      device = std::move(found->second);
      g_devices.erase(found);
    }
  }
  if (!device) return ::CloseHandle(handle);
  CloseHandle(device->Control);
  return CloseHandle(device->Main);
}

BOOLEAN WINAPI GetAttributes(HANDLE handle, PHIDD_ATTRIBUTES attributes) {
  FakeDevice* device = Device(handle);
  if (!device) return FALSE;
  attributes->VendorID = device->Description.VendorId;
  attributes->ProductID = device->Description.ProductId;
  attributes->VersionNumber = device->Description.Version;
  return TRUE;
}

BOOLEAN WINAPI GetPreparsedData(HANDLE handle, PHIDP_PREPARSED_DATA* preparsed) {
  FakeDevice* device = Device(handle);
  if (!device) return FALSE;
  *preparsed = reinterpret_cast<PHIDP_PREPARSED_DATA>(new FakePreparsed{device->Description});
  return TRUE;
}

BOOLEAN WINAPI FreePreparsedData(PHIDP_PREPARSED_DATA preparsed) {
  delete reinterpret_cast<FakePreparsed*>(preparsed);
  return TRUE;
}

USHORT CountOf(const InterfaceDescription& d, char type) {
  USHORT count = 0;
  for (const auto& report : d.Reports) count += report.Type == type ? 1 : 0;
  return count;
}

NTSTATUS WINAPI GetCaps(PHIDP_PREPARSED_DATA preparsed, PHIDP_CAPS caps) {
  const InterfaceDescription& d = reinterpret_cast<FakePreparsed*>(preparsed)->Description;
  *caps = {};
  caps->UsagePage = d.UsagePage;
  caps->Usage = d.Usage;
  caps->InputReportByteLength = d.LongestOf('i');
  caps->OutputReportByteLength = d.LongestOf('o');
  caps->FeatureReportByteLength = d.LongestOf('f');
  caps->NumberInputValueCaps = CountOf(d, 'i');
  caps->NumberOutputValueCaps = CountOf(d, 'o');
  caps->NumberFeatureValueCaps = CountOf(d, 'f');
  return HIDP_STATUS_SUCCESS;
}

// One 8-bit value array per report id: its bytes after the id.
NTSTATUS WINAPI GetValueCaps(HIDP_REPORT_TYPE type, PHIDP_VALUE_CAPS caps, PUSHORT length,
                             PHIDP_PREPARSED_DATA preparsed) {
  const InterfaceDescription& d = reinterpret_cast<FakePreparsed*>(preparsed)->Description;
  const char wanted = type == HidP_Input ? 'i' : type == HidP_Output ? 'o' : 'f';
  const USHORT count = CountOf(d, wanted);
  if (*length < count) {
    *length = count;
    return HIDP_STATUS_BUFFER_TOO_SMALL;
  }
  USHORT n = 0;
  for (const auto& report : d.Reports) {
    if (report.Type != wanted) continue;
    caps[n] = {};
    caps[n].UsagePage = d.UsagePage;
    caps[n].ReportID = report.Id;
    caps[n].BitSize = 8;
    caps[n].ReportCount = static_cast<USHORT>(report.Length - 1);
    ++n;
  }
  *length = n;
  return HIDP_STATUS_SUCCESS;
}

NTSTATUS WINAPI GetButtonCaps(HIDP_REPORT_TYPE, PHIDP_BUTTON_CAPS, PUSHORT length,
                              PHIDP_PREPARSED_DATA) {
  *length = 0;
  return HIDP_STATUS_SUCCESS;
}

// The request goes out at once; the reply completes the caller's OVERLAPPED like a driver.
BOOL WINAPI DeviceControl(HANDLE handle, DWORD code, LPVOID in, DWORD inLength, LPVOID out,
                          DWORD outLength, LPDWORD returned, LPOVERLAPPED overlapped) {
  FakeDevice* device = Device(handle);
  if (!device) {
    return ::DeviceIoControl(handle, code, in, inLength, out, outLength, returned, overlapped);
  }
  std::string request(reinterpret_cast<const char*>(&code), 4);
  if (in) {
    request.append(static_cast<const char*>(in), inLength);
  } else if (out) {
    request.append(static_cast<const char*>(out), outLength);
  }
  OVERLAPPED sending{};
  sending.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  DWORD sent = 0;
  BOOL ok = WriteFile(device->Control, request.data(), static_cast<DWORD>(request.size()), nullptr,
                      &sending);
  if (!ok && GetLastError() == ERROR_IO_PENDING) {
    if (WaitForSingleObject(sending.hEvent, 2000) != WAIT_OBJECT_0) {
      CancelIoEx(device->Control, &sending);
    }
    ok = GetOverlappedResult(device->Control, &sending, &sent, TRUE);
  }
  CloseHandle(sending.hEvent);
  if (!ok) {
    SetLastError(ERROR_DEVICE_NOT_CONNECTED);
    return FALSE;
  }
  if (out) return ReadFile(device->Control, out, outLength, returned, overlapped);
  return ReadFile(device->Control, &device->Ack, 1, returned, overlapped);
}

BOOL WINAPI CancelDevice(HANDLE handle, LPOVERLAPPED overlapped) {
  FakeDevice* device = Device(handle);
  if (!device) return ::CancelIoEx(handle, overlapped);
  const BOOL data = device->HasData ? ::CancelIoEx(device->Main, overlapped) : FALSE;
  const BOOL control = ::CancelIoEx(device->Control, overlapped);
  if (data || control) return TRUE;
  SetLastError(ERROR_NOT_FOUND);
  return FALSE;
}

// Reads the bus's notices and tells every registered window, as the system would; a new bus
// (the next test) is connected again, as long as a window listens.
void RunNotices() {
  for (;;) {
    {
      std::lock_guard lock(g_mutex);
      if (g_listeners.empty()) {
        g_noticesStarted = false;
        return;
      }
    }
    const std::wstring name = BusName();
    HANDLE pipe = name.empty() ? INVALID_HANDLE_VALUE : ConnectPipe(name, 0);
    if (pipe == INVALID_HANDLE_VALUE) {
      Sleep(100);
      continue;
    }
    DWORD written = 0;
    WriteFile(pipe, &fake_hid::kNotices, 1, &written, nullptr);
    ServeNotices(pipe);
    CloseHandle(pipe);
  }
}

void ServeNotices(HANDLE pipe) {
  for (;;) {
    const std::string notice = ReadMessage(pipe);
    if (notice.empty()) break;
    std::vector<HWND> windows;
    {
      std::lock_guard lock(g_mutex);
      windows = g_listeners;
    }
    DEV_BROADCAST_DEVICEINTERFACE_W broadcast{};
    broadcast.dbcc_size = sizeof broadcast;
    broadcast.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    broadcast.dbcc_classguid = kHidGuid;
    const WPARAM event = notice == "A" ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
    for (HWND window : windows) {
      DWORD_PTR result = 0;
      SendMessageTimeoutW(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&broadcast),
                          SMTO_NORMAL, 5000, &result);
    }
  }
}

HDEVNOTIFY WINAPI RegisterNotification(HANDLE recipient, LPVOID, DWORD) {
  std::lock_guard lock(g_mutex);
  if (BusName().empty()) {
    SetLastError(ERROR_SERVICE_NOT_ACTIVE);
    return nullptr;
  }
  g_listeners.push_back(static_cast<HWND>(recipient));
  if (!g_noticesStarted) {
    g_noticesStarted = true;
    std::thread(RunNotices).detach();
  }
  return static_cast<HDEVNOTIFY>(recipient);
}

BOOL WINAPI UnregisterNotification(HDEVNOTIFY notification) {
  std::lock_guard lock(g_mutex);
  std::erase(g_listeners, static_cast<HWND>(notification));
  return TRUE;
}

}  // namespace

const HidApi& HidApiInUse() {
  static const HidApi api = {
      &GetHidGuid,
      &GetClassDevs,
      &EnumDeviceInterfaces,
      &GetDeviceInterfaceDetail,
      &DestroyDeviceInfoList,
      &GetDeviceInterfaceProperty,
      &LocateDevNode,
      &GetDevNodeProperty,
      &OpenDevice,
      &CloseDevice,
      &GetAttributes,
      &GetPreparsedData,
      &FreePreparsedData,
      &GetCaps,
      &GetValueCaps,
      &GetButtonCaps,
      &DeviceControl,
      &CancelDevice,
      &RegisterNotification,
      &UnregisterNotification,
  };
  return api;
}
