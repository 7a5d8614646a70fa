#include "agent/win32/tarnhid_dlg.h"

#include <shellapi.h>

#include "agent/agent_requests.h"
#include "agent/input_report_handler.h"
#include "agent/win32/basic_function_executor.h"
#include "agent/win32/pointer_settings.h"
#include "conduit/conduit.h"
#include "contract/mouse_map.h"
#include "contract/program_names.h"
#include "settings/file_io.h"
#include "settings/folders.h"
#include "settings/macro_library.h"
#include "settings/profile_files.h"
#include "settings/skin_texts.h"
#include "settings/win32/system_folders.h"
#include "win/text.h"
#include "win/unique_handle.h"

namespace {

HWND FindByTitle(const char16_t* title) {
  return FindWindowW(nullptr, AsWide(title));
}

constexpr UINT kTrayIconId = 128;
constexpr wchar_t kTrayTip[] = L"Vireo Gaming Mouse";
// The tray menu's texts: keys 1 and 2 of this section of the skin text file.
constexpr char16_t kTrayMenuSection[] = u"BEACON";

// The device and collections Conduit.dll watches: the Vireo's consumer and vendor collections.
constexpr ConduitOpenParams kConduitOpenParams = {
    .VendorId = device_map::kVendorId,
    .ProductId = device_map::kProductId,
    .CollectionCount = 2,
    .Usage0 = device_map::kCollectionUsage,
    .UsagePage0 = device_map::kConsumerUsagePage,
    .Usage1 = device_map::kCollectionUsage,
    .UsagePage1 = device_map::kVendorUsagePage,
};

// What the input callback works with. It may run on a thread of the library, so it touches no
// window member: it only logs, posts and hands functions to the executor, none of which keeps
// state. Built on first use, which is on the window thread before the callback is registered.
InputReportHandler& ProcessInputHandler() {
  static DebuggerLog log;
  static ConfiguratorWindowPoster poster;
  static BasicFunctionExecutor executor;
  static InputReportHandler handler(log, poster, executor);
  return handler;
}

void __stdcall OnConduitInput(uint32_t deviceId, const uint8_t* report, uint32_t length) {
  const std::span<const uint8_t> bytes =
      report ? std::span<const uint8_t>(report, length) : std::span<const uint8_t>();
  ProcessInputHandler().OnInputReport(deviceId, bytes, reinterpret_cast<std::uintptr_t>(report));
}

}  // namespace

CTarnhidDlg::CTarnhidDlg() = default;
CTarnhidDlg::~CTarnhidDlg() = default;

bool CTarnhidDlg::CreateAgentWindow() {
  return Create(0, AsWide(program_names::kAgentWindowTitle), WS_POPUP, 100, 100, 100, 100);
}

LRESULT CTarnhidDlg::OnCreate(const CREATESTRUCTW&) {
  InitProcessFolders();
  const std::u16string& data = DataFolder();
  // The link starts closed (m_deviceLinkOpen 0) and only this thread ever uses it.
  m_session =
      std::make_unique<DeviceSession>(m_profileSet, data,
                                      DeviceSessionPorts{m_deviceLink, m_sleeper, m_progress, m_log,
                                                         m_configuratorPoster, *this, *this});

  // First run: neither the first profile file nor the data folder exists yet.
  if (!FileExists(ProfileFilePath(data, 1)) && !FolderExists(data)) {
    if (CreateFolder(data)) CreateFolder(MacroFolderPath(data));
  }
  m_mouseSettingsKey.Open(kMouseSettingsKey, KEY_ALL_ACCESS);
  ReloadProfiles();

  // Never shown in the task bar.
  SetWindowLongPtrW(Hwnd(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);

  m_session->SetDeviceLinkOpen(OpenDeviceLink() ? 1 : 0);
  m_session->RecordDeviceState(m_session->DeviceLinkOpen());
  SetWindowTextW(Hwnd(), AsWide(program_names::kAgentWindowTitle));
  AddTrayIcon();

  m_session->SyncWindowsPointerSpeed(true);
  SetTimer(agent_msg::kFirstRunTimer, agent_msg::kFirstRunDelayMs);
  return 0;
}

void CTarnhidDlg::ReloadProfiles() {
  m_session->ReloadProfiles();
}

bool CTarnhidDlg::OpenDeviceLink() {
  ProcessInputHandler();
  ConduitConfigure(&kConduitOpenParams);
  ConduitSetInputCallback(&OnConduitInput);
  return ConduitRegisterWindow(Hwnd(), agent_msg::kDeviceNotify) != FALSE;
}

void CTarnhidDlg::StartBeacon() {
  // The program folder without its trailing backslash, then "\beacon.exe".
  std::wstring folder = ToWide(ProgramFolder());
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  const std::wstring program = folder + L"\\" + AsWide(program_names::kBeaconProgram);
  // Without the program the shell would only complain to the user.
  if (GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  ShellExecuteW(nullptr, L"open", program.c_str(), nullptr, nullptr, SW_SHOW);
}

std::optional<std::u16string> CTarnhidDlg::ReadPointerSpeedText() {
  return ReadMouseSetting(m_mouseSettingsKey, L"MouseSensitivity");
}

void CTarnhidDlg::OnFirstRunTimer() {
  KillTimer(agent_msg::kFirstRunTimer);
  if (MacroLibrary(DataFolder()).TakeFirstOpen()) StartConfigurator();
}

void CTarnhidDlg::StartConfigurator() {
  // The program folder is the module path cut after its last backslash.
  const std::wstring program =
      ToWide(ProgramFolder()) + AsWide(program_names::kConfiguratorProgram);
  ShellExecuteW(nullptr, L"open", program.c_str(), nullptr, nullptr, SW_SHOW);
}

void CTarnhidDlg::OpenConfigurator() {
  if (HWND configurator = FindConfiguratorWindow()) {
    if (IsIconic(configurator)) ShowWindow(configurator, SW_SHOWNORMAL);
    SetForegroundWindow(configurator);
    SetActiveWindow(configurator);
    return;
  }
  StartConfigurator();
}

void CTarnhidDlg::OnExitCommand() {
  if (HWND configurator = FindConfiguratorWindow()) {
    PostMessageW(configurator, WM_CLOSE, 0, 0);
  }
  Destroy();
}

void CTarnhidDlg::OnDestroy() {
  // Gone at once, so it cannot be clicked while the agent is ending.
  m_notifyIcon.Remove();
  if (HWND configurator = FindConfiguratorWindow()) {
    PostMessageW(configurator, WM_CLOSE, 0, 0);
  }
  if (HWND beacon = FindByTitle(program_names::kBeaconWindowTitle)) {
    PostMessageW(beacon, WM_CLOSE, 0, 0);
  }
  // Give them a moment to close while the agent still answers.
  Sleep(1000);
  m_mouseSettingsKey.Close();
  // The library stays loaded to the end of the process; its threads must not call into the
  // agent while the process takes its objects down.
  ConduitSetInputCallback(nullptr);
}

void CTarnhidDlg::ApplyPointerSettings() {
  const int current = m_profileSet.CurrentProfile;
  ::ApplyPointerSettings(m_profileSet.Profiles[current], m_mouseSettingsKey, Hwnd());
}

void CTarnhidDlg::OnApplyAll() {
  ReloadProfiles();
  ApplyPointerSettings();
  m_session->SendAll2Mouse();
}

void CTarnhidDlg::OnPollingRate() {
  ReloadProfiles();
  m_session->WritePollingRateChange();
}

void CTarnhidDlg::OnProfileSelected() {
  ReloadProfiles();
  ApplyPointerSettings();
  m_session->WriteProfileSelection();
}

void CTarnhidDlg::OnLightingChanged() {
  ReloadProfiles();
  m_session->WriteLightingChange();
}

// A macro was saved or removed. No reload: only the macro's own area concerns the mouse.
LRESULT CTarnhidDlg::OnMacroChanged(WPARAM slot, LPARAM clear) {
  if (const auto request = ParseMacroAreaRequest(slot, clear)) {
    m_session->WriteMacroChange(*request);
  }
  return 0;
}

LRESULT CTarnhidDlg::OnButtonMacro(WPARAM profile, LPARAM button) {
  const auto request = ParseButtonRequest(profile, button);
  if (!request) return 0;
  ReloadProfiles();
  m_session->WriteButtonChange(*request);
  return 0;
}

// The mouse library's open/close notification; default processing follows. The record behind
// lParam is only valid, and only ours to read, when the library sent it from this thread (posted
// ones never get here, see OnlyFromOwnThread).
LRESULT CTarnhidDlg::OnDeviceNotify(WPARAM kind, LPARAM record) {
  if (InSendMessageEx(nullptr) != ISMEX_NOSEND) return 0;
  if (kind != 1 || record == 0) return 0;
  const auto* notification = reinterpret_cast<const ConduitNotification*>(record);
  m_session->OnCollectionNotification({notification->EventKind, notification->DeviceId,
                                       notification->DeviceKey, notification->UsagePage});
  return 0;
}

void CTarnhidDlg::AddTrayIcon() {
  m_notifyIcon.Add(Hwnd(), kTrayIconId, agent_msg::kTrayCallback, GetModuleHandleW(nullptr),
                   kTrayTip);
}

// The shell restarted and lost every icon: put ours back.
void CTarnhidDlg::OnTaskbarCreated() {
  m_notifyIcon.Restore();
}

LRESULT CTarnhidDlg::OnTrayCallback(WPARAM, LPARAM mouseMessage) {
  switch (static_cast<UINT>(mouseMessage)) {
    case WM_LBUTTONDOWN:
      if (HWND configurator = FindConfiguratorWindow()) {
        PostMessageW(configurator, WM_CLOSE, 0, 0);
      } else {
        OpenConfigurator();
      }
      break;
    case WM_LBUTTONDBLCLK:
      OpenConfigurator();
      break;
    case WM_RBUTTONDOWN:
      ShowTrayMenu();
      break;
    default:
      break;
  }
  return 0;
}

void CTarnhidDlg::ShowTrayMenu() {
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(GetLastActivePopup(Hwnd()));
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return;
  const std::wstring open = ToWide(SkinText(kTrayMenuSection, 1));
  const std::wstring exit = ToWide(SkinText(kTrayMenuSection, 2));
  AppendMenuW(menu.get(), MF_STRING, agent_msg::kCommandOpenConfigurator, open.c_str());
  AppendMenuW(menu.get(), MF_STRING, agent_msg::kCommandExit, exit.c_str());
  POINT cursor{};
  GetCursorPos(&cursor);
  // The choice arrives as WM_COMMAND once the menu has closed.
  TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, 0, Hwnd(),
                 nullptr);
  // Lets the menu close properly when it is opened again right away.
  PostMessageW(Hwnd(), WM_NULL, 0, 0);
}

LRESULT CTarnhidDlg::OnMouseData(WPARAM code, LPARAM) {
  m_session->OnMouseData(static_cast<unsigned>(code));
  return 0;
}
