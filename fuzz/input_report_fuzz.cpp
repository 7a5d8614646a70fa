// The agent's handling of the reports the mouse sends by itself: any report of any length is
// handled without harm, and yields at most one piece of news or one PC function.
#include <cstdint>
#include <string_view>

#include "agent/action_executor.h"
#include "agent/configurator_poster.h"
#include "agent/debug_log.h"
#include "agent/input_report_handler.h"
#include "fuzz/fuzz_input.h"

namespace {

struct Counting : ConfiguratorPoster, ActionExecutor, DebugLog {
  int posts = 0;
  int actions = 0;
  void PostToConfigurator(unsigned, std::uintptr_t, std::intptr_t) override { ++posts; }
  void Perform(std::uint8_t) override { ++actions; }
  void Write(std::string_view) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  Counting ports;
  InputReportHandler handler(ports, ports, ports);
  while (!input.Empty()) {
    const std::uint32_t id = input.Word();
    const std::vector<std::uint8_t> report = input.Bytes(input.Byte());
    const int before = ports.posts + ports.actions;
    handler.OnInputReport(id, report, 0);
    FUZZ_CHECK(ports.posts + ports.actions - before <= 1);
  }
  return 0;
}
