#pragma once
// The names by which the programs find each other and stay single: window titles, mutex names
// and the file names of the programs in the program folder. Spelled exactly; another program
// looks for these very texts.

namespace program_names {

// hid.exe: its hidden window, found by the configurator with FindWindow by this title.
inline constexpr char16_t kAgentWindowTitle[] = u"Vireo_GamingMouse_HID";
// "%s_Mutex" formatted with the agent's window title.
inline constexpr char16_t kAgentMutexName[] = u"Vireo_GamingMouse_HID_Mutex";
inline constexpr char16_t kAgentProgram[] = u"hid.exe";

// tuner.exe: its main window, a dialog, found by the agent by this title and the dialog class
// (FindWindow ignores case, and an Explorer window on the data folder has the title in other
// case).
inline constexpr char16_t kConfiguratorWindowTitle[] = u"Vireo GAMING MOUSE";
inline constexpr char16_t kConfiguratorWindowClass[] = u"#32770";
inline constexpr char16_t kConfiguratorMutexName[] = u"Vireo_GAMING_MOUSE_CONFIG_MUTEX";
inline constexpr char16_t kConfiguratorProgram[] = u"tuner.exe";

// beacon.exe: started by the agent after a plug-in, asked by this title to close.
inline constexpr char16_t kBeaconWindowTitle[] = u"VireoMouseBeacon";
inline constexpr char16_t kBeaconProgram[] = u"beacon.exe";

// The libraries beside the programs.
inline constexpr char16_t kDeviceLibrary[] = u"Conduit.dll";
inline constexpr char16_t kHookLibrary[] = u"Snare.dll";

}  // namespace program_names
