#pragma once
// The agent's hidden top-level window "Vireo_GamingMouse_HID": the address the configurator
// sends its notifications to. It keeps the profile set that goes to the mouse and reloads it
// from the profile files before every transfer the configurator asks for. It owns the device
// link: every transfer to the mouse runs on this window's thread.

#include <memory>
#include <optional>
#include <string>

#include "agent/beacon_starter.h"
#include "agent/device_session.h"
#include "agent/pointer_speed_source.h"
#include "agent/win32/conduit_device_link.h"
#include "agent/win32/configurator_window_poster.h"
#include "agent/win32/debugger_log.h"
#include "agent/win32/progress_window_sink.h"
#include "agent/win32/registry_key.h"
#include "agent/win32/thread_sleeper.h"
#include "agent/win32/tray_icon.h"
#include "contract/window_messages.h"
#include "settings/profile_set.h"
#include "win/window.h"

class CTarnhidDlg : public Window, private BeaconStarter, private PointerSpeedSource {
 public:
  CTarnhidDlg();
  ~CTarnhidDlg() override;

  // The hidden WS_POPUP window at (100, 100), 100 x 100, titled "Vireo_GamingMouse_HID".
  bool CreateAgentWindow();

  const ProfileSet& Profiles() const { return m_profileSet; }
  int DeviceLinkOpen() const { return m_session ? m_session->DeviceLinkOpen() : 0; }

  // Reset, load the five profile files, validate: missing files leave defaults.
  void ReloadProfiles();

  // The library's notification (its record lives on this thread's stack) and the title, which
  // is the address the configurator finds the agent by.
  bool OnlyFromOwnThread(UINT message) const noexcept override {
    return message == agent_msg::kDeviceNotify || message == WM_SETTEXT;
  }

 protected:
  const wchar_t* ClassName() const override { return L"VireoAgentWindow"; }

  BEGIN_MESSAGE_TABLE(CTarnhidDlg, Window)
    MSG_WM_CREATE(OnCreate)
    MSG_WM_DESTROY(OnDestroy)
    TIMER_ID_HANDLER(agent_msg::kFirstRunTimer, OnFirstRunTimer)
    COMMAND_ID_HANDLER(agent_msg::kCommandOpenConfigurator, OpenConfigurator)
    COMMAND_ID_HANDLER(agent_msg::kCommandExit, OnExitCommand)
    MESSAGE_SIGNAL_HANDLER(agent_msg::kApplyAll, OnApplyAll)
    MESSAGE_SIGNAL_HANDLER(agent_msg::kPollingRate, OnPollingRate)
    MESSAGE_SIGNAL_HANDLER(agent_msg::kProfileSelected, OnProfileSelected)
    MESSAGE_SIGNAL_HANDLER(agent_msg::kLightingChanged, OnLightingChanged)
    MESSAGE_HANDLER(agent_msg::kMacroChanged, OnMacroChanged)
    MESSAGE_HANDLER(agent_msg::kButtonMacro, OnButtonMacro)
    MESSAGE_HANDLER_THEN_DEFAULT(agent_msg::kDeviceNotify, OnDeviceNotify)
    MESSAGE_HANDLER(agent_msg::kTrayCallback, OnTrayCallback)
    MESSAGE_SIGNAL_HANDLER(TrayIcon::TaskbarCreatedMessage(), OnTaskbarCreated)
    MESSAGE_HANDLER(agent_msg::kMouseData, OnMouseData)
    MESSAGE_IGNORED(agent_msg::kIgnored504)
    MESSAGE_IGNORED(agent_msg::kIgnored4AC)
    MESSAGE_IGNORED(WM_DEVICECHANGE)
    MESSAGE_IGNORED(WM_WTSSESSION_CHANGE)
  END_MESSAGE_TABLE()

 private:
  LRESULT OnCreate(const CREATESTRUCTW& create);
  void OnDestroy();
  void OnFirstRunTimer();
  void OpenConfigurator();
  void OnExitCommand();

  void OnApplyAll();
  void OnPollingRate();
  void OnProfileSelected();
  void OnLightingChanged();
  LRESULT OnMacroChanged(WPARAM slot, LPARAM clear);
  LRESULT OnButtonMacro(WPARAM profile, LPARAM button);
  LRESULT OnDeviceNotify(WPARAM, LPARAM record);
  LRESULT OnTrayCallback(WPARAM, LPARAM mouseMessage);
  void OnTaskbarCreated();
  LRESULT OnMouseData(WPARAM, LPARAM);

  // Configures Conduit.dll, gives it the input callback and registers this window for its
  // collection notifications. Returns whether the library accepted the window.
  bool OpenDeviceLink();
  // Starts "<program folder>\beacon.exe"; a missing program is left alone.
  void StartBeacon() override;
  // "MouseSensitivity" of the mouse settings key, at most 260 bytes.
  std::optional<std::u16string> ReadPointerSpeedText() override;
  // Starts "<program folder>\tuner.exe" the way the shell would on a double-click.
  void StartConfigurator();
  // Double-click time, acceleration and pointer speed of the current profile, for this log-on.
  void ApplyPointerSettings();
  // The agent's icon in the notification area, with this program's own small icon.
  void AddTrayIcon();
  // The tray icon's menu at the cursor: open the configurator, or end the agent.
  void ShowTrayMenu();

  ProfileSet m_profileSet{};
  RegistryKey m_mouseSettingsKey;
  TrayIcon m_notifyIcon;

  // The device link's ports and session; the session holds m_deviceLinkOpen, the opened
  // collections and the device the reports go to. Created once the data folder is known.
  ConduitDeviceLink m_deviceLink;
  ThreadSleeper m_sleeper;
  ProgressWindowSink m_progress{*this};
  DebuggerLog m_log;
  ConfiguratorWindowPoster m_configuratorPoster;
  std::unique_ptr<DeviceSession> m_session;
};
