#include "agent/win32/pointer_settings.h"

#include <optional>
#include <string>

#include "agent/win32/registry_key.h"
#include "agent/windows_pointer_settings.h"
#include "win/text.h"

std::optional<std::u16string> ReadMouseSetting(RegistryKey& mouseSettingsKey, const wchar_t* name) {
  const std::optional<std::wstring> text = mouseSettingsKey.ReadText(name, kMouseSettingBytes);
  if (!text) return std::nullopt;
  return ToU16(*text);
}

void ApplyPointerSettings(const ProfileRecord& profile, RegistryKey& mouseSettingsKey,
                          HWND agentWindow) {
  StoredMouseTexts stored;
  stored.Speed = ReadMouseSetting(mouseSettingsKey, L"MouseSpeed");
  stored.Threshold2 = ReadMouseSetting(mouseSettingsKey, L"MouseThreshold2");
  stored.Threshold1 = ReadMouseSetting(mouseSettingsKey, L"MouseThreshold1");
  const WindowsPointerSettings settings = WindowsPointerSettingsFor(profile, stored);

  SetDoubleClickTime(settings.DoubleClickTimeMs);

  // Never SPIF_UPDATEINIFILE: the profile's values last for this log-on only and the user's
  // stored values stay as they are. A refused change is not reported; the next steps still run.
  int mouse[3] = {settings.Mouse.Threshold1, settings.Mouse.Threshold2, settings.Mouse.Speed};
  SystemParametersInfoW(SPI_SETMOUSE, 0, mouse, SPIF_SENDCHANGE);
  SendMessageW(agentWindow, WM_WININICHANGE, SPI_SETMOUSE, reinterpret_cast<LPARAM>(mouse));

  // Windows takes the speed from the pointer parameter itself, Wine from the integer one.
  const UINT speed = static_cast<UINT>(settings.PointerSpeed);
  SystemParametersInfoW(SPI_SETMOUSESPEED, speed,
                        reinterpret_cast<void*>(static_cast<UINT_PTR>(speed)), SPIF_SENDCHANGE);
  SendMessageW(agentWindow, WM_WININICHANGE, SPI_SETMOUSESPEED, 0);
}
