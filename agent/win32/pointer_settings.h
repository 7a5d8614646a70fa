#pragma once
// Applies a profile's double-click time, acceleration and pointer speed to Windows for this
// log-on (never written to the registry), and tells the agent window about the change.

#include <windows.h>

#include <optional>
#include <string>

#include "settings/profile_set.h"

class RegistryKey;

// Where Windows keeps the user's own mouse settings, opened by the agent at start.
inline constexpr wchar_t kMouseSettingsKey[] = L"HKEY_CURRENT_USER\\Control Panel\\Mouse";
// The stored values are read through a 260-byte buffer: a longer one counts as unreadable.
inline constexpr DWORD kMouseSettingBytes = 260;

// One value of that key ("MouseSpeed", "MouseSensitivity" ...); nullopt when it is missing, not
// a string or too long.
std::optional<std::u16string> ReadMouseSetting(RegistryKey& mouseSettingsKey, const wchar_t* name);

void ApplyPointerSettings(const ProfileRecord& profile, RegistryKey& mouseSettingsKey,
                          HWND agentWindow);
