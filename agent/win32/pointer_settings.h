#pragma once
// Applies a profile's double-click time, acceleration and pointer speed to Windows for this
// log-on (never written to the registry), and tells the agent window about the change.

#include <windows.h>

#include "settings/profile_set.h"

class RegistryKey;

void ApplyPointerSettings(const ProfileRecord& profile, RegistryKey& mouseSettingsKey,
                          HWND agentWindow);
