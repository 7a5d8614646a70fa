// Crashes and failures at every step of the file layer, the way SQLite tests its journal: a
// save of the five profile files and of the macro library whose N-th create, write, flush or
// rename fails or stops the process there. Afterwards every file loads and holds either its old
// or its new content, and no temporary file stays behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "settings/file_steps.h"
#include "settings/macro_library.h"
#include "settings/profile_files.h"
#include "settings/profile_set.h"
#include "tests/unit/support/sample_profiles.h"

namespace {

namespace fs = std::filesystem;

using Snapshot = std::map<std::string, std::string>;

class FileFaultInjection : public testing::Test {
 protected:
  void SetUp() override {
    m_folder = fs::temp_directory_path() / ("vireo-faults-" + std::to_string(::getpid()));
    fs::remove_all(m_folder);
    fs::create_directories(m_folder);
    m_data = m_folder.u16string() + u"/";
    m_old = MakeSampleProfileSet();
    m_new = MakeSampleProfileSet();
    m_new.CurrentProfile = 0;
    m_new.Profiles[2].PollingRate = 1;
    m_new.Profiles[4].DPI = 7;
  }
  void TearDown() override {
    SetFileStepHook(nullptr);
    fs::remove_all(m_folder);
  }

  static Macro MacroWith(int loops) {
    Macro macro;
    macro.Name = u"Combo";
    macro.Append(KeyRecord(0x04, true));
    macro.Append(KeyRecord(0x04, false));
    macro.LoopTime = loops;
    return macro;
  }

  void SaveOld() {
    ASSERT_TRUE(SaveProfileFiles(m_old, m_data));
    MacroLibrary library(m_data);
    ASSERT_TRUE(library.CreateMacro(u"Combo") >= 0 && library.SaveMacro(MacroWith(1)));
  }
  void SaveNew() {
    SaveProfileFiles(m_new, m_data);
    MacroLibrary library(m_data);
    library.SaveMacro(MacroWith(5));
    if (library.FindMacroSlot(u"Second") < 0) library.AddMacroName(u"Second");
  }

  Snapshot Files() const {
    Snapshot files;
    for (const auto& entry : fs::recursive_directory_iterator(m_folder)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      files[fs::relative(entry.path(), m_folder).string()] =
          std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
  }
  void Restore(const Snapshot& files) {
    fs::remove_all(m_folder);
    for (const auto& [name, bytes] : files) {
      fs::create_directories((m_folder / name).parent_path());
      std::ofstream(m_folder / name, std::ios::binary) << bytes;
    }
  }

  fs::path m_folder;
  std::u16string m_data;
  ProfileSet m_old;
  ProfileSet m_new;
};

TEST_F(FileFaultInjection, EveryFileIsOldOrNewAfterAFaultAtEveryStep) {
  SaveOld();
  const Snapshot before = Files();
  int steps = 0;
  SetFileStepHook([&](FileStep step) {
    steps += step != FileStep::Lock;
    return FileStepOutcome::Proceed;
  });
  SaveNew();
  SetFileStepHook(nullptr);
  const Snapshot after = Files();
  ASSERT_EQ(before.size(), after.size());  // the same files, new content
  ASSERT_GE(steps, 4 * 7);

  for (FileStepOutcome fault : {FileStepOutcome::Fail, FileStepOutcome::Stop}) {
    for (int n = 1; n <= steps; ++n) {
      const std::string where =
          (fault == FileStepOutcome::Fail ? "fail at step " : "stop at step ") + std::to_string(n);
      Restore(before);
      int count = 0;
      SetFileStepHook([&](FileStep step) {
        if (step == FileStep::Lock) return FileStepOutcome::Proceed;
        return ++count == n ? fault : FileStepOutcome::Proceed;
      });
      SaveNew();
      SetFileStepHook(nullptr);  // the program starts again

      Snapshot now = Files();
      if (fault == FileStepOutcome::Stop) {
        // What a crash left behind goes with the next commit in that folder.
        for (auto it = now.begin(); it != now.end();) {
          it = IsReplacementTempName(fs::path(it->first).filename().u16string()) ? now.erase(it)
                                                                                 : std::next(it);
        }
      }
      ASSERT_EQ(now.size(), before.size()) << where;
      for (const auto& [name, bytes] : now) {
        ASSERT_TRUE(before.count(name)) << where << ": " << name;
        EXPECT_TRUE(bytes == before.at(name) || bytes == after.at(name)) << where << ": " << name;
      }
      ProfileSet loaded;
      ResetProfileSet(loaded);
      LoadProfileFiles(loaded, m_data);
      ProfileSet validated;
      ValidateProfileSet(validated, loaded);
      EXPECT_TRUE(validated.CurrentProfile == m_old.CurrentProfile ||
                  validated.CurrentProfile == m_new.CurrentProfile)
          << where;

      // Done again without faults, the save completes and leaves nothing else behind.
      SaveNew();
      EXPECT_TRUE(Files() == after) << where;
    }
  }
}

}  // namespace
