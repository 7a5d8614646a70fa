#include "agent/win32/tarnhid_dlg.h"

#include <shellapi.h>

#include "agent/agent_requests.h"
#include "settings/file_io.h"
#include "settings/folders.h"
#include "settings/ini_document.h"
#include "settings/ini_file.h"
#include "settings/profile_files.h"
#include "settings/win32/system_folders.h"
#include "win/text.h"

namespace {

const wchar_t* W(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}

HWND FindByTitle(const char16_t* title) {
  return FindWindowW(nullptr, W(title));
}

}  // namespace

CTarnhidDlg::CTarnhidDlg() = default;
CTarnhidDlg::~CTarnhidDlg() = default;

bool CTarnhidDlg::CreateAgentWindow() {
  return Create(0, W(agent_names::kAgentWindowTitle), WS_POPUP, 100, 100, 100, 100);
}

LRESULT CTarnhidDlg::OnCreate(const CREATESTRUCTW&) {
  m_deviceLinkOpen = 0;
  InitProcessFolders();
  const std::u16string& data = DataFolder();

  // First run: neither the first profile file nor the data folder exists yet.
  if (!FileExists(ProfileFilePath(data, 1)) && !FolderExists(data)) {
    if (CreateFolder(data)) CreateFolder(MacroFolderPath(data));
  }
  m_macroLibraryPath = MacroLibraryPath(data);
  m_mouseSettingsKey.Open(W(agent_names::kMouseSettingsKey), KEY_ALL_ACCESS);
  ReloadProfiles();

  // Never shown in the task bar.
  SetWindowLongPtrW(Hwnd(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);

  // The device link is not opened by this build: record that the library did not accept us.
  RecordDeviceState(m_deviceLinkOpen);
  SetWindowTextW(Hwnd(), W(agent_names::kAgentWindowTitle));
  m_skinsIniPath = SkinsIniPath(ProgramFolder());

  SetTimer(agent_msg::kFirstRunTimer, agent_msg::kFirstRunDelayMs);
  return 0;
}

void CTarnhidDlg::ReloadProfiles() {
  ResetProfileSet(m_profileSet);
  LoadProfileFiles(m_profileSet, DataFolder());
  ValidateProfileSet(m_scratchSet, m_profileSet);
  m_profileSet = m_scratchSet;
}

void CTarnhidDlg::RecordDeviceState(int state) {
  IniFile(m_macroLibraryPath).SetInt(agent_names::kSettingSection, agent_names::kDeviceKey, state);
}

void CTarnhidDlg::OnFirstRunTimer() {
  KillTimer(agent_msg::kFirstRunTimer);
  IniFile library(m_macroLibraryPath);
  // Read and set under one commit, so two quick starts cannot both see 0.
  IniFile::Transaction transaction(library);
  if (transaction.Document().GetInt(agent_names::kSettingSection, agent_names::kFirstOpenKey, 0) !=
      0) {
    return;
  }
  transaction.SetInt(agent_names::kSettingSection, agent_names::kFirstOpenKey, 1);
  transaction.Commit();
  StartConfigurator();
}

void CTarnhidDlg::StartConfigurator() {
  // The program folder is the module path cut after its last backslash.
  const std::wstring program = ToWide(ProgramFolder()) + W(agent_names::kConfiguratorProgram);
  ShellExecuteW(nullptr, L"open", program.c_str(), nullptr, nullptr, SW_SHOW);
}

void CTarnhidDlg::OpenConfigurator() {
  if (HWND configurator = FindByTitle(agent_names::kConfiguratorWindowTitle)) {
    if (IsIconic(configurator)) ShowWindow(configurator, SW_SHOWNORMAL);
    SetForegroundWindow(configurator);
    SetActiveWindow(configurator);
    return;
  }
  StartConfigurator();
}

void CTarnhidDlg::OnExitCommand() {
  if (HWND configurator = FindByTitle(agent_names::kConfiguratorWindowTitle)) {
    PostMessageW(configurator, WM_CLOSE, 0, 0);
  }
  Destroy();
}

void CTarnhidDlg::OnDestroy() {
  if (HWND configurator = FindByTitle(agent_names::kConfiguratorWindowTitle)) {
    PostMessageW(configurator, WM_CLOSE, 0, 0);
  }
  if (HWND beacon = FindByTitle(agent_names::kBeaconWindowTitle)) {
    PostMessageW(beacon, WM_CLOSE, 0, 0);
  }
  // Give them a moment to close while the agent still answers.
  Sleep(1000);
  m_mouseSettingsKey.Close();
}

LRESULT CTarnhidDlg::OnApplyAll(WPARAM, LPARAM) {
  ReloadProfiles();
  return 0;
}

LRESULT CTarnhidDlg::OnPollingRate(WPARAM, LPARAM) {
  ReloadProfiles();
  return 0;
}

LRESULT CTarnhidDlg::OnProfileSelected(WPARAM, LPARAM) {
  ReloadProfiles();
  return 0;
}

LRESULT CTarnhidDlg::OnLightingChanged(WPARAM, LPARAM) {
  ReloadProfiles();
  return 0;
}

// A macro was saved or removed. No reload: only the macro's own area concerns the mouse, and
// there is no device link to write it to yet.
LRESULT CTarnhidDlg::OnMacroChanged(WPARAM, LPARAM) {
  return 0;
}

LRESULT CTarnhidDlg::OnButtonMacro(WPARAM profile, LPARAM button) {
  const auto request = ParseButtonRequest(profile, button);
  if (!request) return 0;
  ReloadProfiles();
  return 0;
}

// The mouse library's open/close notification; default processing follows.
LRESULT CTarnhidDlg::OnDeviceNotify(WPARAM, LPARAM) {
  return 0;
}

LRESULT CTarnhidDlg::OnTrayCallback(WPARAM, LPARAM) {
  return 0;
}

LRESULT CTarnhidDlg::OnMouseData(WPARAM, LPARAM) {
  return 0;
}
