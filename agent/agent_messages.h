#pragma once
// Window titles, names and message numbers by which the agent, the configurator and the
// mouse library address each other. The numbers are part of the programs' contract.

#include <cstdint>

namespace agent_names {
inline constexpr char16_t kAgentWindowTitle[] = u"Vireo_GamingMouse_HID";
inline constexpr char16_t kAgentMutexName[] = u"Vireo_GamingMouse_HID_Mutex";
inline constexpr char16_t kConfiguratorWindowTitle[] = u"Vireo GAMING MOUSE";
inline constexpr char16_t kBeaconWindowTitle[] = u"VireoMouseBeacon";
inline constexpr char16_t kConfiguratorProgram[] = u"tuner.exe";
inline constexpr char16_t kSettingSection[] = u"Setting";
inline constexpr char16_t kDeviceKey[] = u"Device";
inline constexpr char16_t kFirstOpenKey[] = u"FirstOpen";
// 1 while the files hold changes that could not be delivered to the mouse.
inline constexpr char16_t kPendingKey[] = u"Pending";
inline constexpr char16_t kMouseSettingsKey[] = u"HKEY_CURRENT_USER\\Control Panel\\Mouse";
}  // namespace agent_names

// Messages the agent window accepts.
namespace agent_msg {
inline constexpr unsigned kApplyAll = 0x4DE;         // everything applied: full write
inline constexpr unsigned kPollingRate = 0x4DF;      // polling rates of all profiles
inline constexpr unsigned kProfileSelected = 0x4E2;  // a profile was selected
inline constexpr unsigned kLightingChanged = 0x4E3;  // lighting of all profiles
inline constexpr unsigned kMacroChanged = 0x1514;    // wParam slot, lParam 0 write / else clear
inline constexpr unsigned kButtonMacro = 0x1516;     // wParam profile, lParam button
inline constexpr unsigned kDeviceNotify = 0x502;     // from the mouse library
inline constexpr unsigned kTrayCallback = 0x7E9;     // tray icon
inline constexpr unsigned kMouseData = 0x7EB;        // 0xFFFE arrived, 0xFFFD removed
inline constexpr unsigned kIgnored504 = 0x504;
inline constexpr unsigned kIgnored4AC = 0x4AC;
inline constexpr unsigned kFirstRunTimer = 10002;
inline constexpr unsigned kFirstRunDelayMs = 500;
inline constexpr unsigned kCommandOpenConfigurator = 6001;
inline constexpr unsigned kCommandExit = 6006;
}  // namespace agent_msg

// Messages the agent posts to the configurator window.
namespace configurator_msg {
inline constexpr unsigned kAgentNews = 0x1515;  // wParam kind, lParam value
inline constexpr unsigned kDeviceRemoved = 0x4DD;
inline constexpr unsigned kNewsProfilesRewritten = 0;
inline constexpr unsigned kNewsPointerSpeed = 12;
}  // namespace configurator_msg
