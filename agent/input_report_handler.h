#pragma once
// What the agent does with an input report the mouse sends by itself: a change made on the
// mouse (stage, profile, polling rate, lighting mode) is forwarded to the configurator, and a
// PC-side button function is handed to the executor. It keeps no state and may run on the
// mouse library's thread.

#include <cstdint>
#include <span>

class ActionExecutor;
class ConfiguratorPoster;
class DebugLog;

class InputReportHandler {
 public:
  InputReportHandler(DebugLog& log, ConfiguratorPoster& configurator, ActionExecutor& executor);

  // `address` is only logged: the report's location as the library passed it.
  void OnInputReport(std::uint32_t id, std::span<const std::uint8_t> report,
                     std::uintptr_t address);

 private:
  DebugLog& m_log;
  ConfiguratorPoster& m_configurator;
  ActionExecutor& m_executor;
};
