// Damaged files of every kind the programs read: a real file, saved by the programs, cut,
// overwritten and spliced at random (fixed seeds, so a failure repeats). Whatever the damage,
// reading must not crash (the native tests run under AddressSanitizer), and what comes out of
// validation must be usable.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "settings/ini_document.h"
#include "settings/macro_library.h"
#include "settings/profile_files.h"
#include "settings/profile_set.h"
#include "tests/unit/support/sample_profiles.h"

namespace {

namespace fs = std::filesystem;

class DamagedFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    m_folder =
        fs::temp_directory_path() / (std::string("vireo-damaged-") +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_folder);
    fs::create_directories(m_folder / "MacroDB");
  }
  void TearDown() override { fs::remove_all(m_folder); }

  std::u16string DataFolder() const {
    const std::string text = m_folder.string() + "/";
    return std::u16string(text.begin(), text.end());
  }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }

  fs::path m_folder;
};

// One random kind of damage: a cut (a half-written file), bytes overwritten, random bytes
// inserted, or a piece of the file repeated somewhere else.
std::string Damage(const std::string& original, std::mt19937& random) {
  std::string bytes = original;
  auto at = [&](std::size_t size) {
    return std::uniform_int_distribution<std::size_t>(0, size)(random);
  };
  auto byte = [&] { return static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random)); };
  const int rounds = 1 + static_cast<int>(random() % 4);
  for (int round = 0; round < rounds; ++round) {
    switch (random() % 4) {
      case 0:
        bytes.resize(at(bytes.size()));
        break;
      case 1:
        for (int i = 0; i < 8 && !bytes.empty(); ++i) bytes[at(bytes.size() - 1)] = byte();
        break;
      case 2: {
        std::string noise(1 + random() % 64, '\0');
        for (char& c : noise) c = byte();
        bytes.insert(at(bytes.size()), noise);
        break;
      }
      default: {
        const std::size_t from = at(bytes.size());
        const std::size_t length = std::min<std::size_t>(bytes.size() - from, 1 + random() % 400);
        bytes.insert(at(bytes.size()), bytes.substr(from, length));
        break;
      }
    }
  }
  return bytes;
}

void ExpectUsable(const ProfileSet& set) {
  ASSERT_GE(set.CurrentProfile, 0);
  ASSERT_LE(set.CurrentProfile, 4);
  for (const ProfileRecord& r : set.Profiles) {
    EXPECT_LE(static_cast<unsigned>(r.PollingRate), 8u);
    EXPECT_GE(r.MouseSensitivity, 1);
    EXPECT_LE(r.MouseSensitivity, 20);
    EXPECT_GE(r.WheelScrollLines, 1);
    EXPECT_LE(r.WheelScrollLines, 63);
    EXPECT_GE(r.DPICurrentX, 1);
    EXPECT_LE(r.DPICurrentX, 75);
    EXPECT_EQ(r.DPIStageNum, 5);
    EXPECT_LE(static_cast<unsigned>(r.DPI), 5u);
    EXPECT_GE(LightingMode(r), 0);
    EXPECT_LE(LightingMode(r), 7);
    // The sixth stage has no default resolution; the five of the cycle always have one.
    for (int k = 0; k < kDpiStagesInCycle; ++k) EXPECT_NE(r.DpiStages[k].X, 0);
    for (const ButtonAssignment& button : r.Buttons) {
      EXPECT_NE(button.ButtonFunc, kFunctionUnset);
      EXPECT_LE(MacroNameOf(button).size(), kMacroNameUnits - 1);
    }
  }
}

TEST_F(DamagedFilesTest, ProfileFilesLoadIntoAUsableSetWhateverTheDamage) {
  ASSERT_TRUE(SaveProfileFiles(MakeSampleProfileSet(), DataFolder()));
  std::string originals[kProfileCount];
  for (int n = 1; n <= kProfileCount; ++n) {
    originals[n - 1] = Read(m_folder / ("QVProfile" + std::to_string(n) + ".pfd"));
    ASSERT_FALSE(originals[n - 1].empty());
  }
  std::mt19937 random(20261209);
  for (int trial = 0; trial < 150; ++trial) {
    for (int n = 1; n <= kProfileCount; ++n) {
      Write(m_folder / ("QVProfile" + std::to_string(n) + ".pfd"),
            Damage(originals[n - 1], random));
    }
    ProfileSet loaded;
    ResetProfileSet(loaded);
    LoadProfileFiles(loaded, DataFolder());
    ProfileSet validated;
    ValidateProfileSet(validated, loaded);
    SCOPED_TRACE(trial);
    ExpectUsable(validated);
    if (HasFailure()) return;
  }
}

TEST_F(DamagedFilesTest, MacroFilesAndTheIndexReadWithinTheirLimits) {
  MacroLibrary library(DataFolder());
  ASSERT_EQ(library.CreateMacro(u"Burst"), 0);
  Macro macro = library.ReadMacroFile(u"Burst");
  for (int i = 0; i < 63; ++i) {
    ASSERT_TRUE(macro.Append(KeyRecord(static_cast<std::uint8_t>(4 + i % 30), i % 2 == 0)));
  }
  ASSERT_TRUE(library.SaveMacro(macro));
  const fs::path macroFile = m_folder / "MacroDB" / "Burst.MSMACRO";
  const fs::path index = m_folder / "MacroDB" / "MacroSet.MSDB";
  const std::string macroBytes = Read(macroFile);
  const std::string indexBytes = Read(index);

  std::mt19937 random(7);
  for (int trial = 0; trial < 200; ++trial) {
    Write(macroFile, Damage(macroBytes, random));
    Write(index, Damage(indexBytes, random));
    SCOPED_TRACE(trial);
    const Macro read = library.ReadMacroFile(u"Burst");
    EXPECT_GE(read.Count, 0);
    EXPECT_LE(read.Count, 63);
    EXPECT_LE(read.StoredRecords().size(), 63u);
    EXPECT_LE(read.NonEmptyRecordCount(), 63);
    // A block either survives whole or the macro reads as empty.
    if (read.NonEmptyRecordCount() != 0) {
      EXPECT_EQ(read.NonEmptyRecordCount(), 63);
    }
    const int slot = library.FindMacroSlot(u"Burst");
    EXPECT_TRUE(slot == -1 || slot == 0);
    for (const MacroListEntry& entry : library.ListMacroNames()) {
      EXPECT_GE(entry.Slot, 0);
      EXPECT_LT(entry.Slot, kMacroLibrarySlots);
    }
    if (HasFailure()) return;
  }
}

TEST(DamagedIniTest, ADocumentReadsTheSameAfterItsOwnRewrite) {
  // Whatever a damaged file holds, serialising what was parsed gives the same bytes back, and
  // a write followed by a read finds the value written.
  std::mt19937 random(99);
  const char utf16[] = "\xFF\xFE[\0G\0R\0O\0U\0P\0000\0]\0\r\0\n\0K\0=\0\"\0v\0\"\0\r\0\n\0";
  const std::string seed(utf16, sizeof(utf16) - 1);
  const std::string ansi = "[GROUP0]\r\nA=1\r\n; note\r\n[ButtonAssigned0_1]\r\nMacroName=x\r\n";
  for (int trial = 0; trial < 300; ++trial) {
    const std::string bytes = Damage(trial % 2 ? seed : ansi, random);
    SCOPED_TRACE(trial);
    IniDocument document = IniDocument::Parse(bytes);
    EXPECT_EQ(document.Serialize(), bytes);
    document.SetInt(u"GROUP0", u"Written", trial);
    const IniDocument reread = IniDocument::Parse(document.Serialize());
    EXPECT_EQ(reread.GetInt(u"GROUP0", u"Written", -1), trial);
    if (HasFailure()) return;
  }
}

}  // namespace
