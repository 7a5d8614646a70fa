#include "settings/profile_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <set>
#include <string>
#include <thread>

#include <unistd.h>

#include "settings/file_steps.h"
#include "settings/ini_file.h"
#include "settings/profile_set.h"
#include "tests/unit/support/sample_profiles.h"

namespace {

namespace fs = std::filesystem;

bool SameBytes(const void* a, const void* b, std::size_t size) {
  return std::memcmp(a, b, size) == 0;
}

bool SameSet(const ProfileSet& a, const ProfileSet& b) {
  return SameBytes(&a, &b, sizeof a);
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The text of a UTF-16LE file with byte-order mark; fails the test for anything
// else.
std::u16string ReadUtf16File(const fs::path& path) {
  const std::string bytes = ReadBytes(path);
  EXPECT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE", 2)) << "no UTF-16LE byte-order mark";
  EXPECT_EQ(bytes.size() % 2, 0u);
  std::u16string text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  return text;
}

void WriteUtf16File(const fs::path& path, const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  WriteBytes(path, bytes);
}

// Removes the line "key=..." of the given section from INI text.
void RemoveKeyLine(std::u16string& text, const std::u16string& section, const std::u16string& key) {
  const std::size_t sectionAt = text.find(u"[" + section + u"]\r\n");
  ASSERT_NE(sectionAt, std::u16string::npos) << "no section";
  const std::size_t keyAt = text.find(u"\r\n" + key + u"=", sectionAt);
  ASSERT_NE(keyAt, std::u16string::npos) << "no key";
  const std::size_t nextSection = text.find(u"\r\n[", sectionAt + 1);
  ASSERT_TRUE(nextSection == std::u16string::npos || keyAt < nextSection) << "key elsewhere";
  const std::size_t lineEnd = text.find(u"\r\n", keyAt + 2);
  text.erase(keyAt, lineEnd - keyAt);
}

std::u16string Ascii(std::string_view text) {
  return std::u16string(text.begin(), text.end());
}

class ProfileFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_folder =
        fs::temp_directory_path() / ("vireo-profile-files-" + std::string(info->name()) + "-" +
                                     std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(m_folder);
    fs::create_directories(m_folder);
    m_dataFolder = m_folder.u16string() + u"/";
  }
  void TearDown() override { fs::remove_all(m_folder); }

  fs::path FilePath(int n) const { return m_folder / ("QVProfile" + std::to_string(n) + ".pfd"); }
  std::u16string IniPath(int n) const { return ProfileFilePath(m_dataFolder, n); }

  ProfileSet LoadAndValidate() const {
    ProfileSet loaded;
    ResetProfileSet(loaded);
    LoadProfileFiles(loaded, m_dataFolder);
    ProfileSet validated;
    ValidateProfileSet(validated, loaded);
    return validated;
  }

  ProfileSet LoadRaw() const {
    ProfileSet loaded;
    ResetProfileSet(loaded);
    LoadProfileFiles(loaded, m_dataFolder);
    return loaded;
  }

  fs::path m_folder;
  std::u16string m_dataFolder;
};

TEST_F(ProfileFilesTest, PathsAreTheDataFolderAndTheNumberedName) {
  EXPECT_EQ(ProfileFilePath(u"C:\\Users\\A\\Documents\\Vireo Gaming Mouse\\", 1),
            u"C:\\Users\\A\\Documents\\Vireo Gaming Mouse\\QVProfile1.pfd");
  EXPECT_EQ(ProfileFilePath(u"D:\\x\\", 5), u"D:\\x\\QVProfile5.pfd");
}

TEST_F(ProfileFilesTest, SaveThenLoadReproducesAValidatedSetByteForByte) {
  const ProfileSet sample = MakeSampleProfileSet();
  ASSERT_TRUE(SaveProfileFiles(sample, m_dataFolder));
  for (int n = 1; n <= kProfileCount; ++n) EXPECT_TRUE(fs::exists(FilePath(n))) << n;

  const ProfileSet loaded = LoadAndValidate();
  for (int p = 0; p < kProfileCount; ++p) {
    for (int b = 0; b < kButtonCount; ++b) {
      SCOPED_TRACE(std::to_string(p) + "/" + std::to_string(b));
      const ButtonAssignment& want = sample.Profiles[p].Buttons[b];
      const ButtonAssignment& got = loaded.Profiles[p].Buttons[b];
      EXPECT_TRUE(SameBytes(got.KeyBlock, want.KeyBlock, kKeyBlockSize));
      EXPECT_EQ(MacroNameOf(got), MacroNameOf(want));
    }
  }
  EXPECT_EQ(loaded.CurrentProfile, 3);
  EXPECT_TRUE(SameBytes(&loaded, &sample, sizeof loaded));

  // Saving what was loaded writes the same files again.
  const std::string before = ReadBytes(FilePath(2));
  ASSERT_TRUE(SaveProfileFiles(loaded, m_dataFolder));
  EXPECT_EQ(ReadBytes(FilePath(2)), before);
}

TEST_F(ProfileFilesTest, MacroNamesAreKeptUpTo259UnitsAndCutBeyond) {
  ProfileSet set = MakeSampleProfileSet();
  ASSERT_TRUE(SaveProfileFiles(set, m_dataFolder));

  std::u16string longName;
  for (int i = 0; i < 300; ++i) longName.push_back(static_cast<char16_t>(u'a' + i % 26));
  IniFile(IniPath(2)).SetText(u"ButtonAssigned1_7", u"MacroName", longName);
  IniFile(IniPath(3)).SetText(u"ButtonAssigned2_1", u"MacroName", u"\u00c4rger \u4e2d \U0001F5B1");

  const ProfileSet loaded = LoadRaw();
  EXPECT_EQ(MacroNameOf(loaded.Profiles[1].Buttons[6]), longName.substr(0, 259));
  EXPECT_EQ(loaded.Profiles[1].Buttons[6].MacroName[259], 0);
  EXPECT_EQ(MacroNameOf(loaded.Profiles[2].Buttons[0]), u"\u00c4rger \u4e2d \U0001F5B1");
}

TEST_F(ProfileFilesTest, WritesNewFilesAsUtf16InTheExpectedKeyOrder) {
  ProfileSet reset;
  ResetProfileSet(reset);
  ProfileSet set;
  ValidateProfileSet(set, reset);
  ApplyFactoryDefaults(set, 0);
  set.Profiles[0].Buttons[9].ButtonFunc = 100;
  set.Profiles[0].Buttons[9].KeyNumber = 14;
  set.Profiles[0].Buttons[9].LoopNumber = 3;
  SetMacroName(set.Profiles[0].Buttons[9], u"Gr\u00f6\u00dfe \u4e2d");
  ASSERT_TRUE(SaveProfileFiles(set, m_dataFolder));

  const std::u16string zeros(2 * kKeyBlockSize, u'0');
  std::u16string expected =
      u"[GROUP0]\r\n"
      u"GroupID=0\r\n"
      u"Group=1\r\n"
      u"PollingRate=2\r\n"
      u"WheelScrollLines=1\r\n"
      u"MouseSensitivity=10\r\n"
      u"DoubleClickSpeed=5\r\n"
      u"UniversalScrollEnabled=0\r\n"
      u"Acceleration=1\r\n"
      u"XYSensitivityEnabled=0\r\n"
      u"MouseSpeedX=10\r\n"
      u"MouseSpeedY=10\r\n"
      u"OFASensitivity=10\r\n"
      u"LedMode1=3\r\n"
      u"LedState1=2\r\n"
      u"FlashState1=5\r\n"
      u"BreathState1=8\r\n"
      u"LedColor1=255\r\nLedColor2=255\r\nLedColor3=255\r\nLedColor4=255\r\n"
      u"LedColor5=255\r\nLedColor6=255\r\nLedColor7=255\r\nLedColor8=255\r\n"
      u"LEDSTATE_INFO="
      u"0200000008000000020000000800000002000000080000000200000008000000"
      u"02000000080000000200000008000000020000000800000046\r\n"
      u"ANGLE=0\r\n"
      u"LIFT=3\r\n"
      u"DPI=0\r\n"
      u"DPICurrentX=14\r\n"
      u"DPICurrentY=14\r\n"
      u"DPIStageNum=5\r\n"
      u"DPIStageValue="
      u"01000000050000000500000001000000010000000A0000000A00000001000000"
      u"0100000014000000140000000100000001000000"
      u"1E0000001E0000000100000001000000320000003200000001000000010000000000000"
      u"0"
      u"0000000001000000F2\r\n";
  for (int b = 1; b <= kButtonCount; ++b) {
    std::u16string block = zeros + u"00";
    if (b == 4) block = u"E2" + zeros.substr(2) + u"E2";
    if (b == 5) block = u"E0" + zeros.substr(2) + u"E0";
    if (b == 6) block = u"E1" + zeros.substr(2) + u"E1";
    expected += u"ButtonAssigned0_" + Ascii(std::to_string(b)) + u"=" + block + u"\r\n";
  }
  const char* functions[kButtonCount] = {"1", "2", "3", "6", "6", "6", "48", "49", "52", "100"};
  for (int b = 1; b <= kButtonCount; ++b) {
    expected += u"[ButtonAssigned0_" + Ascii(std::to_string(b)) + u"]\r\n";
    expected += u"ButtonID=" + Ascii(std::to_string(b)) + u"\r\n";
    expected += u"ButtonFunc=" + Ascii(functions[b - 1]) + u"\r\n";
    expected += b == 10 ? u"LoopNumber=3\r\nKeyNumber=14\r\nMacroName="
                          u"Gr\u00f6\u00dfe \u4e2d\r\n"
                        : u"LoopNumber=1\r\nKeyNumber=0\r\nMacroName=\r\n";
  }
  EXPECT_EQ(ReadUtf16File(FilePath(1)), expected);
}

TEST_F(ProfileFilesTest, SavingKeepsForeignContentAndUpdatesKeysInPlace) {
  WriteBytes(FilePath(1), "; kept\r\n[Other]\r\nx=1\r\n[GROUP0]\r\nPollingRate=7\r\nUnknown=5\r\n");
  const ProfileSet sample = WithAsciiNames(MakeSampleProfileSet());
  ASSERT_TRUE(SaveProfileFiles(sample, m_dataFolder));

  // An existing ANSI file stays ANSI.
  const std::string text = ReadBytes(FilePath(1));
  EXPECT_EQ(text.rfind("; "
                       "kept\r\n[Other]\r\nx=1\r\n[GROUP0]\r\nPollingRate="
                       "8\r\nUnknown=5\r\n",
                       0),
            0u)
      << text.substr(0, 80);
  EXPECT_EQ(IniFile(IniPath(1)).GetInt(u"Other", u"x", 0), 1);
  EXPECT_TRUE(SameSet(LoadAndValidate(), sample));
}

TEST_F(ProfileFilesTest, ADamagedStageBlockLoadsAsNoStagesAndValidatesToTheDefaults) {
  const ProfileSet sample = MakeSampleProfileSet();
  ASSERT_TRUE(SaveProfileFiles(sample, m_dataFolder));
  IniFile file(IniPath(1));
  std::u16string value = file.GetText(u"GROUP0", u"DPIStageValue", u"");
  ASSERT_EQ(value.size(), 2u * 96 + 2);
  value[17] = value[17] == u'7' ? u'8' : u'7';
  file.SetText(u"GROUP0", u"DPIStageValue", value);
  // A level block one byte short is refused as a whole too.
  std::u16string levels = file.GetText(u"GROUP0", u"LEDSTATE_INFO", u"");
  file.SetText(u"GROUP0", u"LEDSTATE_INFO", levels.substr(2));

  const ProfileSet raw = LoadRaw();
  const DpiStage zeroStages[kDpiStageCount] = {};
  const LedLevelEntry zeroLevels[kLedLevelCount] = {};
  EXPECT_TRUE(SameBytes(raw.Profiles[0].DpiStages, zeroStages, sizeof zeroStages));
  EXPECT_TRUE(SameBytes(raw.Profiles[0].LedLevels, zeroLevels, sizeof zeroLevels));
  EXPECT_TRUE(
      SameBytes(raw.Profiles[1].DpiStages, sample.Profiles[1].DpiStages, sizeof zeroStages));

  ProfileSet validated;
  ValidateProfileSet(validated, raw);
  const DpiStage defaults[kDpiStageCount] = {{1, 5, 5, 1},   {1, 10, 10, 1}, {1, 20, 20, 1},
                                             {1, 30, 30, 1}, {1, 50, 50, 1}, {1, 0, 0, 1}};
  EXPECT_TRUE(SameBytes(validated.Profiles[0].DpiStages, defaults, sizeof defaults));
}

TEST_F(ProfileFilesTest, TheGroupIdOfTheFifthFileWins) {
  ProfileSet set = MakeSampleProfileSet();
  set.CurrentProfile = 3;
  ASSERT_TRUE(SaveProfileFiles(set, m_dataFolder));
  IniFile(IniPath(5)).SetInt(u"GROUP4", u"GroupID", 1);
  EXPECT_EQ(LoadRaw().CurrentProfile, 1);

  IniFile(IniPath(5)).SetInt(u"GROUP4", u"GroupID", 3);
  IniFile(IniPath(1)).SetInt(u"GROUP0", u"GroupID", 1);
  EXPECT_EQ(LoadRaw().CurrentProfile, 3);
}

TEST_F(ProfileFilesTest, MissingKeysReadAsTheirDefaults) {
  const ProfileSet sample = MakeSampleProfileSet();
  ASSERT_TRUE(SaveProfileFiles(sample, m_dataFolder));
  std::u16string text = ReadUtf16File(FilePath(3));
  RemoveKeyLine(text, u"GROUP2", u"LedColor4");
  RemoveKeyLine(text, u"GROUP2", u"MouseSensitivity");
  RemoveKeyLine(text, u"ButtonAssigned2_9", u"ButtonFunc");
  RemoveKeyLine(text, u"ButtonAssigned2_9", u"MacroName");
  WriteUtf16File(FilePath(3), text);

  const ProfileSet raw = LoadRaw();
  const ProfileRecord& r = raw.Profiles[2];
  EXPECT_EQ(r.LedColor[3], 0);
  EXPECT_EQ(r.LedColor[4], sample.Profiles[2].LedColor[4]);
  EXPECT_EQ(r.MouseSensitivity, -1);
  EXPECT_EQ(r.Buttons[8].ButtonFunc, 0xFF);
  EXPECT_EQ(r.Buttons[8].KeyNumber, sample.Profiles[2].Buttons[8].KeyNumber);
  EXPECT_EQ(MacroNameOf(r.Buttons[8]), u"");

  ProfileSet validated;
  ValidateProfileSet(validated, raw);
  EXPECT_EQ(validated.Profiles[2].LedColor[3], 0);
  EXPECT_EQ(validated.Profiles[2].MouseSensitivity, 10);
  EXPECT_EQ(validated.Profiles[2].Buttons[8].ButtonFunc, 0x34);
}

TEST_F(ProfileFilesTest, AbsentFilesReadAsDefaults) {
  const ProfileSet raw = LoadRaw();
  EXPECT_EQ(raw.CurrentProfile, -1);
  for (const ProfileRecord& r : raw.Profiles) {
    EXPECT_EQ(r.PollingRate, -1);
    EXPECT_EQ(r.Acceleration, -1);
    EXPECT_EQ(r.LedMode1, -1);
    EXPECT_EQ(LightingMode(r), 0);
    for (int c = 0; c < kLedModeCount; ++c) EXPECT_EQ(r.LedColor[c], 0);
    const LedLevelEntry zeroLevels[kLedLevelCount] = {};
    EXPECT_TRUE(SameBytes(r.LedLevels, zeroLevels, sizeof zeroLevels));
    for (const ButtonAssignment& button : r.Buttons) {
      EXPECT_EQ(button.ButtonFunc, 0xFF);
      EXPECT_EQ(button.LoopNumber, 0xFF);
      EXPECT_EQ(button.MacroName[0], 0);
    }
  }
  const ProfileSet validated = LoadAndValidate();
  EXPECT_EQ(validated.CurrentProfile, 0);
  EXPECT_EQ(validated.Profiles[4].LedColor[0], 0);  // not the factory colour
  EXPECT_EQ(validated.Profiles[4].Buttons[0].ButtonFunc, 1);
}

TEST_F(ProfileFilesTest, LoadsTheLowEightBitsAndAcceptsAnsiFilesWrittenByHand) {
  WriteBytes(FilePath(1),
             "[group0]\r\nACCELERATION=3\r\nPollingRate=  4xyz\r\nLIFT=abc\r\n"
             "[ButtonAssigned0_2]\r\nButtonFunc=356\r\nKeyNumber=-"
             "2\r\nMacroName=Macro 1\r\n");
  const ProfileSet raw = LoadRaw();
  const ProfileRecord& r = raw.Profiles[0];
  EXPECT_EQ(r.Acceleration, 3);
  EXPECT_EQ(r.PollingRate, 4);
  EXPECT_EQ(r.LIFT, 0);
  EXPECT_EQ(r.Buttons[1].ButtonFunc, 356 & 0xFF);
  EXPECT_EQ(r.Buttons[1].KeyNumber, 0xFE);
  EXPECT_EQ(MacroNameOf(r.Buttons[1]), u"Macro 1");
}

TEST_F(ProfileFilesTest, BrokenFilesLoadWithoutHarm) {
  const ProfileSet sample = WithAsciiNames(MakeSampleProfileSet());
  ASSERT_TRUE(SaveProfileFiles(sample, m_dataFolder));
  const std::string whole = ReadBytes(FilePath(1));
  // Half-written: cut in the middle of a key block (and of a UTF-16 unit).
  WriteBytes(FilePath(1), whole.substr(0, whole.size() / 3 + 1));
  // Binary garbage, including NULs and lone surrogates.
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary.push_back(static_cast<char>((i * 131 + i / 7) & 0xFF));
  WriteBytes(FilePath(2), binary);
  // Truncated to the byte-order mark alone, and a lone odd byte.
  WriteBytes(FilePath(3), "\xFF\xFE");
  WriteBytes(FilePath(4), "\xFF\xFE\x5B");
  // 2 MB of one long line without a line end, then a valid section: over the 1 MB that a
  // profile file may have, so not read at all.
  std::string huge(2u * 1024 * 1024, 'A');
  huge += "\r\n[GROUP4]\r\nPollingRate=6\r\n";
  WriteBytes(FilePath(5), huge);

  const ProfileSet raw = LoadRaw();
  EXPECT_EQ(raw.Profiles[2].PollingRate, -1);
  EXPECT_EQ(raw.Profiles[3].PollingRate, -1);
  EXPECT_EQ(raw.Profiles[4].PollingRate, -1);
  ProfileSet validated;
  ValidateProfileSet(validated, raw);
  EXPECT_EQ(validated.Profiles[2].PollingRate, 2);

  // Saving over broken files leaves files that load back exactly.
  fs::remove(FilePath(5));  // an unreadable file is never overwritten
  ASSERT_TRUE(SaveProfileFiles(sample, m_dataFolder));
  EXPECT_TRUE(SameSet(LoadAndValidate(), sample));
}

TEST_F(ProfileFilesTest, LightingKeysAloneAreWritten) {
  const ProfileSet sample = MakeSampleProfileSet();
  ASSERT_TRUE(SaveProfileFiles(sample, m_dataFolder));
  ProfileSet changed = sample;
  for (int p = 0; p < kProfileCount; ++p) {
    ProfileRecord& r = changed.Profiles[p];
    r.LedMode1 = 7 - p;
    r.LedState1 = 40 + p;
    r.FlashState1 = 2;
    r.BreathState1 = 3;
    for (int c = 0; c < kLedModeCount; ++c) r.LedColor[c] = 0x010203 * (c + 1) + p;
    for (LedLevelEntry& level : r.LedLevels) level = {3, 1};
    r.PollingRate = 0;  // not a lighting key: stays as saved
  }
  ASSERT_TRUE(SaveLightingKeys(changed, m_dataFolder));
  ProfileSet expected = changed;
  for (int p = 0; p < kProfileCount; ++p) {
    expected.Profiles[p].PollingRate = sample.Profiles[p].PollingRate;
  }
  EXPECT_TRUE(SameSet(LoadAndValidate(), expected));

  // Into files that do not exist yet: only the lighting keys, in their order.
  fs::remove(FilePath(2));
  std::u16string levelHex;
  for (int m = 0; m < kLedLevelCount; ++m) levelHex += u"0300000001000000";
  ASSERT_TRUE(SaveLightingKeys(changed, m_dataFolder));
  EXPECT_EQ(ReadUtf16File(FilePath(2)),
            u"[GROUP1]\r\nLedMode1=6\r\nLedState1=41\r\nFlashState1="
            u"2\r\nBreathState1=3\r\n"
            u"LedColor1=66052\r\nLedColor2=132103\r\nLedColor3="
            u"198154\r\nLedColor4=264205\r\n"
            u"LedColor5=330256\r\nLedColor6=396307\r\nLedColor7="
            u"462358\r\nLedColor8=528409\r\n"
            u"LEDSTATE_INFO=" +
                levelHex + u"1C\r\n");
}

TEST_F(ProfileFilesTest, MouseSensitivityIsWrittenIntoEveryFile) {
  const ProfileSet sample = MakeSampleProfileSet();
  ASSERT_TRUE(SaveProfileFiles(sample, m_dataFolder));
  ASSERT_TRUE(SaveMouseSensitivityKeys(m_dataFolder, 13));
  ProfileSet expected = sample;
  for (ProfileRecord& r : expected.Profiles) r.MouseSensitivity = 13;
  EXPECT_TRUE(SameSet(LoadAndValidate(), expected));
}

TEST_F(ProfileFilesTest, SavesIntoAMissingFolderReportFailureAndWriteNothing) {
  const std::u16string missing = m_dataFolder + u"missing/";
  EXPECT_FALSE(SaveProfileFiles(MakeSampleProfileSet(), missing));
  EXPECT_FALSE(SaveLightingKeys(MakeSampleProfileSet(), missing));
  EXPECT_FALSE(ExportProfile(missing + u"x.pfd", MakeSampleProfileSet().Profiles[0]));
  EXPECT_FALSE(fs::exists(m_folder / "missing"));
}

TEST_F(ProfileFilesTest, AnotherSaveWaitsForTheWholeSetNotFileByFile) {
  // The configurator's Apply and the agent's read-back at the same moment: while one save is
  // half-way through the five files, the other writes none of them.
  ProfileSet first = MakeSampleProfileSet();
  ProfileSet second = MakeSampleProfileSet();
  first.CurrentProfile = 1;
  second.CurrentProfile = 3;
  std::thread::id firstThread;
  std::promise<void> paused;
  std::promise<void> resume;
  std::shared_future<void> resumed = resume.get_future().share();
  std::atomic<int> firstLocks{0};
  std::atomic<bool> secondStepped{false};
  SetFileStepHook([&](FileStep step) {
    if (std::this_thread::get_id() != firstThread) {
      secondStepped = secondStepped || step != FileStep::Lock;
    } else if (step == FileStep::Lock && ++firstLocks == 4) {
      // Between the commits of the second and third file.
      paused.set_value();
      resumed.wait();
    }
    return FileStepOutcome::Proceed;
  });
  std::thread a([&] {
    firstThread = std::this_thread::get_id();
    SaveProfileFiles(first, m_dataFolder);
  });
  paused.get_future().wait();
  std::thread b([&] { SaveProfileFiles(second, m_dataFolder); });
  for (int i = 0; i < 100 && !secondStepped; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const bool interleaved = secondStepped;
  resume.set_value();
  a.join();
  b.join();
  SetFileStepHook(nullptr);
  EXPECT_FALSE(interleaved);
  std::set<int> groupIds;
  for (int n = 1; n <= kProfileCount; ++n) {
    groupIds.insert(
        IniFile(IniPath(n)).GetInt(u"GROUP" + Ascii(std::to_string(n - 1)), u"GroupID", -1));
  }
  EXPECT_EQ(groupIds, std::set<int>{3});
}

TEST_F(ProfileFilesTest, AProfileFileOverOneMegabyteIsUnreadableAndKept) {
  SaveProfileFiles(MakeSampleProfileSet(), m_dataFolder);
  std::u16string text = ReadUtf16File(FilePath(2));
  text += u"[Padding]\r\n;" + std::u16string(kProfileFileMaxBytes / 2, u'x') + u"\r\n";
  WriteUtf16File(FilePath(2), text);
  const std::string big = ReadBytes(FilePath(2));

  EXPECT_EQ(LoadRaw().Profiles[1].PollingRate, -1);
  ProfileSet changed = MakeSampleProfileSet();
  changed.CurrentProfile = 4;
  EXPECT_FALSE(SaveProfileFiles(changed, m_dataFolder));
  EXPECT_EQ(ReadBytes(FilePath(2)), big);
  EXPECT_EQ(LoadRaw().CurrentProfile, 4);  // the other four were saved
}

TEST_F(ProfileFilesTest, AnExportedProfileImportsIntoAnotherSlotWithoutLoopsAndLevels) {
  const ProfileSet sample = MakeSampleProfileSet();
  const std::u16string path = m_dataFolder + u"exchange.pfd";
  ASSERT_TRUE(ExportProfile(path, sample.Profiles[1]));

  ProfileRecord target = sample.Profiles[4];
  EXPECT_TRUE(ImportProfile(path, target));

  ProfileRecord expected = sample.Profiles[1];
  std::memcpy(expected.LedLevels, sample.Profiles[4].LedLevels, sizeof expected.LedLevels);
  for (int b = 0; b < kButtonCount; ++b) {
    expected.Buttons[b].LoopNumber = sample.Profiles[4].Buttons[b].LoopNumber;
  }
  EXPECT_TRUE(SameBytes(&target, &expected, sizeof target));

  // The exchange file has its own section names and lacks the profile-file-only
  // keys.
  const IniFile file(path);
  EXPECT_EQ(file.GetInt(u"GROUP", u"PollingRate", -9), sample.Profiles[1].PollingRate);
  EXPECT_EQ(file.GetInt(u"GROUP", u"GroupID", -9), -9);
  EXPECT_EQ(file.GetText(u"GROUP", u"LEDSTATE_INFO", u"none"), u"none");
  EXPECT_EQ(file.GetInt(u"ButtonAssigned_3", u"ButtonFunc", -9),
            sample.Profiles[1].Buttons[2].ButtonFunc);
  EXPECT_EQ(file.GetInt(u"ButtonAssigned_3", u"LoopNumber", -9), -9);
  EXPECT_NE(file.GetText(u"GROUP", u"ButtonAssigned_3", u""), u"");
}

TEST_F(ProfileFilesTest, ImportRefusesFilesWithoutTheExchangeSection) {
  const ProfileSet sample = MakeSampleProfileSet();
  ASSERT_TRUE(SaveProfileFiles(sample, m_dataFolder));
  WriteBytes(m_folder / "notes.pfd", "some text\r\n[GROUPS]\r\nPollingRate=1\r\n");
  // A profile file ([GROUP0]), a file of another kind, and no file at all.
  for (const std::u16string& path :
       {ProfileFilePath(m_dataFolder, 1), m_dataFolder + u"notes.pfd", m_dataFolder + u"none.pfd"}) {
    ProfileRecord record = sample.Profiles[2];
    EXPECT_FALSE(ImportProfile(path, record));
    EXPECT_TRUE(SameBytes(&record, &sample.Profiles[2], sizeof record));
  }
}

TEST_F(ProfileFilesTest, ImportReadsMissingKeysAsUnsetColoursIncluded) {
  const std::u16string path = m_dataFolder + u"partial.pfd";
  WriteBytes(m_folder / "partial.pfd", "[GROUP]\r\nLedColor2=0\r\nacceleration=2\r\n");
  const ProfileSet sample = MakeSampleProfileSet();
  ProfileRecord record = sample.Profiles[0];
  EXPECT_TRUE(ImportProfile(path, record));

  EXPECT_EQ(record.Acceleration, 2);
  EXPECT_EQ(record.LedColor[0], -1);
  EXPECT_EQ(record.LedColor[1], 0);
  EXPECT_EQ(record.PollingRate, -1);
  const DpiStage zeroStages[kDpiStageCount] = {};
  EXPECT_TRUE(SameBytes(record.DpiStages, zeroStages, sizeof zeroStages));
  EXPECT_TRUE(SameBytes(record.LedLevels, sample.Profiles[0].LedLevels, sizeof record.LedLevels));
  for (int b = 0; b < kButtonCount; ++b) {
    const ButtonAssignment& button = record.Buttons[b];
    EXPECT_EQ(button.ButtonFunc, 0xFF);
    EXPECT_EQ(button.LoopNumber, sample.Profiles[0].Buttons[b].LoopNumber);
    EXPECT_EQ(button.MacroName[0], 0);
    // No key block in the file: the one held stays.
    EXPECT_TRUE(SameBytes(button.KeyBlock, sample.Profiles[0].Buttons[b].KeyBlock, kKeyBlockSize));
  }
}

}  // namespace
