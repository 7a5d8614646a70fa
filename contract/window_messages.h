#pragma once
// Every window message that crosses from one program or library to another window of ours,
// with what its parameters carry. The numbers are the programs' contract: the configurator,
// the agent, the mouse library and the shell all use exactly these.

// Messages the agent's window ("Vireo_GamingMouse_HID") accepts. The configurator sends them
// with SendMessage after writing its files and waits until the agent is done with the mouse.
// Every handler answers 0.
namespace agent_msg {

// Everything was applied: reload, pointer settings, full write. wParam 0, lParam 0.
inline constexpr unsigned kApplyAll = 0x4DE;
// Polling rates of all profiles (no sender today). wParam 0, lParam 0.
inline constexpr unsigned kPollingRate = 0x4DF;
// A profile was selected: reload, pointer settings, active profile. wParam 0, lParam 0.
inline constexpr unsigned kProfileSelected = 0x4E2;
// Lighting of all profiles changed. wParam 0, lParam 0.
inline constexpr unsigned kLightingChanged = 0x4E3;
// A macro was saved or removed. wParam: the library slot; lParam: kMacroWrite to write the
// slot's macro area, anything else to clear it. Sent by the macro editor.
inline constexpr unsigned kMacroChanged = 0x1514;
inline constexpr long kMacroWrite = 0;
inline constexpr long kMacroClear = 1;
// One button's macro assignment changed. wParam: profile 0-4; lParam: button 0-9.
inline constexpr unsigned kButtonMacro = 0x1516;

// From the mouse library (Conduit.dll): a collection opened or closed. wParam 1; lParam points
// to the library's notification record, valid only during the call.
inline constexpr unsigned kDeviceNotify = 0x502;
// From the shell: the tray icon's callback. wParam the icon id; lParam the mouse message.
inline constexpr unsigned kTrayCallback = 0x7E9;
// Device arrival or removal (no sender in the programs). wParam one of the two codes below.
inline constexpr unsigned kMouseData = 0x7EB;
inline constexpr unsigned kMouseDataArrived = 0xFFFE;
inline constexpr unsigned kMouseDataRemoved = 0xFFFD;
// Accepted and ignored.
inline constexpr unsigned kIgnored504 = 0x504;
inline constexpr unsigned kIgnored4AC = 0x4AC;

// The tray menu's commands (WM_COMMAND ids).
inline constexpr unsigned kCommandOpenConfigurator = 6001;
inline constexpr unsigned kCommandExit = 6006;

// The one-shot first-run timer: starts the configurator on the first run of a data folder.
inline constexpr unsigned kFirstRunTimer = 10002;
inline constexpr unsigned kFirstRunDelayMs = 500;

}  // namespace agent_msg

// Messages the configurator's main window ("Vireo GAMING MOUSE") accepts from outside its own
// controls. The agent posts them; nothing waits for them.
namespace configurator_msg {

// News from the agent. wParam: one of the kinds below; lParam: the value that kind names.
inline constexpr unsigned kAgentNews = 0x1515;
// The agent rewrote the profile files (lParam 0): reload them.
inline constexpr unsigned kNewsProfilesRewritten = 0;
// The mouse changed by itself; lParam: stage index 0-5, profile 0-4, polling-rate code,
// lighting mode 0-7.
inline constexpr unsigned kNewsStage = 8;
inline constexpr unsigned kNewsProfile = 9;
inline constexpr unsigned kNewsPollingRate = 10;
inline constexpr unsigned kNewsLightingMode = 11;
// The Windows pointer speed 1-20, once at the agent's start.
inline constexpr unsigned kNewsPointerSpeed = 12;

// The mouse was removed. wParam 0, lParam 0; the configurator does nothing with it.
inline constexpr unsigned kDeviceRemoved = 0x4DD;
// Posted by the macro editor to the main window after it deleted a macro. wParam 0, lParam 0.
inline constexpr unsigned kMacroDeleted = 0x1517;

// The one-shot agent watchdog: 500 ms after the window opens, start hid.exe when its window is
// missing.
inline constexpr unsigned kAgentWatchdogTimer = 534;
inline constexpr unsigned kAgentWatchdogDelayMs = 500;

}  // namespace configurator_msg

// From the keyboard hook (Snare.dll) to the window that installed it: one key transition
// anywhere in the system, posted while delivery is enabled. wParam: the virtual key, left and
// right modifiers told apart (0xA0 left Shift, 0xA1 right Shift, 0x5B left Windows ...);
// lParam: the flags below (nothing else is ever set).
namespace hook_msg {

inline constexpr unsigned kKeyEvent = 0x8D2;  // WM_USER + 1234
inline constexpr unsigned kKeyExtended = 0x01;
inline constexpr unsigned kKeyReleased = 0x80;

// The hook library's entry points, looked up by these names (C calling convention).
//   int installhook(HWND window)   the window that receives kKeyEvent; delivery starts disabled
//   int enablehook(int deliver)    1: deliver events, 0: deliver none
//   int removehook(void)           nothing is delivered after it returns
//   int installmousehook(HWND), int removemousehook(void): no mouse hook; they answer 0
inline constexpr char kInstallHook[] = "installhook";
inline constexpr char kRemoveHook[] = "removehook";
inline constexpr char kInstallMouseHook[] = "installmousehook";
inline constexpr char kRemoveMouseHook[] = "removemousehook";
inline constexpr char kEnableHook[] = "enablehook";

}  // namespace hook_msg
