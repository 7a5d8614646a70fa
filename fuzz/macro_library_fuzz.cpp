// The macro library: any index and macro files read within their limits; a valid name saved
// into the library is found again, reads back what was saved, and its file stays in the macro
// folder; the agent's read-back of any area bytes writes only into that folder.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/block_checksum_mutator.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/scratch_folder.h"
#include "settings/macro_library.h"
#include "settings/macro_name.h"
#include "settings/macro_slot_notifier.h"

namespace fs = std::filesystem;

namespace {

struct Quiet : MacroSlotNotifier {
  void MacroSlotChanged(int, bool) override {}
};

// Every file below the scratch folder lies in "data/MacroDB".
bool OnlyMacroFolder(const fs::path& root) {
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const fs::path relative = fs::relative(entry.path(), root);
    if (relative == "data" || relative == fs::path("data") / "MacroDB") continue;
    if (relative.parent_path() != fs::path("data") / "MacroDB") return false;
  }
  return true;
}

}  // namespace

VIREO_BLOCK_CHECKSUM_MUTATOR

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static ScratchFolder scratch("macros");
  scratch.Reset();
  const fs::path folder = scratch.Path() / "data" / "MacroDB";
  fs::create_directories(folder);
  FuzzInput input(data, size);
  std::ofstream(folder / "MacroSet.MSDB", std::ios::binary) << input.Text(input.Word());
  const std::u16string existing = input.Units(kInterestingUnits, 20);
  if (IsValidMacroName(existing)) {
    std::ofstream(folder / (existing + u".MSMACRO"), std::ios::binary) << input.Text(input.Word());
  }
  MacroLibrary library(scratch.Path().u16string() + u"/data/");

  // Whatever the files hold reads within the limits.
  for (const MacroListEntry& entry : library.ListMacroNames()) {
    FUZZ_CHECK(entry.Slot >= 0 && entry.Slot < kMacroLibrarySlots && !entry.Name.empty());
    const Macro macro = library.ReadMacroFile(entry.Name);
    FUZZ_CHECK(macro.Count >= 0 && macro.Count <= kMacroRecordCapacity);
  }

  // A valid name: saved, found in any case, read back as saved, in the macro folder.
  Macro macro;
  macro.Name = input.Units(kInterestingUnits, 70);
  for (int i = input.Below(8); i > 0; --i) {
    macro.Append(KeyRecord(input.Byte(), input.Byte() & 1));
  }
  macro.LoopTime = input.Byte();
  Quiet notifier;
  if (library.CreateMacro(macro.Name) >= 0) {
    FUZZ_CHECK(IsValidMacroName(macro.Name));
    FUZZ_CHECK(library.SaveMacro(macro));
    const int slot = library.FindMacroSlot(macro.Name);
    FUZZ_CHECK(slot >= 0 && SameMacroName(library.SlotName(slot), macro.Name));
    const Macro back = library.ReadMacroFile(macro.Name);
    FUZZ_CHECK(back.Records == macro.Records && back.Count == macro.Count &&
               back.LoopTime == macro.LoopTime);
    FUZZ_CHECK(fs::exists(folder / (macro.Name + u".MSMACRO")));
    FUZZ_CHECK(library.DeleteMacro(macro.Name, notifier));
    FUZZ_CHECK(!fs::exists(folder / (macro.Name + u".MSMACRO")));
  }

  // The agent's read-back into a slot the index may name anything.
  const int area = static_cast<int>(input.Below(kMacroDeviceAreas));
  const std::vector<std::uint8_t> areaBytes = input.Bytes(200);
  library.StoreReadBackMacro(area, areaBytes);
  FUZZ_CHECK(OnlyMacroFolder(scratch.Path()));
  return 0;
}
