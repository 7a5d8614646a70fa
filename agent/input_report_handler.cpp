#include "agent/input_report_handler.h"

#include <cstdio>
#include <string>

#include "agent/action_executor.h"
#include "agent/configurator_poster.h"
#include "agent/debug_log.h"
#include "contract/mouse_map.h"
#include "contract/window_messages.h"

using namespace configurator_msg;
using namespace device_map;

namespace {

constexpr std::size_t kLoggedBytes = 9;

// Bytes a decision reads: 0-2, and 0-5 for the lighting status.
constexpr std::size_t kDecisionBytes = 3;
constexpr std::size_t kLightingDecisionBytes = 6;

void LogReport(DebugLog& log, std::uint32_t id, std::span<const std::uint8_t> report,
               std::uintptr_t address) {
  char line[96];
  std::snprintf(line, sizeof line, "ID:%x,pBuffer=%x , Length=%x\n", static_cast<unsigned>(id),
                static_cast<unsigned>(address), static_cast<unsigned>(report.size()));
  log.Write(line);
  // Only the bytes the report has, at most nine.
  std::string bytes;
  const std::size_t shown = report.size() < kLoggedBytes ? report.size() : kLoggedBytes;
  for (std::size_t i = 0; i < shown; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, i == 0 ? "%02x" : " %02x", report[i]);
    bytes += hex;
  }
  bytes += '\n';
  log.Write(bytes);
}

}  // namespace

InputReportHandler::InputReportHandler(DebugLog& log, ConfiguratorPoster& configurator,
                                       ActionExecutor& executor)
    : m_log(log), m_configurator(configurator), m_executor(executor) {}

void InputReportHandler::OnInputReport(std::uint32_t id, std::span<const std::uint8_t> report,
                                       std::uintptr_t address) {
  LogReport(m_log, id, report, address);
  if (report.size() < kDecisionBytes) return;

  if (report[0] == kStatusReportId) {
    unsigned news = 0;
    switch (report[1]) {
      case kStatusStage:
        news = kNewsStage;
        break;
      case kStatusProfile:
        news = kNewsProfile;
        break;
      case kStatusPollingRate:
        news = kNewsPollingRate;
        break;
      case kStatusLighting:
        if (report.size() < kLightingDecisionBytes) return;
        m_configurator.PostToConfigurator(kAgentNews, kNewsLightingMode,
                                          DecodeLightingMode(report[3], report[5]));
        return;
      default:
        break;
    }
    if (news != 0) {
      m_configurator.PostToConfigurator(kAgentNews, news, report[2]);
      return;
    }
  }

  if (report[1] != kFunctionReportMarker) return;
  const std::uint8_t code = report[2];
  if (IsPcFunction(code)) m_executor.Perform(code);
}
