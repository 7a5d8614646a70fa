#include "conduit/hid_transport.h"

#include <dbt.h>
#include <setupapi.h>

#include "conduit/hid_api.h"

#include <set>
#include <vector>

namespace {

constexpr wchar_t kClassName[] = L"ConduitHidWatchWindow";
constexpr UINT kRescanMessage = WM_APP + 1;
constexpr DWORD kFirstLookMilliseconds = 5000;

HINSTANCE LibraryInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&LibraryInstance), &module);
  return module;
}

// Paths of the HID interfaces present now.
std::set<std::wstring> PresentInterfaces() {
  std::set<std::wstring> paths;
  GUID hidGuid;
  HidD_GetHidGuid(&hidGuid);
  HDEVINFO set =
      SetupDiGetClassDevsW(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return paths;
  SP_DEVICE_INTERFACE_DATA entry{};
  entry.cbSize = sizeof(entry);
  for (DWORD index = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &hidGuid, index, &entry);
       ++index) {
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailW(set, &entry, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
    std::vector<unsigned char> storage(size);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (SetupDiGetDeviceInterfaceDetailW(set, &entry, detail, size, nullptr, nullptr)) {
      paths.insert(detail->DevicePath);
    }
  }
  SetupDiDestroyDeviceInfoList(set);
  return paths;
}

}  // namespace

HidTransport::HidTransport(const ConduitWatch& watch, ConduitEventSink& sink)
    : m_watch(watch), m_sink(sink) {}

HidTransport::~HidTransport() {
  Stop();
}

bool HidTransport::Start() {
  m_firstLookEvent.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!m_firstLookEvent) return false;
  if (!m_thread.Start([this] { Run(); })) return false;
  WaitForSingleObject(m_firstLookEvent.get(), kFirstLookMilliseconds);
  std::lock_guard lock(m_mutex);
  return !m_open.empty();
}

void HidTransport::Stop() {
  if (!m_thread.Running()) return;
  // The thread's queue exists once the first look is done, which Start waited for.
  WaitForSingleObject(m_firstLookEvent.get(), INFINITE);
  PostThreadMessageW(m_thread.Id(), WM_QUIT, 0, 0);
  m_thread.Join();
}

void HidTransport::Run() {
  HINSTANCE instance = LibraryInstance();
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &HidTransport::WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);
  m_window =
      CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
  HDEVNOTIFY notification = nullptr;
  if (m_window) {
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    HidD_GetHidGuid(&filter.dbcc_classguid);
    notification = RegisterDeviceNotificationW(m_window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
  }
  Rescan();
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before Stop can post
  SetEvent(m_firstLookEvent.get());
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    DispatchMessageW(&message);
  }
  if (notification) UnregisterDeviceNotification(notification);
  CloseAll(false);
  if (m_window) DestroyWindow(m_window);
  m_window = nullptr;
}

LRESULT CALLBACK HidTransport::WindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<HidTransport*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_DEVICECHANGE:
      if (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) {
        // Answer the system at once; the look at the devices follows as a posted message.
        PostMessageW(window, kRescanMessage, 0, 0);
      }
      return TRUE;
    case kRescanMessage: {
      MSG more;  // several changes in a row need one look
      while (PeekMessageW(&more, window, kRescanMessage, kRescanMessage, PM_REMOVE)) {
      }
      try {
        self->Rescan();
      } catch (...) {
      }
      return 0;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void HidTransport::Rescan() {
  const std::set<std::wstring> presentPaths = PresentInterfaces();

  std::vector<std::shared_ptr<HidCollection>> gone;
  // Open ones stay; one whose reading failed while it is still present is not opened again
  // before the next device change, so a collection that keeps failing cannot spin.
  std::set<std::wstring> skipPaths;
  {
    std::lock_guard lock(m_mutex);
    for (auto it = m_open.begin(); it != m_open.end();) {
      const bool present = presentPaths.count(it->second->Path()) != 0;
      if (!present || it->second->Lost()) {
        if (present) skipPaths.insert(it->second->Path());
        gone.push_back(it->second);
        it = m_open.erase(it);
      } else {
        skipPaths.insert(it->second->Path());
        ++it;
      }
    }
  }
  for (const auto& collection : gone) {
    collection->Close();
    m_sink.CollectionClosed(collection->DeviceId(), collection->Capabilities().UsagePage,
                            collection->Capabilities().Usage);
  }

  for (const std::wstring& path : presentPaths) {
    if (skipPaths.count(path)) continue;
    std::shared_ptr<HidCollection> collection = TryOpen(path);
    if (!collection) continue;
    HWND window = m_window;
    collection->StartReading([this](uint32_t id, const uint8_t* report,
                                    uint32_t length) { m_sink.InputReport(id, report, length); },
                             [window] { PostMessageW(window, kRescanMessage, 0, 0); });
    {
      std::lock_guard lock(m_mutex);
      m_open[collection->DeviceId()] = collection;
    }
    m_sink.CollectionOpened(collection->DeviceId(), collection->Capabilities().UsagePage,
                            collection->Capabilities().Usage);
  }
}

std::shared_ptr<HidCollection> HidTransport::TryOpen(const std::wstring& path) {
  // A look without access rights works even for collections the system holds exclusively.
  UniqueKernelHandle probe(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
  if (!probe) return nullptr;
  HIDD_ATTRIBUTES attributes{};
  attributes.Size = sizeof(attributes);
  if (!HidD_GetAttributes(probe.get(), &attributes) ||
      !m_watch.IsDevice(attributes.VendorID, attributes.ProductID)) {
    return nullptr;
  }
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  if (!HidD_GetPreparsedData(probe.get(), &preparsed)) return nullptr;
  HIDP_CAPS hidCaps{};
  const bool haveCaps = HidP_GetCaps(preparsed, &hidCaps) == HIDP_STATUS_SUCCESS;
  HidD_FreePreparsedData(preparsed);
  if (!haveCaps || !m_watch.Watches(hidCaps.UsagePage, hidCaps.Usage)) return nullptr;
  probe.reset();

  UniqueKernelHandle handle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OVERLAPPED, nullptr));
  if (!handle) return nullptr;

  HidCollection::Caps caps;
  caps.UsagePage = hidCaps.UsagePage;
  caps.Usage = hidCaps.Usage;
  caps.InputLength = hidCaps.InputReportByteLength;
  caps.OutputLength = hidCaps.OutputReportByteLength;
  caps.FeatureLength = hidCaps.FeatureReportByteLength;

  auto [entry, added] = m_idOfPath.try_emplace(path, m_nextId);
  if (added) ++m_nextId;
  return std::make_shared<HidCollection>(path, entry->second, std::move(handle), caps);
}

std::shared_ptr<HidCollection> HidTransport::Find(uint32_t deviceId) {
  std::lock_guard lock(m_mutex);
  const auto found = m_open.find(deviceId);
  return found == m_open.end() ? nullptr : found->second;
}

void HidTransport::CloseAll(bool report) {
  std::map<uint32_t, std::shared_ptr<HidCollection>> closing;
  {
    std::lock_guard lock(m_mutex);
    closing.swap(m_open);
  }
  for (const auto& [id, collection] : closing) {
    collection->Close();
    if (report) {
      m_sink.CollectionClosed(id, collection->Capabilities().UsagePage,
                              collection->Capabilities().Usage);
    }
  }
}

bool HidTransport::Write(uint32_t deviceId, const uint8_t* report, uint32_t length) {
  const auto collection = Find(deviceId);
  return collection && collection->Write(report, length);
}

bool HidTransport::Read(uint32_t deviceId, uint8_t* buffer, uint32_t length) {
  const auto collection = Find(deviceId);
  if (!collection) {
    if (buffer) ClearAnswer(buffer, length);
    return false;
  }
  return collection->Read(buffer, length);
}
