// The five profile files: whatever they hold loads into a set that validation makes usable;
// the validated set saves and loads back exactly.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

#include "fuzz/block_checksum_mutator.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/scratch_folder.h"
#include "settings/profile_files.h"
#include "settings/profile_set.h"

namespace {

ProfileSet LoadValidated(const std::u16string& folder) {
  ProfileSet loaded;
  ResetProfileSet(loaded);
  LoadProfileFiles(loaded, folder);
  ProfileSet validated;
  ValidateProfileSet(validated, loaded);
  return validated;
}

}  // namespace

VIREO_BLOCK_CHECKSUM_MUTATOR

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static ScratchFolder scratch("profiles");
  scratch.Reset();
  FuzzInput input(data, size);
  for (int n = 1; n <= kProfileCount; ++n) {
    const std::string bytes = input.Text(input.Word());
    if (bytes.empty() && input.Empty()) continue;  // a missing file
    std::ofstream(scratch.Path() / ("QVProfile" + std::to_string(n) + ".pfd"), std::ios::binary)
        << bytes;
  }
  const ProfileSet first = LoadValidated(scratch.DataFolder());
  // Validated values are usable as they are: validating again changes no byte and says so.
  ProfileSet again;
  FUZZ_CHECK(!ValidateProfileSet(again, first));
  FUZZ_CHECK(std::memcmp(&again, &first, sizeof first) == 0);
  FUZZ_CHECK(first.CurrentProfile >= 0 && first.CurrentProfile < kProfileCount);

  SaveProfileFiles(first, scratch.DataFolder());
  const ProfileSet second = LoadValidated(scratch.DataFolder());
  FUZZ_CHECK(std::memcmp(&first, &second, sizeof first) == 0);
  return 0;
}
