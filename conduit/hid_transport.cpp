#include "conduit/hid_transport.h"

#include <dbt.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <set>
#include <vector>

#include "conduit/conduit_log.h"
#include "conduit/window_creation.h"
#include "win/module_instance.h"

namespace {

constexpr wchar_t kClassName[] = L"ConduitHidWatchWindow";
constexpr UINT kWakeMessage = WM_APP + 1;
constexpr UINT_PTR kRetryTimer = 1;
constexpr UINT_PTR kPollTimer = 2;
constexpr UINT kPollMilliseconds = 2000;
constexpr DWORD kFirstLookMilliseconds = 5000;
constexpr ULONGLONG kRetryDelays[] = {500, 2000, 5000};
constexpr ULONGLONG kNever = ~0ull;

// Device properties, as devpkey.h defines them (not every SDK has definitions to link).
constexpr DEVPROPKEY kInstanceIdKey = {
    {0x78c34fc8, 0x104a, 0x4aca, {0x9e, 0xa4, 0x52, 0x4d, 0x52, 0x99, 0x6e, 0x57}}, 256};
constexpr DEVPROPKEY kContainerIdKey = {
    {0x8c7ed206, 0x3f8a, 0x4827, {0xb3, 0xab, 0xae, 0x9e, 0x1f, 0xae, 0xfc, 0x6c}}, 2};

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (wchar_t c : text) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return narrow;
}

// Paths of the HID interfaces present now.
std::set<std::wstring> PresentInterfaces(const HidApi& api) {
  std::set<std::wstring> paths;
  GUID hidGuid;
  api.GetHidGuid(&hidGuid);
  UniqueDeviceInfoList set(
      api.GetClassDevs(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  if (!set) {
    ConduitLog("SetupDiGetClassDevsW failed: error %lu", GetLastError());
    return paths;
  }
  SP_DEVICE_INTERFACE_DATA entry{};
  entry.cbSize = sizeof(entry);
  for (DWORD index = 0; api.EnumDeviceInterfaces(set.get(), nullptr, &hidGuid, index, &entry);
       ++index) {
    DWORD size = 0;
    api.GetDeviceInterfaceDetail(set.get(), &entry, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
    std::vector<unsigned char> storage(size);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (api.GetDeviceInterfaceDetail(set.get(), &entry, detail, size, nullptr, nullptr)) {
      paths.insert(detail->DevicePath);
    }
  }
  return paths;
}

// The path without its collection parts, what the collections of one interface share when
// the system tells no container: "\\?\hid#vid_04d9&pid_fc5d&mi_01&col02#8&2c1f&0&0001#{...}"
// loses "&col02" from the hardware id and the last part ("&0001") of the instance id.
std::wstring WithoutCollection(const std::wstring& path) {
  std::wstring lower = Lower(path);
  const auto at = lower.find(L"&col");
  if (at != std::wstring::npos) {
    auto end = at + 4;
    while (end < lower.size() && std::iswxdigit(lower[end])) ++end;
    lower.erase(at, end - at);
  }
  const auto instance = lower.find(L'#', lower.find(L'#') + 1);
  const auto instanceEnd = lower.find(L'#', instance + 1);
  if (instance != std::wstring::npos && instanceEnd != std::wstring::npos) {
    const auto last = lower.rfind(L'&', instanceEnd);
    if (last != std::wstring::npos && last > instance) lower.erase(last, instanceEnd - last);
  }
  return lower;
}

}  // namespace

HidTransport::HidTransport(const ConduitWatch& watch, ConduitEventSink& sink)
    : m_api(HidApiInUse()), m_watch(watch), m_sink(sink) {}

HidTransport::~HidTransport() {
  Stop();
}

bool HidTransport::Start() {
  m_stopEvent.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  m_firstLookEvent.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!m_stopEvent || !m_firstLookEvent) return false;
  if (!m_thread.Start([this] { Run(); })) return false;
  HANDLE waits[] = {m_firstLookEvent.get(), m_thread.Handle()};
  WaitForMultipleObjects(2, waits, FALSE, kFirstLookMilliseconds);
  std::lock_guard lock(m_mutex);
  return !m_open.empty();
}

void HidTransport::Stop() {
  if (!m_thread.Running()) return;
  SetEvent(m_stopEvent.get());
  m_thread.Join();
  // A thread that ended early (it cannot throw past its body) leaves its collections open.
  CloseAll();
}

void HidTransport::Run() {
  HINSTANCE instance = ThisModuleInstance();
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &HidTransport::WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);  // fails harmlessly when already registered
  {
    const WindowCreation creation(this);
    m_window =
        CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
  }
  if (!m_window) ConduitLog("the watch window could not be created: error %lu", GetLastError());
  UniqueDeviceNotification notification;
  if (m_window) {
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    m_api.GetHidGuid(&filter.dbcc_classguid);
    notification.reset(
        m_api.RegisterDeviceNotification(m_window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
    if (!notification) {
      ConduitLog("RegisterDeviceNotificationW failed: error %lu; looking every %u ms instead",
                 GetLastError(), kPollMilliseconds);
      m_polling = SetTimer(m_window, kPollTimer, kPollMilliseconds, nullptr) != 0;
    }
  }
  try {
    Rescan();
  } catch (...) {
    ConduitLog("the first look at the devices failed");
  }
  SetEvent(m_firstLookEvent.get());
  Pump();
  notification.reset();
  CloseAll();
  m_destroyingWindow = true;
  if (m_window) DestroyWindow(m_window);
  m_window = nullptr;
}

void HidTransport::Pump() {
  HANDLE stop = m_stopEvent.get();
  for (;;) {
    const DWORD woken = MsgWaitForMultipleObjectsEx(1, &stop, INFINITE, QS_ALLINPUT, 0);
    if (woken != WAIT_OBJECT_0 + 1) return;  // stopped, or the wait failed
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return;
      DispatchMessageW(&message);
    }
  }
}

void HidTransport::RequestRescan() {
  m_rescanRequested = true;
  if (m_window) PostMessageW(m_window, kWakeMessage, 0, 0);
}

LRESULT CALLBACK HidTransport::WindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<HidTransport*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    // Bound once, by its creation; the same number from outside is nothing.
    void* created = self ? nullptr : WindowCreation::Bindable(lParam);
    if (!created) return 0;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    return DefWindowProcW(window, message, wParam, lParam);
  }
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  // Only the end the watch thread itself brings about.
  if (message == WM_NCDESTROY && !self->m_destroyingWindow) return 0;
  try {
    switch (message) {
      case WM_DEVICECHANGE:
        // Only a look at what is present follows, whoever sent it; lParam is never read.
        if (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) {
          self->m_retries.clear();  // a change gives every interface a new chance
          self->RequestRescan();    // answer the system at once
        }
        return TRUE;
      case kWakeMessage:
        if (self->m_rescanRequested.exchange(false)) self->Rescan();
        return 0;
      case WM_TIMER:
        // A WM_TIMER posted from outside only brings a look forward.
        if (wParam == kRetryTimer || (wParam == kPollTimer && self->m_polling)) self->Rescan();
        return 0;
      case WM_CLOSE:
        return 0;  // ended by its own thread only
      case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
      default:
        break;
    }
  } catch (...) {
    ConduitLog("a look at the devices failed");
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool HidTransport::NamesWatchedDevice(const std::wstring& path) const {
  wchar_t ids[32];
  std::swprintf(ids, 32, L"vid_%04x&pid_%04x", m_watch.VendorId, m_watch.ProductId);
  return m_watch.CollectionCount > 0 && Lower(path).find(ids) != std::wstring::npos;
}

void HidTransport::ScheduleRetry(const std::wstring& path, ULONGLONG now) {
  Retry& retry = m_retries[path];
  const int attempt = retry.Attempts++;
  const int delays = static_cast<int>(std::size(kRetryDelays));
  retry.Due = attempt < delays ? now + kRetryDelays[attempt] : kNever;
  if (retry.Due == kNever) {
    ConduitLog("%s: given up until the next device change", Narrow(path).c_str());
  }
}

void HidTransport::ArmRetryTimer(ULONGLONG now) {
  if (!m_window) return;
  ULONGLONG soonest = kNever;
  for (const auto& [path, retry] : m_retries) soonest = std::min(soonest, retry.Due);
  if (soonest == kNever) {
    KillTimer(m_window, kRetryTimer);
    return;
  }
  const ULONGLONG wait = soonest > now ? soonest - now : 0;
  SetTimer(m_window, kRetryTimer, static_cast<UINT>(std::max<ULONGLONG>(wait, USER_TIMER_MINIMUM)),
           nullptr);
}

void HidTransport::Rescan() {
  std::set<std::wstring> presentPaths;
  for (const std::wstring& path : PresentInterfaces(m_api)) {
    if (NamesWatchedDevice(path)) presentPaths.insert(path);
  }
  const ULONGLONG now = GetTickCount64();

  std::vector<std::shared_ptr<HidCollection>> gone;
  std::set<std::wstring> openPaths;
  {
    std::lock_guard lock(m_mutex);
    for (auto it = m_open.begin(); it != m_open.end();) {
      const std::wstring& path = it->second->Id().Path;
      const bool present = presentPaths.count(path) != 0;
      if (!present || it->second->Lost()) {
        // Still present but its reader failed: opened again after a pause, not at once, so a
        // collection that keeps failing cannot spin.
        if (present) ScheduleRetry(path, now);
        gone.push_back(it->second);
        it = m_open.erase(it);
      } else {
        openPaths.insert(path);
        ++it;
      }
    }
  }
  for (const auto& collection : gone) {
    collection->Close();
    const HidCollection::Identity& id = collection->Id();
    ConduitLog("closed %s (id %u)", Narrow(id.Path).c_str(), id.DeviceId);
    m_sink.CollectionClosed(id.DeviceId, id.DeviceKey, id.UsagePage, id.Usage);
  }
  // Paths that left forget their retries.
  std::erase_if(m_retries, [&](const auto& entry) { return !presentPaths.count(entry.first); });

  for (const std::wstring& path : presentPaths) {
    if (openPaths.count(path)) continue;
    const auto retry = m_retries.find(path);
    if (retry != m_retries.end() && retry->second.Due > now) continue;
    bool retryable = false;
    std::shared_ptr<HidCollection> collection = TryOpen(path, retryable);
    if (!collection) {
      if (retryable) ScheduleRetry(path, now);
      continue;
    }
    m_retries.erase(path);
    collection->StartReading([this](uint32_t id, const uint8_t* report,
                                    uint32_t length) { m_sink.InputReport(id, report, length); },
                             [this] { RequestRescan(); });
    const HidCollection::Identity id = collection->Id();
    {
      std::lock_guard lock(m_mutex);
      m_open[id.DeviceId] = std::move(collection);
    }
    m_sink.CollectionOpened(id.DeviceId, id.DeviceKey, id.UsagePage, id.Usage);
  }
  ArmRetryTimer(now);
}

std::shared_ptr<HidCollection> HidTransport::TryOpen(const std::wstring& path, bool& retry) {
  retry = false;
  const std::string name = Narrow(path);
  // A look without access rights works even for collections the system holds exclusively.
  UniqueHidDevice probe(m_api.CreateFile(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
  if (!probe) {
    ConduitLog("%s: CreateFileW for a look failed: error %lu", name.c_str(), GetLastError());
    retry = true;
    return nullptr;
  }
  HIDD_ATTRIBUTES attributes{};
  attributes.Size = sizeof(attributes);
  if (!m_api.GetAttributes(probe.get(), &attributes)) {
    ConduitLog("%s: HidD_GetAttributes failed: error %lu", name.c_str(), GetLastError());
    retry = true;
    return nullptr;
  }
  if (!m_watch.IsDevice(attributes.VendorID, attributes.ProductID)) return nullptr;
  PHIDP_PREPARSED_DATA preparsedData = nullptr;
  if (!m_api.GetPreparsedData(probe.get(), &preparsedData)) {
    ConduitLog("%s: HidD_GetPreparsedData failed: error %lu", name.c_str(), GetLastError());
    retry = true;
    return nullptr;
  }
  UniquePreparsedData preparsed(preparsedData);
  HIDP_CAPS caps{};
  if (m_api.GetCaps(preparsed.get(), &caps) != HIDP_STATUS_SUCCESS) {
    ConduitLog("%s: HidP_GetCaps failed", name.c_str());
    return nullptr;
  }
  if (!m_watch.Watches(caps.UsagePage, caps.Usage)) return nullptr;
  HidReportTable reports;
  if (!reports.Read(m_api, preparsed.get(), caps)) {
    ConduitLog("%s: the report capabilities could not be read", name.c_str());
    return nullptr;
  }
  preparsed.reset();
  probe.reset();

  bool readWrite = true;
  UniqueHidDevice handle(m_api.CreateFile(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
  if (!handle) {
    // Without access rights the report IOCTLs still work; there is no reader then.
    ConduitLog(
        "%s: CreateFileW for reading and writing failed: error %lu; opening without "
        "access",
        name.c_str(), GetLastError());
    readWrite = false;
    handle.reset(m_api.CreateFile(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (!handle) {
      ConduitLog("%s: CreateFileW without access failed: error %lu", name.c_str(), GetLastError());
      retry = true;
      return nullptr;
    }
  }

  HidCollection::Identity identity;
  identity.Path = path;
  identity.UsagePage = caps.UsagePage;
  identity.Usage = caps.Usage;
  auto [entry, added] = m_idOfPath.try_emplace(path, m_nextId);
  if (added) ++m_nextId;
  identity.DeviceId = entry->second;
  identity.DeviceKey = DeviceKeyOf(path);
  ConduitLog(
      "opened %s: id %u, device %u, vendor %04X product %04X version %04X, page %04X "
      "usage %04X, %s; %s",
      name.c_str(), identity.DeviceId, identity.DeviceKey, attributes.VendorID,
      attributes.ProductID, attributes.VersionNumber, caps.UsagePage, caps.Usage,
      readWrite ? "read/write" : "no access (feature reports only, no reader)",
      reports.Describe().c_str());
  return std::make_shared<HidCollection>(m_api, std::move(identity), std::move(handle), readWrite,
                                         reports);
}

uint32_t HidTransport::DeviceKeyOf(const std::wstring& path) {
  std::wstring device;
  // interface → device instance → its container: the same for every interface of the mouse.
  wchar_t instance[512] = {};
  ULONG size = sizeof instance;
  DEVPROPTYPE type = 0;
  DEVINST node = 0;
  GUID container{};
  ULONG containerSize = sizeof container;
  if (m_api.GetDeviceInterfaceProperty &&
      m_api.GetDeviceInterfaceProperty(path.c_str(), &kInstanceIdKey, &type,
                                       reinterpret_cast<PBYTE>(instance), &size, 0) == CR_SUCCESS &&
      type == DEVPROP_TYPE_STRING &&
      m_api.LocateDevNode(&node, instance, CM_LOCATE_DEVNODE_NORMAL) == CR_SUCCESS &&
      m_api.GetDevNodeProperty(node, &kContainerIdKey, &type, reinterpret_cast<PBYTE>(&container),
                               &containerSize, 0) == CR_SUCCESS &&
      type == DEVPROP_TYPE_GUID) {
    wchar_t text[40];
    std::swprintf(text, 40, L"{%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}",
                  static_cast<unsigned long>(container.Data1), container.Data2, container.Data3,
                  container.Data4[0], container.Data4[1], container.Data4[2], container.Data4[3],
                  container.Data4[4], container.Data4[5], container.Data4[6], container.Data4[7]);
    device = text;
  } else {
    ConduitLog("%s: no container id; paired by its path", Narrow(path).c_str());
    device = WithoutCollection(path);
  }
  auto [entry, added] =
      m_keyOfDevice.try_emplace(device, static_cast<uint32_t>(m_keyOfDevice.size() + 1));
  return entry->second;
}

std::shared_ptr<HidCollection> HidTransport::Find(uint32_t deviceId) {
  std::lock_guard lock(m_mutex);
  const auto found = m_open.find(deviceId);
  return found == m_open.end() ? nullptr : found->second;
}

void HidTransport::CloseAll() {
  std::map<uint32_t, std::shared_ptr<HidCollection>> closing;
  {
    std::lock_guard lock(m_mutex);
    closing.swap(m_open);
  }
  for (const auto& [id, collection] : closing) collection->Close();
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
