#include "vmouse/virtual_mouse.h"

#include <algorithm>
#include <cstdio>
#include <utility>

using namespace device_map;

namespace {

constexpr std::size_t kLogLimit = 20000;  // a long demo must not grow without end

std::string Format(const char* format, auto... args) {
  char buffer[200];
  const int n = std::snprintf(buffer, sizeof buffer, format, args...);
  return std::string(buffer, static_cast<std::size_t>(std::clamp(n, 0, 199)));
}

uint32_t AddressOf(std::span<const uint8_t> report) {
  return static_cast<uint32_t>(report[2] | (report[3] << 8));
}

std::string ApplyNames(uint8_t mask) {
  static constexpr const char* kNames[8] = {"profile",       "stages", "lighting", "polling rate",
                                            "stage indices", "0x20",   "0x40",     "0x80"};
  std::string text;
  for (int bit = 0; bit < 8; ++bit) {
    if (!(mask & (1u << bit))) continue;
    if (!text.empty()) text += ", ";
    text += kNames[bit];
  }
  return text.empty() ? "nothing" : text;
}

}  // namespace

std::size_t VirtualMouse::ReportSize(uint8_t reportId) {
  switch (reportId) {
    case kShortReportId:
      return kShortReportLength;
    case kLongReportId:
      return kLongReportLength;
    case kMacroReportId:
      return kMacroReportLength;
  }
  return 0;
}

VirtualMouse::VirtualMouse() : m_memory(kMouseMemorySize, 0) {
  PowerUp();
}

void VirtualMouse::SetLogListener(std::function<void(const std::string&)> listener) {
  m_logListener = std::move(listener);
}

void VirtualMouse::AddLogLine(std::string line) {
  ++m_logTotal;
  if (m_logListener) m_logListener(line);
  m_log.push_back(std::move(line));
  if (m_log.size() > kLogLimit) m_log.pop_front();
}

std::vector<uint8_t> VirtualMouse::ReadMemory(uint32_t address, std::size_t length) const {
  std::vector<uint8_t> data(length, 0);
  for (std::size_t i = 0; i < length && address + i < m_memory.size(); ++i) {
    data[i] = m_memory[address + i];
  }
  return data;
}

void VirtualMouse::WriteMemory(uint32_t address, std::span<const uint8_t> data) {
  for (std::size_t i = 0; i < data.size() && address + i < m_memory.size(); ++i) {
    m_memory[address + i] = data[i];
  }
}

uint8_t VirtualMouse::MemoryByte(uint32_t address) const {
  return address < m_memory.size() ? m_memory[address] : 0;
}

unsigned VirtualMouse::AppliedCount(uint8_t section) const {
  for (int bit = 0; bit < 8; ++bit) {
    if (section == (1u << bit)) return m_applied[bit];
  }
  return 0;
}

void VirtualMouse::HandleOutputReport(uint16_t collection, std::span<const uint8_t> report) {
  ++m_outputReports;
  if (report.empty()) {
    AddLog("ignored: empty report");
    return;
  }
  if (collection != kVendorCollection) {
    AddLog(Format("ignored: report id %u on collection %u, which takes no commands", report[0],
                  collection));
    return;
  }
  const std::size_t expected = ReportSize(report[0]);
  if (expected == 0) {
    AddLog(Format("ignored: unknown report id %u (%zu bytes)", report[0], report.size()));
    return;
  }
  if (report.size() != expected) {
    AddLog(Format("ignored: report id %u with %zu bytes, expected %zu", report[0], report.size(),
                  expected));
    return;
  }
  HandleCommand(report, Format("[id %u] ", report[0]));
}

void VirtualMouse::HandleCommand(std::span<const uint8_t> report, const std::string& prefix) {
  const uint8_t command = report[1];
  switch (command) {
    case kCommandTransfer:
      if (report[2] == kTransferBegin) {
        AddLog(prefix +
               (m_inTransfer ? "transfer begin (already in a transfer)" : "transfer begin"));
        m_inTransfer = true;
      } else if (report[2] == kTransferEnd) {
        AddLog(prefix + (m_inTransfer ? "transfer end" : "transfer end (no transfer begun)"));
        if (m_inTransfer) ++m_transfers;
        m_inTransfer = false;
      } else {
        AddLog(prefix + Format("transfer with unknown argument %u ignored", report[2]));
      }
      return;
    case kCommandWrite: {
      const uint32_t address = AddressOf(report);
      const std::size_t length = report[4];
      const std::size_t n = std::min(length, report.size() - kReportDataOffset);
      const auto data = report.subspan(kReportDataOffset, n);
      std::string line = prefix + Format("write 0x%03X len %zu: ", address, length) +
                         DescribeMemoryWrite(address, data);
      if (n < length) line += Format(" (only %zu bytes fit the report)", n);
      if (address + n > m_memory.size()) {
        const std::size_t outside = address >= m_memory.size() ? n : address + n - m_memory.size();
        line += Format(" (%zu bytes outside memory dropped)", outside);
      }
      WriteMemory(address, data);
      AddLog(std::move(line));
      return;
    }
    case kCommandRead: {
      m_readPending = true;
      std::copy_n(report.begin(), kReportDataOffset, m_readHeader.begin());
      m_readAddress = AddressOf(report);
      m_readLength = report[4];
      AddLog(prefix + Format("read 0x%03X len %zu: ", m_readAddress, m_readLength) +
             DescribeMemoryRange(m_readAddress, m_readLength));
      return;
    }
    case kCommandApply:
      if (report[2] != kApplyArgument) {
        AddLog(prefix + Format("apply with argument 0x%02X ignored", report[2]));
        return;
      }
      AddLog(prefix + Format("apply 0x%02X: ", report[3]) + ApplyNames(report[3]));
      Apply(report[3]);
      return;
  }
  AddLog(prefix + Format("unknown command 0x%02X ignored", command));
}

std::vector<uint8_t> VirtualMouse::AnswerRead(uint16_t collection, uint16_t length,
                                              std::span<const uint8_t> preset) {
  ++m_reads;
  std::vector<uint8_t> answer(length, 0);
  std::copy_n(preset.begin(), std::min<std::size_t>(preset.size(), length), answer.begin());
  if (collection != kVendorCollection || !m_readPending) {
    AddLog(Format("answer len %u: no read command, preset and zeros", length));
    return answer;
  }
  m_readPending = false;
  std::copy_n(m_readHeader.begin(), std::min<std::size_t>(kReportDataOffset, length),
              answer.begin());
  const std::size_t room = length > kReportDataOffset ? length - kReportDataOffset : 0;
  const std::size_t n = std::min(m_readLength, room);
  const auto data = ReadMemory(m_readAddress, n);
  std::copy(data.begin(), data.end(), answer.begin() + (n > 0 ? kReportDataOffset : 0));
  std::string line = Format("answer len %u: 0x%03X len %zu: ", length, m_readAddress, n) +
                     DescribeMemoryWrite(m_readAddress, data);
  if (n < m_readLength) line += Format(" (%zu asked, the rest does not fit)", m_readLength);
  AddLog(std::move(line));
  return answer;
}

void VirtualMouse::Apply(uint8_t mask) {
  for (int bit = 0; bit < 8; ++bit) {
    if (mask & (1u << bit)) ++m_applied[bit];
  }
  if (mask & kApplyActiveProfile) {
    const uint8_t profile = MemoryByte(kActiveProfileAddress);
    if (profile < kMouseProfileCount) {
      TakeProfile(profile);
    } else {
      AddLog(Format("  active profile %u out of range, kept %d", profile, m_activeProfile));
    }
  }
  if (mask & (kApplyResolution | kApplyStageIndices)) TakeStageIndex();
  if (mask & kApplyLighting) {
    const auto lighting = ReadMemory(LightingAddress(m_activeProfile), 6);
    std::copy(lighting.begin(), lighting.end(), m_lighting.begin());
    m_lightingLevel = MemoryByte(LightingLevelAddress(m_activeProfile));
  }
  if (mask & kApplyPollingRate) m_pollingRate = MemoryByte(PollingRateAddress(m_activeProfile));
}

void VirtualMouse::TakeProfile(int profile) {
  m_activeProfile = profile;
  TakeStageIndex();
  const auto lighting = ReadMemory(LightingAddress(profile), 6);
  std::copy(lighting.begin(), lighting.end(), m_lighting.begin());
  m_lightingLevel = MemoryByte(LightingLevelAddress(profile));
  m_pollingRate = MemoryByte(PollingRateAddress(profile));
}

bool VirtualMouse::TakeStageIndex() {
  const uint8_t stage = MemoryByte(StageIndexAddress(m_activeProfile));
  if (stage >= kMouseStageCount) {
    AddLog(Format("  stage %u of profile %d out of range, kept %d", stage, m_activeProfile,
                  m_activeStage));
    return false;
  }
  m_activeStage = stage;
  return true;
}

void VirtualMouse::PowerUp() {
  m_readPending = false;
  m_inTransfer = false;
  const uint8_t stored = MemoryByte(kActiveProfileAddress);
  m_activeStage = 0;
  TakeProfile(stored < kMouseProfileCount ? stored : 0);
  AddLog(Format("power up: profile %d stage %d", m_activeProfile, m_activeStage));
}

void VirtualMouse::LoadFactorySettings() {
  // Stages of 500, 1000, 2000, 3000 and 5000 dpi; buttons: three clicks, Alt, Ctrl, Shift,
  // resolution up and down, scroll up and down; breathing light in one colour per profile.
  // Coded as the agent codes them (43 and 66 would be 1900 and 2900).
  static const std::array<uint8_t, kMouseStageCount> kStageCodes{
      kResolutionCodes[5], kResolutionCodes[10], kResolutionCodes[20], kResolutionCodes[30],
      kResolutionCodes[50]};
  static constexpr std::array<std::array<uint8_t, 4>, kMouseButtonCount> kButtons{{
      {0x81, 0, 0, 0},
      {0x82, 0, 0, 0},
      {0x83, 0, 0, 0},
      {0x90, 0, 0xE2, 0},
      {0x90, 0, 0xE0, 0},
      {0x90, 0, 0xE1, 0},
      {0x8A, 0, 0, 0},
      {0x89, 0, 0, 0},
      {0x8B, 0, 0, 0},
      {0x8C, 0, 0, 0},
  }};
  static constexpr std::array<std::array<uint8_t, 3>, kMouseProfileCount> kColours{{
      {0xFF, 0x00, 0x00},
      {0x00, 0xFF, 0x00},
      {0x00, 0x00, 0xFF},
      {0xFF, 0xFF, 0x00},
      {0xFF, 0x00, 0xFF},
  }};
  std::fill(m_memory.begin(), m_memory.end(), 0);
  for (int p = 0; p < kMouseProfileCount; ++p) {
    m_memory[WheelLinesAddress(p)] = 1;
    m_memory[PollingRateAddress(p)] = 2;
    m_memory[StageIndexAddress(p)] = static_cast<uint8_t>(p);
    for (int s = 0; s < kMouseStageCount; ++s) {
      const uint8_t code = kStageCodes[static_cast<std::size_t>(s)];
      WriteMemory(StageAddress(p, s), std::array<uint8_t, 6>{1, code, 0, code, 0, 0});
    }
    for (int b = 0; b < kMouseButtonCount; ++b) {
      WriteMemory(ButtonAddress(p, b), kButtons[static_cast<std::size_t>(b)]);
    }
    const auto& colour = kColours[static_cast<std::size_t>(p)];
    const LightingModeCode& breathing = kLightingModes[3];
    WriteMemory(LightingAddress(p), std::array<uint8_t, 6>{colour[0], colour[1], colour[2],
                                                           breathing.Effect, 8, breathing.Option});
    m_memory[LightingLevelAddress(p)] = 2;
  }
  AddLog("factory settings loaded");
  PowerUp();
}

MouseInputReport VirtualMouse::StatusReport(uint8_t kind, uint8_t value) const {
  MouseInputReport input{kVendorCollection, std::vector<uint8_t>(kStatusReportLength, 0)};
  input.Report[0] = kStatusReportId;
  input.Report[1] = kind;
  input.Report[2] = value;
  return input;
}

std::vector<int> VirtualMouse::EnabledStages() const {
  std::vector<int> stages;
  for (int s = 0; s < kMouseStageCount; ++s) {
    if (MemoryByte(StageAddress(m_activeProfile, s)) != 0) stages.push_back(s);
  }
  if (stages.empty()) {  // nothing enabled (a blank mouse): every stage takes part
    for (int s = 0; s < kMouseStageCount; ++s) stages.push_back(s);
  }
  return stages;
}

MouseActionResult VirtualMouse::StepStage(int direction, bool wrap, const std::string& what) {
  const auto stages = EnabledStages();
  // Position of the current stage in the cycle, or where it would be.
  int at = -1;
  for (std::size_t i = 0; i < stages.size(); ++i) {
    if (stages[i] == m_activeStage) at = static_cast<int>(i);
  }
  const int count = static_cast<int>(stages.size());
  int next = 0;
  if (at < 0) {
    next = direction > 0 ? 0 : count - 1;
  } else if (wrap) {
    next = (at + direction + count) % count;
  } else {
    next = std::clamp(at + direction, 0, count - 1);
  }
  if (at == next) {
    MouseActionResult result{
        true, what + ": stage " + std::to_string(m_activeStage) + " stays", {}};
    AddLog(result.Text);
    return result;
  }
  auto result = SwitchStage(stages[static_cast<std::size_t>(next)]);
  result.Text = what + ": " + result.Text;
  return result;
}

MouseActionResult VirtualMouse::StepPollingRate(int direction) {
  // Unknown codes count as the default 2.
  auto found = std::find(kPollingRateCodes.begin(), kPollingRateCodes.end(), m_pollingRate);
  if (found == kPollingRateCodes.end()) found = kPollingRateCodes.begin() + 2;
  const int at = static_cast<int>(found - kPollingRateCodes.begin());
  const int next = std::clamp(at + direction, 0, static_cast<int>(kPollingRateCodes.size()) - 1);
  if (kPollingRateCodes[next] == m_pollingRate) {
    MouseActionResult result{true, Format("polling rate %u stays", m_pollingRate), {}};
    AddLog(result.Text);
    return result;
  }
  return SwitchPollingRate(kPollingRateCodes[next]);
}

MouseActionResult VirtualMouse::PressButton(int button) {
  if (button < 0 || button >= kMouseButtonCount) {
    MouseActionResult refused{false, Format("press: no button %d (0-9)", button), {}};
    AddLog(refused.Text);
    return refused;
  }
  const auto bytes = ReadMemory(ButtonAddress(m_activeProfile, button), 4);
  const std::array<uint8_t, 4> code{bytes[0], bytes[1], bytes[2], bytes[3]};
  const std::string pressed =
      Format("press button %d of profile %d: ", button, m_activeProfile) + DescribeButtonCode(code);
  switch (code[0]) {
    case 0x8E: {
      MouseActionResult result{true, pressed, {}};
      if (code[2] == 0xFF) {
        // The mouse cannot do this itself: it reports the function to the PC.
        auto input = StatusReport(kFunctionReportMarker, code[3]);
        result.Reports.push_back(std::move(input));
        result.Text += " -> function report";
      } else {
        result.Reports.push_back({kConsumerCollection, {kConsumerReportId, code[2], 0}});
        result.Reports.push_back({kConsumerCollection, {kConsumerReportId, 0, 0}});
        result.Text += " -> media key press and release";
      }
      AddLog(result.Text);
      return result;
    }
    case 0x88:
    case 0x30:
      return StepStage(+1, true, pressed);
    case 0x8A:
      return StepStage(+1, false, pressed);
    case 0x89:
      return StepStage(-1, false, pressed);
    case 0x97: {
      auto result = StepPollingRate(+1);
      result.Text = pressed + ": " + result.Text;
      return result;
    }
    case 0x98: {
      auto result = StepPollingRate(-1);
      result.Text = pressed + ": " + result.Text;
      return result;
    }
    case 0x8D: {
      auto result = SwitchProfile((m_activeProfile + 1) % kMouseProfileCount);
      result.Text = pressed + ": " + result.Text;
      return result;
    }
  }
  // Clicks, keys, macros, scrolling: the mouse does these itself, towards the PC's input stack.
  MouseActionResult result{true, pressed + " (handled on the mouse)", {}};
  AddLog(result.Text);
  return result;
}

MouseActionResult VirtualMouse::SwitchProfile(int profile) {
  if (profile < 0 || profile >= kMouseProfileCount) {
    MouseActionResult refused{false, Format("profile: no profile %d (0-4)", profile), {}};
    AddLog(refused.Text);
    return refused;
  }
  // The mouse keeps the choice, so a later read-back sees it.
  m_memory[kActiveProfileAddress] = static_cast<uint8_t>(profile);
  TakeProfile(profile);
  MouseActionResult result{true,
                           Format("switched to profile %d (stage %d)", profile, m_activeStage),
                           {StatusReport(kStatusProfile, static_cast<uint8_t>(profile))}};
  AddLog(result.Text);
  return result;
}

MouseActionResult VirtualMouse::SwitchStage(int stage) {
  if (stage < 0 || stage >= kMouseStageCount) {
    MouseActionResult refused{false, Format("stage: no stage %d (0-4)", stage), {}};
    AddLog(refused.Text);
    return refused;
  }
  m_memory[StageIndexAddress(m_activeProfile)] = static_cast<uint8_t>(stage);
  m_activeStage = stage;
  MouseActionResult result{true,
                           Format("switched to stage %d of profile %d", stage, m_activeProfile),
                           {StatusReport(kStatusStage, static_cast<uint8_t>(stage))}};
  AddLog(result.Text);
  return result;
}

MouseActionResult VirtualMouse::SwitchLightingMode(int mode) {
  if (mode < 0 || mode >= static_cast<int>(kLightingModes.size())) {
    MouseActionResult refused{false, Format("lighting: no mode %d (0-7)", mode), {}};
    AddLog(refused.Text);
    return refused;
  }
  const LightingModeCode& code = kLightingModes[static_cast<std::size_t>(mode)];
  // The colour stays; the speed is kept within what the new mode allows.
  const uint32_t address = LightingAddress(m_activeProfile);
  const uint8_t speed = std::min(MemoryByte(address + 4), code.MaxSpeed);
  m_memory[address + 3] = code.Effect;
  m_memory[address + 4] = speed;
  m_memory[address + 5] = code.Option;
  std::copy_n(m_memory.begin() + address, 6, m_lighting.begin());
  auto input = StatusReport(kStatusLighting, static_cast<uint8_t>(mode));
  input.Report[3] = code.Effect;
  input.Report[4] = speed;
  input.Report[5] = code.Option;
  MouseActionResult result{
      true,
      Format("switched to lighting mode %d (effect %u option 0x%02X) of profile %d", mode,
             code.Effect, code.Option, m_activeProfile),
      {std::move(input)}};
  AddLog(result.Text);
  return result;
}

MouseActionResult VirtualMouse::SwitchPollingRate(int code) {
  if (std::find(kPollingRateCodes.begin(), kPollingRateCodes.end(), code) ==
      kPollingRateCodes.end()) {
    MouseActionResult refused{
        false, Format("rate: no polling-rate code %d (8, 4, 2, 1)", code), {}};
    AddLog(refused.Text);
    return refused;
  }
  m_memory[PollingRateAddress(m_activeProfile)] = static_cast<uint8_t>(code);
  m_pollingRate = static_cast<uint8_t>(code);
  MouseActionResult result{
      true,
      Format("switched to polling rate %d of profile %d", code, m_activeProfile),
      {StatusReport(kStatusPollingRate, static_cast<uint8_t>(code))}};
  AddLog(result.Text);
  return result;
}
