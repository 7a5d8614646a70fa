#include "agent/device_session.h"

#include <cstdio>
#include <optional>

#include "agent/agent_requests.h"
#include "agent/beacon_starter.h"
#include "agent/configurator_poster.h"
#include "agent/debug_log.h"
#include "agent/pointer_speed.h"
#include "agent/pointer_speed_source.h"
#include "agent/progress_sink.h"
#include "agent/sleeper.h"
#include "contract/window_messages.h"
#include "settings/folders.h"
#include "settings/ini_file.h"
#include "settings/profile_files.h"

using namespace device_map;

namespace {

constexpr std::uint32_t kCollectionClosed = 0;
constexpr std::uint32_t kCollectionOpened = 1;

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char line[128];
  std::snprintf(line, sizeof line, format, args...);
  return line;
}

}  // namespace

DeviceSession::DeviceSession(ProfileSet& profiles, std::u16string dataFolder,
                             const DeviceSessionPorts& ports)
    : m_profiles(profiles),
      m_dataFolder(std::move(dataFolder)),
      m_ports(ports),
      m_library(m_dataFolder),
      m_protocol(ports.Link, m_registry, ports.Pause, m_library) {}

void DeviceSession::ReloadProfiles() {
  ResetProfileSet(m_profiles);
  LoadProfileFiles(m_profiles, m_dataFolder);
  ProfileSet validated;
  ValidateProfileSet(validated, m_profiles);
  m_profiles = validated;
}

template <typename Writes>
void DeviceSession::DeliverChange(Writes&& writes) {
  const bool attached = m_registry.Attached();
  m_protocol.ResetFailures();
  writes();
  if (!attached || m_protocol.Failures() != 0) {
    m_ports.Log.Write(attached ? "change not delivered: a transfer failed\n"
                               : "change not delivered: no mouse attached\n");
    SetChangesPending(true);
  }
}

void DeviceSession::SendAll2Mouse() {
  DeliverChange([this] { FullWrite(); });
}

void DeviceSession::FullWrite() {
  ProgressSink& progress = m_ports.Progress;
  // The window is made and shown during the pause the mouse needs after the begin of the
  // transfer: the first write waits only for what remains of it.
  m_protocol.BeginTransfer();
  progress.Open();
  m_protocol.WriteClearBlock();
  m_protocol.WriteLighting(m_profiles);
  progress.SetPercent(5);
  m_protocol.WritePollingRates(m_profiles, false);
  progress.SetPercent(10);
  m_protocol.WriteWheelLines(m_profiles);
  progress.SetPercent(15);
  m_protocol.WriteStageIndices(m_profiles);
  progress.SetPercent(20);
  for (int stage = 0; stage < kDpiStagesInCycle; ++stage) m_protocol.WriteStage(m_profiles, stage);
  progress.SetPercent(25);
  m_protocol.Apply(kApplyStageIndices);
  m_protocol.WriteActiveProfile(m_profiles);
  progress.SetPercent(30);
  for (int p = 0; p < kProfileCount; ++p) {
    progress.SetPercent(30 + 10 * p);
    for (int b = 0; b < kButtonCount; ++b) m_protocol.WriteButton(m_profiles, p, b);
  }
  m_protocol.Apply(kApplyLighting);
  m_protocol.Apply(kApplyActiveProfile);
  m_protocol.Apply(kApplyResolution);
  m_protocol.Apply(kApplyPollingRate);
  m_protocol.EndTransfer();
  m_ports.Log.Write("SendAll2Mouse\n");
  progress.SetPercent(100);
  m_ports.Pause.Sleep(kFinalPauseMs);
  progress.Close();
}

bool DeviceSession::QueryAllFrMouse() {
  m_ports.Log.Write("QueryAllFrMouse\n");
  // Decoded into a copy: the agent's own set changes only when everything was answered.
  ProfileSet read = m_profiles;
  if (const std::optional<std::int32_t> speed = WindowsPointerSpeed()) {
    if (read.CurrentProfile >= 0 && read.CurrentProfile < kProfileCount) {
      read.Profiles[read.CurrentProfile].MouseSensitivity = *speed;
    }
  }
  m_protocol.ResetFailures();
  m_protocol.BeginTransfer();
  m_protocol.ReadActiveProfile(read);
  m_protocol.ReadLighting(read);
  m_protocol.ReadPollingRates(read);
  m_protocol.ReadStages(read);
  const std::vector<std::vector<std::uint8_t>> macroAreas = m_protocol.ReadMacroAreas();
  for (int p = 0; p < kProfileCount; ++p) {
    for (int b = 0; b < kButtonCount; ++b) m_protocol.ReadButton(read, p, b);
  }
  m_protocol.EndTransfer();
  if (const unsigned failed = m_protocol.Failures()) {
    m_ports.Log.Write(
        Format("QueryAllFrMouse failed: %u transfers unanswered, files kept\n", failed));
    return false;
  }
  m_profiles = read;
  m_protocol.StoreMacroAreas(macroAreas);
  SaveProfileFiles(m_profiles, m_dataFolder);
  m_ports.Configurator.PostToConfigurator(configurator_msg::kAgentNews,
                                          configurator_msg::kNewsProfilesRewritten, 0);
  return true;
}

bool DeviceSession::DeliverPendingChanges() {
  m_ports.Log.Write("delivering the changes made while the mouse was away\n");
  ReloadProfiles();
  m_protocol.ResetFailures();
  FullWrite();
  m_protocol.BeginTransfer();
  for (int slot = 0; slot < kMacroLibrarySlots; ++slot) m_protocol.WriteMacroArea(slot, false);
  m_protocol.EndTransfer();
  if (m_protocol.Failures() != 0) {
    m_ports.Log.Write("pending changes not delivered: a transfer failed\n");
    return false;
  }
  SetChangesPending(false);
  return true;
}

std::optional<std::int32_t> DeviceSession::WindowsPointerSpeed() {
  const std::optional<std::u16string> text = m_ports.PointerSpeed.ReadPointerSpeedText();
  return text ? PointerSpeedOf(*text) : std::nullopt;
}

void DeviceSession::SyncWindowsPointerSpeed(bool updateFiles) {
  // Without a usable value the profiles keep theirs: writing 0 would reset every profile's
  // speed at the next load.
  const std::optional<std::int32_t> speed = WindowsPointerSpeed();
  if (!speed) return;
  const std::int32_t current = m_profiles.CurrentProfile;
  if (current >= 0 && current < kProfileCount) {
    m_profiles.Profiles[current].MouseSensitivity = *speed;
  }
  if (!updateFiles) return;
  SaveMouseSensitivityKeys(m_dataFolder, *speed);
  m_ports.Configurator.PostToConfigurator(configurator_msg::kAgentNews,
                                          configurator_msg::kNewsPointerSpeed, *speed);
}

void DeviceSession::WritePollingRateChange() {
  DeliverChange([this] {
    if (m_deviceLinkOpen) m_protocol.WritePollingRates(m_profiles, true);
  });
}

void DeviceSession::WriteProfileSelection() {
  DeliverChange([this] {
    if (m_deviceLinkOpen) m_protocol.WriteActiveProfile(m_profiles);
    m_protocol.Apply(kApplyLighting);
    m_protocol.Apply(kApplyResolution);
    m_protocol.Apply(kApplyPollingRate);
  });
}

void DeviceSession::WriteLightingChange() {
  DeliverChange([this] {
    if (!m_deviceLinkOpen) return;
    m_protocol.WriteLighting(m_profiles);
    m_protocol.Apply(kApplyLighting);
  });
}

void DeviceSession::WriteButtonChange(const ButtonRequest& request) {
  DeliverChange([this, &request] {
    if (m_deviceLinkOpen) m_protocol.WriteButton(m_profiles, request.profile, request.button);
  });
}

void DeviceSession::WriteMacroChange(const MacroAreaRequest& request) {
  DeliverChange([this, &request] {
    if (!m_deviceLinkOpen) return;
    m_protocol.BeginTransfer();
    m_protocol.WriteMacroArea(request.slot, request.clear);
    m_protocol.EndTransfer();
  });
}

void DeviceSession::OnCollectionNotification(const _DEVICE_STATE& record) {
  const unsigned id = record.DeviceId & 0xFFFF;
  if (record.EventKind == kCollectionOpened) {
    m_ports.Log.Write(Format("MONITOROPEN:dwDeviceID=%x\n", id));
    // Both collections of one mouse complete it: once per plug-in, however many
    // notifications arrive.
    if (!m_registry.Add(record)) return;
    m_deviceLinkOpen = 1;
    const bool done = ChangesPending() ? DeliverPendingChanges() : QueryAllFrMouse();
    if (done) m_ports.Beacon.StartBeacon();
  } else if (record.EventKind == kCollectionClosed) {
    m_ports.Log.Write(Format("MONITORCLOSE:dwDeviceID=%x\n", id));
    m_registry.Remove(record.DeviceId);
  }
}

void DeviceSession::OnMouseData(unsigned code) {
  m_ports.Log.Write(Format("\t\tOnMouseData ReadData:%X\n", code));
  if (code == agent_msg::kMouseDataArrived) {
    m_ports.Pause.Sleep(kArrivalPauseMs);
    m_ports.Beacon.StartBeacon();
    RecordDeviceState(1);
    m_ports.Log.Write("arrive new device");
  } else if (code == agent_msg::kMouseDataRemoved) {
    m_ports.Configurator.PostToConfigurator(configurator_msg::kDeviceRemoved, 0, 0);
    RecordDeviceState(0);
    m_ports.Log.Write("remove usb mouse");
  }
}

void DeviceSession::RecordDeviceState(int state) {
  m_library.RecordDeviceState(state);
}

bool DeviceSession::ChangesPending() const {
  return m_library.ChangesPending();
}

void DeviceSession::SetChangesPending(bool pending) {
  if (ChangesPending() == pending) return;
  m_library.SetChangesPending(pending);
}
