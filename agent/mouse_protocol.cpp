#include "agent/mouse_protocol.h"

#include <algorithm>
#include <array>
#include <utility>

#include "agent/device_link.h"
#include "agent/device_registry.h"
#include "agent/sleeper.h"
#include "settings/macro.h"
#include "settings/macro_library.h"
#include "settings/profile_fields.h"

using namespace device_map;

namespace {

std::size_t ReportLength(std::uint8_t reportId) {
  switch (reportId) {
    case kLongReportId:
      return kLongReportLength;
    case kMacroReportId:
      return kMacroReportLength;
    default:
      return kShortReportLength;
  }
}

std::vector<std::uint8_t> Request(std::uint8_t reportId, std::uint8_t command, std::uint8_t arg0,
                                  std::uint8_t arg1, std::uint8_t length) {
  std::vector<std::uint8_t> report(ReportLength(reportId), 0);
  report[0] = reportId;
  report[1] = command;
  report[2] = arg0;
  report[3] = arg1;
  report[4] = length;
  return report;
}

std::uint8_t Low(std::uint16_t value) {
  return static_cast<std::uint8_t>(value & 0xFF);
}
std::uint8_t High(std::uint16_t value) {
  return static_cast<std::uint8_t>(value >> 8);
}

// A value limited to what the field can mean (all of it fits one byte), so it never wraps
// into another value in its byte.
std::uint8_t Limit(ProfileField field, std::int32_t value) {
  return static_cast<std::uint8_t>(RangeOf(field).Clamp(value));
}

// Whether a byte read back means something for the field.
bool Means(ProfileField field, std::uint8_t value) {
  return RangeOf(field).Contains(value);
}

}  // namespace

MouseProtocol::MouseProtocol(DeviceLink& link, DeviceRegistry& registry, Sleeper& sleeper,
                             MacroLibrary& library)
    : m_link(link), m_registry(registry), m_sleeper(sleeper), m_library(library) {}

void MouseProtocol::Send(std::span<const std::uint8_t> report) {
  WaitOutPause();
  if (!m_link.WriteReport(m_registry.CurrentDevice(), report)) ++m_failures;
}

void MouseProtocol::WaitOutPause() {
  if (!m_pauseEnd) return;
  const std::uint64_t now = m_sleeper.NowMicroseconds();
  if (now < *m_pauseEnd) {
    m_sleeper.Sleep(static_cast<unsigned>((*m_pauseEnd - now + 999) / 1000));
  }
  m_pauseEnd.reset();
}

void MouseProtocol::SelectDevice() {
  m_registry.SelectDevice(kVendorUsagePage);
}

void MouseProtocol::WriteMemory(std::uint16_t address, std::uint8_t length,
                                std::span<const std::uint8_t> data, std::uint8_t reportId) {
  std::vector<std::uint8_t> report =
      Request(reportId, kCommandWrite, Low(address), High(address), length);
  const std::size_t room = report.size() - kReportDataOffset;
  std::copy_n(data.begin(), std::min(data.size(), room), report.begin() + kReportDataOffset);
  Send(report);
}

std::vector<std::uint8_t> MouseProtocol::ReadMemory(std::uint16_t address, std::uint8_t length,
                                                    std::uint8_t reportId) {
  if (m_failures != 0) {
    // A sequence of reads is worth nothing once one failed: no waiting on a gone mouse.
    return std::vector<std::uint8_t>(ReportLength(reportId) - kReportDataOffset, 0);
  }
  const std::vector<std::uint8_t> request =
      Request(reportId, kCommandRead, Low(address), High(address), length);
  std::vector<std::uint8_t> answer(request.size(), 0);
  answer[0] = reportId;
  answer[1] = kCommandRead;
  WaitOutPause();
  // The command and the fetch of its answer in one call: over the virtual mouse's link they
  // travel together. A command that did not go out is not followed by a read.
  if (!m_link.RequestReport(m_registry.CurrentDevice(), request, answer)) ++m_failures;
  answer.erase(answer.begin(), answer.begin() + kReportDataOffset);
  return answer;
}

void MouseProtocol::BeginTransfer() {
  SelectDevice();
  Send(Request(kShortReportId, kCommandTransfer, kTransferBegin, 0, 0));
  m_pauseEnd = m_sleeper.NowMicroseconds() + kTransferPauseMs * 1000ull;
}

void MouseProtocol::EndTransfer() {
  SelectDevice();
  Send(Request(kShortReportId, kCommandTransfer, kTransferEnd, 0, 0));
  m_sleeper.Sleep(kTransferPauseMs);
}

void MouseProtocol::Apply(std::uint8_t sections) {
  Send(Request(kShortReportId, kCommandApply, kApplyArgument, sections, 0));
}

void MouseProtocol::WriteClearBlock() {
  const std::uint8_t zeros[2] = {0, 0};
  WriteMemory(kClearBlockAddress, 2, zeros);
}

void MouseProtocol::WriteLighting(ProfileSet& set) {
  const std::uint8_t zeros[2] = {0, 0};
  WriteMemory(kLightingClearAddress, 2, zeros);
  for (int p = 0; p < kProfileCount; ++p) {
    const LightingBytes bytes = EncodeLighting(set.Profiles[p]);
    WriteMemory(LightingAddress(p), 6, bytes.Setting);
    WriteMemory(LightingLevelAddress(p), 1, std::span(&bytes.Level, 1));
  }
}

void MouseProtocol::WritePollingRates(const ProfileSet& set, bool apply) {
  SelectDevice();
  std::array<std::uint8_t, 10> rates{};
  for (int p = 0; p < kProfileCount; ++p) {
    rates[2 * p] = Limit(ProfileField::PollingRate, set.Profiles[p].PollingRate);
  }
  WriteMemory(kPollingRateAddress, 6, std::span(rates).first(6));
  WriteMemory(kPollingRateTailAddress, 4, std::span(rates).subspan(6, 4));
  if (apply) Apply(kApplyPollingRate);
}

void MouseProtocol::WriteWheelLines(const ProfileSet& set) {
  SelectDevice();
  std::array<std::uint8_t, 10> lines{};
  for (int p = 0; p < kProfileCount; ++p) {
    lines[2 * p] = Limit(ProfileField::WheelScrollLines, set.Profiles[p].WheelScrollLines);
  }
  WriteMemory(kWheelLinesAddress, 10, lines, kLongReportId);
}

void MouseProtocol::WriteStageIndices(const ProfileSet& set) {
  SelectDevice();
  for (int p = 0; p < kProfileCount; ++p) {
    const std::uint8_t index = Limit(ProfileField::DPI, set.Profiles[p].DPI);
    WriteMemory(StageIndexAddress(p), 1, std::span(&index, 1));
  }
  Apply(kApplyResolution);
  Apply(kApplyStageIndices);
}

void MouseProtocol::WriteStage(const ProfileSet& set, int stage) {
  SelectDevice();
  if (stage < 0 || stage >= kDpiStagesInCycle) return;
  for (int p = 0; p < kProfileCount; ++p) {
    const DpiStage& s = set.Profiles[p].DpiStages[stage];
    const ResolutionCode x = EncodeResolution(s.X);
    const ResolutionCode y = EncodeResolution(s.Y);
    const std::uint8_t data[5] = {Limit(ProfileField::StageEnabled, s.Enabled), x.Code, x.RangeFlag,
                                  y.Code, y.RangeFlag};
    // The mouse keeps four bytes per stage; the fifth travels along unused.
    WriteMemory(StageAddress(p, stage), 4, data);
  }
}

void MouseProtocol::WriteActiveProfile(const ProfileSet& set) {
  SelectDevice();
  const std::uint8_t data[2] = {Limit(ProfileField::CurrentProfile, set.CurrentProfile), 0};
  WriteMemory(kActiveProfileAddress, 2, data);
  Apply(kApplyActiveProfile);
}

bool MouseProtocol::WriteButton(ProfileSet& set, int profile, int button) {
  SelectDevice();
  if (profile < 0 || profile >= kProfileCount || button < 0 || button >= kButtonCount) {
    return false;
  }
  ButtonAssignment& assignment = set.Profiles[profile].Buttons[button];
  ButtonCode code{};
  if (assignment.ButtonFunc == kFunctionMacro) {
    const std::u16string name = MacroNameOf(assignment);
    const int slot = m_library.FindMacroSlot(name);
    if (slot < 0) return false;
    code = MacroButtonCode(slot, m_library.ReadMacroFile(name));
  } else {
    code = EncodeButton(assignment);
  }
  WriteMemory(ButtonAddress(profile, button), 4, code);
  return true;
}

void MouseProtocol::ReadActiveProfile(ProfileSet& set) {
  SelectDevice();
  const std::vector<std::uint8_t> data = ReadMemory(kActiveProfileAddress, 1);
  if (Means(ProfileField::CurrentProfile, data[0])) set.CurrentProfile = data[0];
}

void MouseProtocol::ReadLighting(ProfileSet& set) {
  SelectDevice();
  for (int p = 0; p < kProfileCount; ++p) {
    const std::vector<std::uint8_t> data = ReadMemory(LightingAddress(p), 7);
    ProfileRecord& r = set.Profiles[p];
    const int mode = DecodeLightingMode(data[3], data[5]);
    // The settings window shows the mode the mouse really uses.
    r.LedMode1 = mode;
    r.LedColor[mode] = data[0] | data[1] << 8 | data[2] << 16;
    if (Means(ProfileField::FlashState1, data[4])) r.FlashState1 = data[4];
    if (Means(ProfileField::LedState1, data[6])) r.LedState1 = data[6];
  }
}

void MouseProtocol::ReadPollingRates(ProfileSet& set) {
  SelectDevice();
  const std::vector<std::uint8_t> head = ReadMemory(kPollingRateAddress, 5);
  const std::vector<std::uint8_t> tail = ReadMemory(kPollingRateTailAddress, 3);
  const std::uint8_t rates[kProfileCount] = {head[0], head[2], head[4], tail[0], tail[2]};
  for (int p = 0; p < kProfileCount; ++p) {
    if (Means(ProfileField::PollingRate, rates[p])) set.Profiles[p].PollingRate = rates[p];
  }
}

void MouseProtocol::ReadStages(ProfileSet& set) {
  SelectDevice();
  for (int p = 0; p < kProfileCount; ++p) {
    const std::vector<std::uint8_t> data =
        ReadMemory(StageIndexAddress(p), kStageReadLength, kLongReportId);
    ProfileRecord& r = set.Profiles[p];
    if (Means(ProfileField::DPI, data[0])) r.DPI = data[0];
    for (int s = 0; s < kDpiStagesInCycle; ++s) {
      DpiStage& stage = r.DpiStages[s];
      const std::uint8_t enabled = data[2 + 6 * s];
      if (Means(ProfileField::StageEnabled, enabled)) stage.Enabled = enabled;
      // The mouse keeps one resolution per stage.
      if (const auto value = DecodeResolution(data[3 + 6 * s], data[4 + 6 * s])) {
        stage.X = *value;
        stage.Y = *value;
      }
    }
  }
}

void MouseProtocol::ReadButton(ProfileSet& set, int profile, int button) {
  SelectDevice();
  if (profile < 0 || profile >= kProfileCount || button < 0 || button >= kButtonCount) return;
  const std::vector<std::uint8_t> data = ReadMemory(ButtonAddress(profile, button), 4);
  DecodeButton(set.Profiles[profile].Buttons[button],
               std::span<const std::uint8_t, 4>(data.data(), 4));
}

void MouseProtocol::WriteMacroArea(int slot, bool clear) {
  SelectDevice();
  if (slot < 0 || slot >= kMacroDeviceAreas) return;
  std::vector<std::uint8_t> report(kMacroReportLength, 0);
  report[0] = kMacroReportId;
  report[1] = kCommandWrite;
  const std::uint16_t address = MacroAreaAddress(slot);
  report[2] = Low(address);
  report[3] = High(address);
  report[4] = static_cast<std::uint8_t>(kMacroAreaSize);
  if (!clear) {
    // An empty slot, a missing file or an unreadable block all give an empty area.
    const Macro macro = m_library.ReadMacroFile(m_library.SlotName(slot));
    const std::span<const MacroRecord> records = macro.StoredRecords();
    auto out = report.begin() + kReportDataOffset;
    for (const MacroRecord& record : records) {
      *out++ = record.Type;
      *out++ = record.Data1;
      *out++ = record.Data2;
    }
  }
  Send(report);
}

std::vector<std::vector<std::uint8_t>> MouseProtocol::ReadMacroAreas() {
  SelectDevice();
  std::vector<std::vector<std::uint8_t>> areas(kMacroDeviceAreas);
  for (int area = 0; area < kMacroDeviceAreas; ++area) {
    std::vector<std::uint8_t>& bytes = areas[area];
    bytes.reserve(kMacroAreaSize);
    for (int chunk = 0; chunk < kMacroAreaSize / kMacroReadChunk; ++chunk) {
      const std::uint16_t address = MacroAreaAddress(area) + kMacroReadChunk * chunk;
      const std::vector<std::uint8_t> data =
          ReadMemory(address, static_cast<std::uint8_t>(kMacroReadChunk), kLongReportId);
      bytes.insert(bytes.end(), data.begin(), data.begin() + kMacroReadChunk);
    }
  }
  return areas;
}

void MouseProtocol::StoreMacroAreas(const std::vector<std::vector<std::uint8_t>>& areas) {
  // In one go: one commit lock, one commit of the index, one per macro file.
  m_library.StoreReadBackMacros(areas);
}
