// The agent's read-back over a device link whose answers are fuzzed: any length and any
// content. Whatever the mouse answers, the set that validation makes of it is usable as it is,
// and the macro areas go into the library's folder only.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

#include "agent/device_link.h"
#include "agent/device_registry.h"
#include "agent/mouse_protocol.h"
#include "agent/sleeper.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/scratch_folder.h"
#include "settings/macro_library.h"
#include "settings/profile_set.h"

namespace {

// Answers each read with the next piece of the input: a length byte (how many bytes the
// device delivers, from the start or from byte 8), then that many bytes.
class FuzzedLink : public DeviceLink {
 public:
  explicit FuzzedLink(FuzzInput& input) : m_input(input) {}
  bool WriteReport(std::uint32_t, std::span<const std::uint8_t>) override { return true; }
  // A shape of 0x7F stands for a read the link reports as failed.
  bool ReadReport(std::uint32_t, std::span<std::uint8_t> buffer) override {
    const std::uint8_t shape = m_input.Byte();
    if (shape == 0x7F) return false;
    const std::size_t from = shape & 0x80 ? 0 : std::min<std::size_t>(8, buffer.size());
    const std::size_t count = std::min<std::size_t>(shape & 0x7F, buffer.size() - from);
    const std::vector<std::uint8_t> bytes = m_input.Bytes(count);
    std::copy(bytes.begin(), bytes.end(), buffer.begin() + static_cast<std::ptrdiff_t>(from));
    return true;
  }

 private:
  FuzzInput& m_input;
};

struct NoPause : Sleeper {
  void Sleep(unsigned) override {}
  std::uint64_t NowMicroseconds() override { return 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static ScratchFolder scratch("read-back");
  scratch.Reset();
  FuzzInput input(data, size);
  FuzzedLink link(input);
  DeviceRegistry registry;
  registry.Add({1, 0x11, 0, device_map::kConsumerUsagePage});
  registry.Add({1, 0x22, 0, device_map::kVendorUsagePage});
  NoPause pause;
  MacroLibrary library(scratch.DataFolder());
  MouseProtocol protocol(link, registry, pause, library);

  ProfileSet set;
  ResetProfileSet(set);
  ValidateProfileSet(set, set);
  protocol.BeginTransfer();
  protocol.ReadActiveProfile(set);
  protocol.ReadLighting(set);
  protocol.ReadPollingRates(set);
  protocol.ReadStages(set);
  if (input.Byte() & 1) protocol.StoreMacroAreas(protocol.ReadMacroAreas());
  for (int p = 0; p < kProfileCount; ++p) {
    for (int b = 0; b < kButtonCount; ++b) protocol.ReadButton(set, p, b);
  }
  protocol.EndTransfer();

  ProfileSet validated;
  ValidateProfileSet(validated, set);
  ProfileSet again;
  ValidateProfileSet(again, validated);
  FUZZ_CHECK(std::memcmp(&again, &validated, sizeof again) == 0);
  for (const MacroListEntry& entry : library.ListMacroNames()) {
    FUZZ_CHECK(library.ReadMacroFile(entry.Name).Count <= kMacroRecordCapacity);
  }
  return 0;
}
