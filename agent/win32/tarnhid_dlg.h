#pragma once
// The agent's hidden top-level window "Vireo_GamingMouse_HID": the address the configurator
// sends its notifications to. It keeps the profile set that goes to the mouse and reloads it
// from the profile files before every transfer the configurator asks for.

#include <string>

#include "agent/agent_messages.h"
#include "agent/win32/registry_key.h"
#include "settings/profile_set.h"
#include "win/window.h"

class CTarnhidDlg : public Window {
 public:
  CTarnhidDlg();
  ~CTarnhidDlg() override;

  // The hidden WS_POPUP window at (100, 100), 100 x 100, titled "Vireo_GamingMouse_HID".
  bool CreateAgentWindow();

  const ProfileSet& Profiles() const { return m_profileSet; }

  // Reset, load the five profile files, validate: missing files leave defaults.
  void ReloadProfiles();

 protected:
  const wchar_t* ClassName() const override { return L"VireoAgentWindow"; }

  BEGIN_MESSAGE_TABLE(CTarnhidDlg, Window)
    MSG_WM_CREATE(OnCreate)
    MSG_WM_DESTROY(OnDestroy)
    TIMER_ID_HANDLER(agent_msg::kFirstRunTimer, OnFirstRunTimer)
    COMMAND_ID_HANDLER(agent_msg::kCommandOpenConfigurator, OpenConfigurator)
    COMMAND_ID_HANDLER(agent_msg::kCommandExit, OnExitCommand)
    MESSAGE_HANDLER(agent_msg::kApplyAll, OnApplyAll)
    MESSAGE_HANDLER(agent_msg::kPollingRate, OnPollingRate)
    MESSAGE_HANDLER(agent_msg::kProfileSelected, OnProfileSelected)
    MESSAGE_HANDLER(agent_msg::kLightingChanged, OnLightingChanged)
    MESSAGE_HANDLER(agent_msg::kMacroChanged, OnMacroChanged)
    MESSAGE_HANDLER(agent_msg::kButtonMacro, OnButtonMacro)
    MESSAGE_HANDLER_THEN_DEFAULT(agent_msg::kDeviceNotify, OnDeviceNotify)
    MESSAGE_HANDLER(agent_msg::kTrayCallback, OnTrayCallback)
    MESSAGE_HANDLER(agent_msg::kMouseData, OnMouseData)
    MESSAGE_HANDLER(agent_msg::kIgnored504, OnIgnored)
    MESSAGE_HANDLER(agent_msg::kIgnored4AC, OnIgnored)
    MESSAGE_HANDLER(WM_DEVICECHANGE, OnIgnored)
    MESSAGE_HANDLER(WM_WTSSESSION_CHANGE, OnIgnored)
  END_MESSAGE_TABLE()

 private:
  LRESULT OnCreate(const CREATESTRUCTW& create);
  void OnDestroy();
  void OnFirstRunTimer();
  void OpenConfigurator();
  void OnExitCommand();

  LRESULT OnApplyAll(WPARAM, LPARAM);
  LRESULT OnPollingRate(WPARAM, LPARAM);
  LRESULT OnProfileSelected(WPARAM, LPARAM);
  LRESULT OnLightingChanged(WPARAM, LPARAM);
  LRESULT OnMacroChanged(WPARAM slot, LPARAM clear);
  LRESULT OnButtonMacro(WPARAM profile, LPARAM button);
  LRESULT OnDeviceNotify(WPARAM, LPARAM record);
  LRESULT OnTrayCallback(WPARAM, LPARAM mouseMessage);
  LRESULT OnMouseData(WPARAM, LPARAM);
  LRESULT OnIgnored(WPARAM, LPARAM) { return 0; }

  // Writes the outcome of opening the device link as "Device" in the macro library index.
  void RecordDeviceState(int state);
  // Starts "<program folder>\tuner.exe" the way the shell would on a double-click.
  void StartConfigurator();

  ProfileSet m_profileSet{};
  ProfileSet m_scratchSet{};
  int m_deviceLinkOpen = 0;
  std::u16string m_macroLibraryPath;
  std::u16string m_skinsIniPath;
  RegistryKey m_mouseSettingsKey;
};
