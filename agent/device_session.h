#pragma once
// The agent's side of the device link: the opened collections, whether the library accepted
// the agent, and every sequence of transfers the agent runs on its window thread: the full
// write, the read-back after an attach, the partial writes after the configurator's
// notifications, and the copy of the Windows pointer speed into the profiles.
//
// A read-back takes over what it read only when every read was answered: an unplug or a stall
// never turns into settings. A change that cannot reach a mouse (none attached, or a write
// failed) is marked as pending in the library index; the next complete plug-in then delivers
// the files to the mouse instead of reading the mouse back.

#include <cstdint>
#include <optional>
#include <string>

#include "agent/device_registry.h"
#include "agent/mouse_protocol.h"
#include "settings/macro_library.h"
#include "settings/profile_set.h"

struct ButtonRequest;
struct MacroAreaRequest;
class BeaconStarter;
class ConfiguratorPoster;
class DebugLog;
class DeviceLink;
class PointerSpeedSource;
class ProgressSink;
class Sleeper;

struct DeviceSessionPorts {
  DeviceLink& Link;
  Sleeper& Pause;
  ProgressSink& Progress;
  DebugLog& Log;
  ConfiguratorPoster& Configurator;
  BeaconStarter& Beacon;
  PointerSpeedSource& PointerSpeed;
};

class DeviceSession {
 public:
  static constexpr unsigned kFinalPauseMs = 200;
  static constexpr unsigned kArrivalPauseMs = 5000;

  // `profiles` is the agent's working set; `dataFolder` ends in a backslash.
  DeviceSession(ProfileSet& profiles, std::u16string dataFolder, const DeviceSessionPorts& ports);

  int DeviceLinkOpen() const { return m_deviceLinkOpen; }
  void SetDeviceLinkOpen(int open) { m_deviceLinkOpen = open; }
  DeviceRegistry& Registry() { return m_registry; }
  MouseProtocol& Protocol() { return m_protocol; }

  // Reset, load the five profile files, validate: missing files leave defaults.
  void ReloadProfiles();

  // Every setting of the five profiles (not the macros), whether or not the link is open.
  void SendAll2Mouse();
  // Everything back from the mouse into the profile files and the macro library. False, with
  // nothing changed, when a transfer failed.
  bool QueryAllFrMouse();
  // The Windows pointer speed into the current profile and, with updateFiles, into all five
  // profile files, telling the configurator.
  void SyncWindowsPointerSpeed(bool updateFiles);

  // The partial writes: 0x4DF, 0x4E2 (after the pointer settings), 0x4E3, 0x1516, 0x1514.
  void WritePollingRateChange();
  void WriteProfileSelection();
  void WriteLightingChange();
  void WriteButtonChange(const ButtonRequest& request);
  void WriteMacroChange(const MacroAreaRequest& request);

  // The library's collection notification (0x502).
  void OnCollectionNotification(const _DEVICE_STATE& record);
  // 0x7EB: device arrived or removed.
  void OnMouseData(unsigned code);

  // "Device" in the macro library index: 1 when a mouse is (or can be) reached, else 0.
  void RecordDeviceState(int state);
  // "Pending" in the macro library index: the files hold changes the mouse does not have.
  bool ChangesPending() const;

 private:
  // Runs the reports of a change; marks it pending when no mouse is attached or one of its
  // transfers failed.
  template <typename Writes>
  void DeliverChange(Writes&& writes);
  void FullWrite();
  // After a plug-in with pending changes: the full write and every library slot's macro area.
  bool DeliverPendingChanges();
  void SetChangesPending(bool pending);
  // The Windows pointer speed, when it can be read and means something.
  std::optional<std::int32_t> WindowsPointerSpeed();

  ProfileSet& m_profiles;
  std::u16string m_dataFolder;
  DeviceSessionPorts m_ports;
  MacroLibrary m_library;
  DeviceRegistry m_registry;
  MouseProtocol m_protocol;
  int m_deviceLinkOpen = 0;
};
