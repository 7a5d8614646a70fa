#include "settings/macro_library.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "settings/file_io.h"
#include "settings/ini_document.h"
#include "settings/ini_file.h"
#include "settings/macro.h"
#include "settings/macro_name.h"
#include "settings/macro_record.h"
#include "settings/macro_slot_notifier.h"
#include "settings/utf8.h"

namespace {

class RecordingNotifier : public MacroSlotNotifier {
 public:
  void MacroSlotChanged(int slot, bool removed) override { Calls.emplace_back(slot, removed); }
  std::vector<std::pair<int, bool>> Calls;
};

// Each test gets its own data folder; the library's paths use Windows separators.
class MacroLibraryTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/macro_library_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_root = pattern;
    std::filesystem::create_directories(m_root / "MacroDB");
  }
  void TearDown() override { std::filesystem::remove_all(m_root); }

  std::u16string DataFolder() const { return Utf8ToUtf16(m_root.string()) + u"\\"; }
  std::filesystem::path MacroDir() const { return m_root / "MacroDB"; }
  std::filesystem::path IndexFile() const { return MacroDir() / "MacroSet.MSDB"; }

  static void WriteRaw(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
  }
  static std::string ReadRaw(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static IniDocument Parsed(const std::filesystem::path& path) {
    return IniDocument::Parse(ReadRaw(path));
  }
  std::vector<std::string> MacroDirFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(MacroDir()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Fingerprint() const {
    std::string all;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(m_root))
      all += entry.path().string() + "\n" +
             (entry.is_regular_file() ? ReadRaw(entry.path()) : std::string()) + "\n";
    return all;
  }

  std::filesystem::path m_root;
};

Macro SampleMacro(std::u16string name) {
  Macro macro;
  macro.Name = std::move(name);
  macro.Append(KeyRecord(0xE1, true));
  macro.Append(*DelayRecord(120));
  macro.Append(KeyRecord(0x04, true));
  macro.Append(KeyRecord(0x04, false));
  macro.Append(MouseButtonRecord(3, true));
  macro.Append(*DelayRecord(65535));
  macro.Append(MouseButtonRecord(3, false));
  macro.Append(KeyRecord(0xE1, false));
  macro.LoopTime = 42;
  macro.DefDelayTime = 25;
  macro.LoopType = 3;
  macro.DelayType = 0;
  return macro;
}

// --- records ---

TEST(MacroRecordTest, EncodesKeysButtonsAndDelays) {
  EXPECT_EQ(KeyRecord(0x04, true), (MacroRecord{0x84, 0x04, 0}));
  EXPECT_EQ(KeyRecord(0xE0, false), (MacroRecord{0x04, 0xE0, 0}));
  EXPECT_EQ(MouseButtonRecord(1, true), (MacroRecord{0x81, 1, 0}));
  EXPECT_EQ(MouseButtonRecord(2, false), (MacroRecord{0x01, 2, 0}));
  EXPECT_EQ(MouseButtonRecord(3, true), (MacroRecord{0x81, 4, 0}));

  EXPECT_FALSE(DelayRecord(9).has_value());
  EXPECT_FALSE(DelayRecord(0).has_value());
  EXPECT_FALSE(DelayRecord(-20).has_value());
  EXPECT_EQ(DelayRecord(10), (MacroRecord{0x06, 1, 0}));
  EXPECT_EQ(DelayRecord(1239), (MacroRecord{0x06, 123, 0}));
  EXPECT_EQ(DelayRecord(2560), (MacroRecord{0x06, 0x00, 0x01}));
  EXPECT_EQ(DelayRecord(65529), (MacroRecord{0x06, 0x98, 0x19}));  // 6552
  EXPECT_EQ(DelayRecord(65535), (MacroRecord{0x06, 0x99, 0x19}));  // 6553
  EXPECT_EQ(DelayRecord(70000), (MacroRecord{0x06, 0x99, 0x19}));
  EXPECT_EQ(DelayMilliseconds(*DelayRecord(65535)), 65530);
  EXPECT_EQ(DelayMilliseconds(*DelayRecord(1234)), 1230);
}

TEST(MacroRecordTest, ReadsKindsOneToThreeAsMouseButtons) {
  EXPECT_TRUE(IsMouseButtonRecord({0x81, 1, 0}));
  EXPECT_TRUE(IsMouseButtonRecord({0x02, 2, 0}));
  EXPECT_TRUE(IsMouseButtonRecord({0x83, 4, 0}));
  EXPECT_FALSE(IsMouseButtonRecord({0x84, 4, 0}));
  EXPECT_FALSE(IsMouseButtonRecord({0x06, 4, 0}));
  EXPECT_EQ(MouseButtonNumber({0x81, 1, 0}), 1);
  EXPECT_EQ(MouseButtonNumber({0x02, 2, 0}), 2);
  EXPECT_EQ(MouseButtonNumber({0x83, 4, 0}), 3);
  // Any other button byte gives the kind as the button number.
  EXPECT_EQ(MouseButtonNumber({0x82, 8, 0}), 2);
  EXPECT_EQ(MouseButtonNumber({0x03, 0, 0}), 3);
  EXPECT_TRUE(IsPressRecord({0x83, 4, 0}));
  EXPECT_FALSE(IsPressRecord({0x03, 4, 0}));
}

TEST(MacroRecordTest, SixtyThreeRecordsFillTheBlockAndASixtyFourthIsRefused) {
  Macro macro;
  for (int i = 0; i < kMacroRecordCapacity; ++i)
    ASSERT_TRUE(macro.Append(KeyRecord(static_cast<std::uint8_t>(4 + i % 20), i % 2 == 0)));
  EXPECT_EQ(macro.Count, 63);
  EXPECT_FALSE(macro.Append(KeyRecord(0x05, true)));
  EXPECT_EQ(macro.Count, 63);
  EXPECT_EQ(macro.Records[62], KeyRecord(4 + 62 % 20, true));
  EXPECT_EQ(macro.NonEmptyRecordCount(), 63);
  EXPECT_EQ(macro.StoredRecords().size(), 63u);
}

TEST(MacroRecordTest, CountsAreaRecordsUpToTheFirstEndRecord) {
  std::array<std::uint8_t, 200> area{};
  EXPECT_EQ(CountAreaRecords(area), 0);
  area = {0x84, 4, 0, 0x06, 5, 0, 0x04, 4, 0};
  EXPECT_EQ(CountAreaRecords(area), 3);
  for (std::array<std::uint8_t, 3> end :
       {std::array<std::uint8_t, 3>{0xFF, 0xFF, 0xFF}, {0xFF, 0xFF, 0x00}}) {
    area.fill(0x84);
    std::copy(end.begin(), end.end(), area.begin() + 6);
    EXPECT_EQ(CountAreaRecords(area), 2);
  }
  // FF FF 01 is a record, not an end.
  area.fill(0);
  area[0] = 0xFF, area[1] = 0xFF, area[2] = 0x01;
  EXPECT_EQ(CountAreaRecords(area), 1);
  // A full area stops after 63 records, whatever its last 11 bytes hold.
  area.fill(0x84);
  EXPECT_EQ(CountAreaRecords(area), 63);
  // Short input: only whole records count.
  EXPECT_EQ(CountAreaRecords(std::span(area).first(8)), 2);
  EXPECT_EQ(CountAreaRecords({}), 0);
}

TEST(MacroPlaybackTest, LoopTypeDecidesRepeatCountForMouseAndEditor) {
  Macro macro;
  macro.LoopType = 2;
  macro.LoopTime = 7;
  EXPECT_EQ(DeviceRepeatCount(macro), 1);
  EXPECT_EQ(EditorLoopTime(macro), 1);
  macro.LoopType = 0;
  EXPECT_EQ(DeviceRepeatCount(macro), 7);
  EXPECT_EQ(EditorLoopTime(macro), 7);
  macro.LoopTime = 0;
  EXPECT_EQ(DeviceRepeatCount(macro), 1);
  EXPECT_EQ(EditorLoopTime(macro), 1);
  macro.LoopTime = 70000;  // never wraps into a small count
  EXPECT_EQ(DeviceRepeatCount(macro), 0xFFFF);
  for (int endless : {1, 3}) {
    macro.LoopType = endless;
    macro.LoopTime = 5;
    EXPECT_EQ(DeviceRepeatCount(macro), 0xFFFF);
    EXPECT_EQ(EditorLoopTime(macro), 1);
  }
}

// --- names ---

TEST(MacroNameTest, AcceptsOrdinaryAndNonAsciiNames) {
  for (const std::u16string& name : std::vector<std::u16string>{
           u"A", u"NewMacro 3", u"NewMacro 19", u"My macro (v2)", u"a.b", u"Makro \u00DC\u00DF",
           u"\u65E5\u672C\u8A9E", u"\U0001F600 smile", u"CONSOLE", u"COM10", u"LPT0", u"x.con",
           u"#;[]=&%$'", std::u16string(64, u'x')}) {
    EXPECT_TRUE(IsValidMacroName(name)) << std::string(name.begin(), name.end());
  }
}

TEST(MacroNameTest, RefusesNamesThatEscapeTheFolderOrNameADevice) {
  for (const std::u16string& name :
       std::vector<std::u16string>{u"",         u"..\\x",
                                   u"../x",     u"a\\b",
                                   u"a/b",      u"C:x",
                                   u"a*",       u"a?",
                                   u"a\"b",     u"<a>",
                                   u"a|b",      u"CON",
                                   u"con",      u"Prn",
                                   u"aux",      u"NUL",
                                   u"COM1",     u"com9",
                                   u"LPT1",     u"lpt9",
                                   u"com1.txt", u"NUL.tar.gz",
                                   u"CON .txt", u"name.",
                                   u"name ",    u" name",
                                   u".name",    u"..",
                                   u".",        std::u16string(65, u'x'),
                                   u"a\tb",     u"a\nb",
                                   u"a\rb",     std::u16string(u"a\0b", 3),
                                   u"a\u007Fb", u"a\u0085b"}) {
    EXPECT_FALSE(IsValidMacroName(name)) << std::string(name.begin(), name.end());
  }
}

// --- the index ---

TEST_F(MacroLibraryTest, FreeLowerSlotMakesRowsDifferFromSlots) {
  IniFile index(Utf8ToUtf16(IndexFile().string()));
  index.SetText(u"MACRO_LIST", u"0", u"");
  index.SetText(u"MACRO_LIST", u"1", u"A");
  index.SetText(u"MACRO_LIST", u"3", u"B");
  index.SetText(u"MACRO_LIST", u"15", u"C");  // the agent's key: not a library slot
  MacroLibrary library(DataFolder());

  EXPECT_EQ(library.FindMacroSlot(u"A"), 1);
  EXPECT_EQ(library.FindMacroSlot(u"B"), 3);
  EXPECT_EQ(library.FindMacroSlot(u"a"), 1);  // names are file names: case does not matter
  EXPECT_EQ(library.FindMacroSlot(u"C"), -1);
  EXPECT_EQ(library.FindMacroSlot(u""), -1);
  EXPECT_EQ(library.SlotName(15), u"C");
  EXPECT_EQ(library.SlotName(20), u"");
  EXPECT_EQ(library.SlotName(-1), u"");

  const std::vector<MacroListEntry> rows = library.ListMacroNames();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].Slot, 1);
  EXPECT_EQ(rows[0].Name, u"A");
  EXPECT_EQ(rows[1].Slot, 3);
  EXPECT_EQ(rows[1].Name, u"B");
}

TEST_F(MacroLibraryTest, MissingIndexReadsAsFifteenFreeSlots) {
  MacroLibrary library(DataFolder());
  EXPECT_TRUE(library.ListMacroNames().empty());
  EXPECT_EQ(library.FindMacroSlot(u"A"), -1);
  EXPECT_TRUE(library.HasFreeSlot());
  EXPECT_FALSE(std::filesystem::exists(IndexFile()));
}

TEST_F(MacroLibraryTest, AddFillsTheFirstFreeSlotUntilFull) {
  MacroLibrary library(DataFolder());
  EXPECT_EQ(library.AddMacroName(u"first"), 0);
  EXPECT_EQ(library.AddMacroName(u"second"), 1);
  IniFile(Utf8ToUtf16(IndexFile().string())).SetText(u"MACRO_LIST", u"0", u"");
  EXPECT_EQ(library.AddMacroName(u"third"), 0);
  for (int slot = 2; slot < 15; ++slot)
    EXPECT_EQ(library.AddMacroName(u"m" + Utf8ToUtf16(std::to_string(slot))), slot);
  EXPECT_FALSE(library.HasFreeSlot());

  const std::string before = ReadRaw(IndexFile());
  EXPECT_EQ(library.AddMacroName(u"overflow"), -1);
  EXPECT_EQ(ReadRaw(IndexFile()), before);
  EXPECT_EQ(library.ListMacroNames().size(), 15u);
  // New index files are UTF-16LE with a byte-order mark.
  EXPECT_EQ(before.substr(0, 2), std::string("\xFF\xFE"));
}

TEST_F(MacroLibraryTest, AddRefusesInvalidNamesWithoutTouchingTheIndex) {
  MacroLibrary library(DataFolder());
  EXPECT_EQ(library.AddMacroName(u""), -1);
  EXPECT_EQ(library.AddMacroName(u"..\\x"), -1);
  EXPECT_FALSE(std::filesystem::exists(IndexFile()));
}

TEST_F(MacroLibraryTest, RemoveFreesTheSlotAndNotifiesOnlyWhenFound) {
  MacroLibrary library(DataFolder());
  library.AddMacroName(u"A");
  library.AddMacroName(u"B");
  library.AddMacroName(u"B");  // a duplicate: only the first is removed
  IniFile(Utf8ToUtf16(IndexFile().string())).SetText(u"Setting", u"Device", u"7");

  RecordingNotifier notifier;
  const std::string before = ReadRaw(IndexFile());
  EXPECT_FALSE(library.RemoveMacroName(u"missing", notifier));
  EXPECT_FALSE(library.RemoveMacroName(u"C", notifier));
  EXPECT_FALSE(library.RemoveMacroName(u"", notifier));
  EXPECT_TRUE(notifier.Calls.empty());
  EXPECT_EQ(ReadRaw(IndexFile()), before);

  EXPECT_TRUE(library.RemoveMacroName(u"B", notifier));
  ASSERT_EQ(notifier.Calls.size(), 1u);
  EXPECT_EQ(notifier.Calls[0], std::make_pair(1, true));
  EXPECT_EQ(library.SlotName(1), u"");
  EXPECT_EQ(library.FindMacroSlot(u"B"), 2);
  // The agent's keys in the same file survive.
  EXPECT_EQ(IniFile(Utf8ToUtf16(IndexFile().string())).GetText(u"Setting", u"Device", u""), u"7");
}

// The menus' cached copy of the index follows every write, the library's own and another
// program's, and is not read again while the file is the same one, unchanged.
TEST_F(MacroLibraryTest, CachedIndexFollowsWritesAndIsNotReadAgainMeanwhile) {
  MacroLibrary library(DataFolder());
  EXPECT_TRUE(library.CachedMacroNames().empty());
  ASSERT_EQ(library.AddMacroName(u"Alpha"), 0);
  EXPECT_EQ(library.CachedSlotName(0), u"Alpha");

  MacroLibrary otherProgram(DataFolder());
  ASSERT_EQ(otherProgram.AddMacroName(u"Beta"), 1);
  EXPECT_EQ(library.CachedMacroNames(), (std::vector<MacroListEntry>{{0, u"Alpha"}, {1, u"Beta"}}));

  // "Beta" becomes "Gamm" in place, and the file keeps its time: only a read would see it.
  const auto time = std::filesystem::last_write_time(IndexFile());
  std::string bytes = ReadRaw(IndexFile());
  const std::string beta("B\0e\0t\0a\0", 8);
  ASSERT_NE(bytes.find(beta), std::string::npos);
  bytes.replace(bytes.find(beta), beta.size(), std::string("G\0a\0m\0m\0", 8));
  {
    std::fstream file(IndexFile(), std::ios::in | std::ios::out | std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::filesystem::last_write_time(IndexFile(), time);
  EXPECT_EQ(library.SlotName(1), u"Gamm");
  EXPECT_EQ(library.CachedSlotName(1), u"Beta");

  RecordingNotifier notifier;
  ASSERT_TRUE(library.RemoveMacroName(u"Alpha", notifier));
  EXPECT_EQ(library.CachedMacroNames(), (std::vector<MacroListEntry>{{1, u"Gamm"}}));
}

// --- macro files ---

TEST_F(MacroLibraryTest, WriteThenReadKeepsEveryRecordKindAndSetting) {
  MacroLibrary library(DataFolder());
  for (const std::u16string& name :
       std::vector<std::u16string>{u"Plain", u"Makro \u00DC \u65E5\u672C \U0001F600"}) {
    const Macro written = SampleMacro(name);
    ASSERT_TRUE(library.SaveMacro(written));
    const Macro read = library.ReadMacroFile(name);
    EXPECT_EQ(read.Name, name);
    EXPECT_EQ(read.Records, written.Records);
    EXPECT_EQ(read.Count, 8);
    EXPECT_EQ(read.LoopTime, 42);
    EXPECT_EQ(read.DefDelayTime, 25);
    EXPECT_EQ(read.LoopType, 3);
    EXPECT_EQ(read.DelayType, 0);
    EXPECT_EQ(DelayMilliseconds(read.Records[5]), 65530);
  }
  EXPECT_EQ(MacroDirFiles(), (std::vector<std::string>{
                                 "Makro \xC3\x9C \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80.MSMACRO",
                                 "Plain.MSMACRO"}));
}

TEST_F(MacroLibraryTest, WriterPutsTheSevenKeysInOrderInANewUtf16File) {
  const std::u16string path = Utf8ToUtf16((MacroDir() / "Order.MSMACRO").string());
  Macro macro = SampleMacro(u"Order");
  ASSERT_TRUE(MacroLibrary::WriteMacroFile(path, macro));

  const std::string bytes = ReadRaw(MacroDir() / "Order.MSMACRO");
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE"));
  std::u16string text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
    text += char16_t(std::uint8_t(bytes[i]) | (std::uint8_t(bytes[i + 1]) << 8));
  std::size_t last = 0;
  for (std::u16string key : {u"[Setting]", u"MacroFilePath=", u"LoopTime=42", u"DefDelayTime=25",
                             u"LoopType=3", u"DelayType=0", u"Count=8", u"MacroSetting_0="}) {
    const std::size_t at = text.find(key);
    ASSERT_NE(at, std::u16string::npos) << std::string(key.begin(), key.end());
    EXPECT_GE(at, last) << std::string(key.begin(), key.end());
    last = at;
  }
  EXPECT_EQ(text.find(u"MacroSetting_1"), std::u16string::npos);
  const IniDocument document = IniDocument::Parse(bytes);
  EXPECT_EQ(document.GetText(u"Setting", u"MacroFilePath", u""), path);
  // 189 bytes and a checksum byte, two hex digits each.
  EXPECT_EQ(document.Find(u"Setting", u"MacroSetting_0").value_or(u"").size(), 380u);
}

TEST_F(MacroLibraryTest, RewriteKeepsUnknownKeysAndOverwritesKnownOnes) {
  WriteRaw(MacroDir() / "Keep.MSMACRO", "[Setting]\r\nCount=1\r\nExtra=kept\r\n[Other]\r\nX=1\r\n");
  MacroLibrary library(DataFolder());
  ASSERT_TRUE(library.SaveMacro(SampleMacro(u"Keep")));
  const IniDocument document = Parsed(MacroDir() / "Keep.MSMACRO");
  EXPECT_EQ(document.GetText(u"Setting", u"Extra", u""), u"kept");
  EXPECT_EQ(document.GetInt(u"Other", u"X", 0), 1);
  EXPECT_EQ(document.GetInt(u"Setting", u"Count", 0), 8);
  // An existing ANSI file keeps its encoding.
  EXPECT_EQ(document.Encoding(), IniEncoding::Ansi);
}

TEST_F(MacroLibraryTest, MissingFileReadsAsTheReadersDefaults) {
  MacroLibrary library(DataFolder());
  const Macro macro = library.ReadMacroFile(u"Nothing");
  EXPECT_EQ(macro.Name, u"Nothing");
  EXPECT_EQ(macro.Count, 0);
  EXPECT_EQ(macro.LoopTime, 1);
  EXPECT_EQ(macro.DefDelayTime, 1);
  EXPECT_EQ(macro.LoopType, 0);
  EXPECT_EQ(macro.DelayType, 2);
  EXPECT_EQ(macro.NonEmptyRecordCount(), 0);
}

TEST_F(MacroLibraryTest, DamagedBlockReadsAsAnEmptyMacro) {
  MacroLibrary library(DataFolder());
  const Macro good = SampleMacro(u"Good");
  ASSERT_TRUE(library.SaveMacro(good));
  const std::u16string hex = IniDocument::Parse(ReadRaw(MacroDir() / "Good.MSMACRO"))
                                 .Find(u"Setting", u"MacroSetting_0")
                                 .value();
  const std::string block(hex.begin(), hex.end());

  std::string wrongChecksum = block;
  wrongChecksum[0] = wrongChecksum[0] == '8' ? '9' : '8';
  const std::vector<std::pair<std::string, std::string>> damaged = {
      {"Checksum", "MacroSetting_0=" + wrongChecksum + "\r\n"},
      {"Short", "MacroSetting_0=" + block.substr(0, 378) + "\r\n"},
      {"Long", "MacroSetting_0=" + block + "00\r\n"},
      {"NotHex", "MacroSetting_0=" + std::string(380, 'Z') + "\r\n"},
      {"Missing", ""}};
  for (const auto& [name, blockLine] : damaged) {
    WriteRaw(MacroDir() / (name + ".MSMACRO"),
             "[Setting]\r\nLoopTime=4\r\nCount=8\r\n" + blockLine);
    const Macro macro = library.ReadMacroFile(Utf8ToUtf16(name));
    EXPECT_EQ(macro.Count, 0) << name;
    EXPECT_EQ(macro.NonEmptyRecordCount(), 0) << name;
    EXPECT_TRUE(macro.StoredRecords().empty()) << name;
    EXPECT_EQ(macro.LoopTime, 4) << name;  // the settings are still read
  }
}

TEST_F(MacroLibraryTest, CountAboveSixtyThreeReadsAsSixtyThree) {
  MacroLibrary library(DataFolder());
  Macro macro = SampleMacro(u"Big");
  ASSERT_TRUE(library.SaveMacro(macro));
  IniFile file(Utf8ToUtf16((MacroDir() / "Big.MSMACRO").string()));
  file.SetInt(u"Setting", u"Count", 99);
  EXPECT_EQ(library.ReadMacroFile(u"Big").Count, 63);
  EXPECT_EQ(library.ReadMacroFile(u"Big").StoredRecords().size(), 63u);
  file.SetInt(u"Setting", u"Count", -5);
  EXPECT_EQ(library.ReadMacroFile(u"Big").Count, 0);
  // The editor's count and the agent's count differ when "Count" disagrees with the records.
  file.SetInt(u"Setting", u"Count", 3);
  const Macro read = library.ReadMacroFile(u"Big");
  EXPECT_EQ(read.StoredRecords().size(), 3u);
  EXPECT_EQ(read.NonEmptyRecordCount(), 8);
}

TEST_F(MacroLibraryTest, WriterNeverWritesMoreThanSixtyThreeRecords) {
  Macro macro = SampleMacro(u"Clamp");
  macro.Count = 500;
  const std::u16string path = Utf8ToUtf16((MacroDir() / "Clamp.MSMACRO").string());
  ASSERT_TRUE(MacroLibrary::WriteMacroFile(path, macro));
  const IniDocument document = Parsed(MacroDir() / "Clamp.MSMACRO");
  EXPECT_EQ(document.GetInt(u"Setting", u"Count", 0), 63);
  EXPECT_FALSE(document.Find(u"Setting", u"MacroSetting_1").has_value());
}

TEST_F(MacroLibraryTest, InvalidNamesTouchNoFile) {
  std::filesystem::create_directories(m_root / "outside");
  WriteRaw(m_root / "outside" / "x.MSMACRO", "[Setting]\r\nCount=1\r\n");
  MacroLibrary library(DataFolder());
  library.AddMacroName(u"keep");
  RecordingNotifier notifier;
  const std::string before = Fingerprint();
  for (const std::u16string& name :
       std::vector<std::u16string>{u"..\\outside\\x", u"../outside/x", u"CON", u"com1.txt", u"bad.",
                                   u"", std::u16string(65, u'y')}) {
    EXPECT_EQ(library.CreateMacro(name), -1);
    EXPECT_FALSE(library.DeleteMacro(name, notifier));
    Macro macro = SampleMacro(name);
    EXPECT_FALSE(library.SaveMacro(macro));
    EXPECT_EQ(library.ReadMacroFile(name).Count, 0);
  }
  EXPECT_EQ(Fingerprint(), before);
  EXPECT_TRUE(notifier.Calls.empty());
}

TEST_F(MacroLibraryTest, CreateWritesAnEmptyMacroAndTakesASlot) {
  MacroLibrary library(DataFolder());
  library.AddMacroName(u"zero");
  EXPECT_EQ(library.CreateMacro(u"Fresh"), 1);
  const IniDocument document = Parsed(MacroDir() / "Fresh.MSMACRO");
  EXPECT_EQ(document.GetInt(u"Setting", u"LoopTime", -1), 1);
  EXPECT_EQ(document.GetInt(u"Setting", u"DefDelayTime", -1), 10);
  EXPECT_EQ(document.GetInt(u"Setting", u"LoopType", -1), 0);
  EXPECT_EQ(document.GetInt(u"Setting", u"DelayType", -1), 1);
  EXPECT_EQ(document.GetInt(u"Setting", u"Count", -1), 0);
  std::array<std::uint8_t, 189> block;
  block.fill(0xAA);
  ASSERT_TRUE(document.GetBlock(u"Setting", u"MacroSetting_0", block.data(), block.size()));
  EXPECT_EQ(block, (std::array<std::uint8_t, 189>{}));

  // A second macro of the same name, in any case, is refused and the file stays.
  const std::string before = Fingerprint();
  EXPECT_EQ(library.NewMacro(u"fresh").Refusal, MacroRefusal::kNameExists);
  EXPECT_EQ(Fingerprint(), before);
}

TEST_F(MacroLibraryTest, CreateCreatesTheMacroFolderWhenMissing) {
  // The data folder too: the configurator may run before the agent ever did.
  std::filesystem::remove_all(m_root);
  MacroLibrary library(DataFolder());
  EXPECT_EQ(library.CreateMacro(u"First"), 0);
  EXPECT_TRUE(std::filesystem::exists(MacroDir() / "First.MSMACRO"));
  EXPECT_EQ(library.FindMacroSlot(u"First"), 0);
}

TEST_F(MacroLibraryTest, CreateWithAFullLibraryWritesNothing) {
  MacroLibrary library(DataFolder());
  for (int slot = 0; slot < 15; ++slot)
    library.AddMacroName(u"m" + Utf8ToUtf16(std::to_string(slot)));
  const std::string before = Fingerprint();
  EXPECT_EQ(library.NewMacro(u"One too many").Refusal, MacroRefusal::kLibraryFull);
  EXPECT_EQ(Fingerprint(), before);
}

TEST_F(MacroLibraryTest, CreateReusesTheSlotOfANameWhoseFileIsMissing) {
  MacroLibrary library(DataFolder());
  library.AddMacroName(u"a");
  library.AddMacroName(u"Orphan");
  EXPECT_EQ(library.CreateMacro(u"Orphan"), 1);
  EXPECT_EQ(library.ListMacroNames().size(), 2u);
  EXPECT_TRUE(std::filesystem::exists(MacroDir() / "Orphan.MSMACRO"));
}

TEST_F(MacroLibraryTest, DeleteRemovesFileAndSlotAndTellsTheAgent) {
  MacroLibrary library(DataFolder());
  library.CreateMacro(u"a");
  library.CreateMacro(u"b");
  RecordingNotifier notifier;
  EXPECT_TRUE(library.DeleteMacro(u"b", notifier));
  EXPECT_FALSE(std::filesystem::exists(MacroDir() / "b.MSMACRO"));
  EXPECT_TRUE(std::filesystem::exists(MacroDir() / "a.MSMACRO"));
  EXPECT_EQ(library.FindMacroSlot(u"b"), -1);
  EXPECT_EQ(notifier.Calls, (std::vector<std::pair<int, bool>>{{1, true}}));
}

TEST_F(MacroLibraryTest, ImportCopiesTheFileUnchangedIntoAFreeSlot) {
  std::filesystem::create_directories(m_root / "exchange");
  const std::string content =
      "[Setting]\r\nMacroFilePath=C:\\elsewhere\\Combo.MSDB\r\nCount=2\r\nOdd = kept \r\n";
  WriteRaw(m_root / "exchange" / "Combo.MSDB", content);
  MacroLibrary library(DataFolder());
  library.AddMacroName(u"first");
  RecordingNotifier notifier;

  EXPECT_EQ(
      library.ImportMacro(Utf8ToUtf16((m_root / "exchange" / "Combo.MSDB").string()), notifier), 1);
  EXPECT_EQ(ReadRaw(MacroDir() / "Combo.MSMACRO"), content);
  EXPECT_EQ(library.FindMacroSlot(u"Combo"), 1);
  EXPECT_TRUE(notifier.Calls.empty());
}

TEST_F(MacroLibraryTest, ImportOverAnExistingNameReusesItsSlot) {
  MacroLibrary library(DataFolder());
  library.CreateMacro(u"zero");
  library.CreateMacro(u"Same");
  library.CreateMacro(u"two");
  std::filesystem::create_directories(m_root / "exchange");
  Macro incoming = SampleMacro(u"Same");
  ASSERT_TRUE(MacroLibrary::ExportMacro(incoming,
                                        Utf8ToUtf16((m_root / "exchange" / "Same.MSDB").string())));
  RecordingNotifier notifier;

  EXPECT_EQ(
      library.ImportMacro(Utf8ToUtf16((m_root / "exchange" / "Same.MSDB").string()), notifier), 1);
  EXPECT_EQ(library.ListMacroNames().size(), 3u);
  EXPECT_EQ(library.ReadMacroFile(u"Same").Records, incoming.Records);
  EXPECT_EQ(ReadRaw(MacroDir() / "Same.MSMACRO"), ReadRaw(m_root / "exchange" / "Same.MSDB"));
  // The mouse holds the old macro in that slot until told.
  EXPECT_EQ(notifier.Calls, (std::vector<std::pair<int, bool>>{{1, false}}));
}

TEST_F(MacroLibraryTest, NamesSurviveTheFileFormatAndMatchInAnyCase) {
  MacroLibrary library(DataFolder());
  for (const char16_t* name : {u"'Boss'", u"''", u"'", u"\u00C9t\u00E9 \u0416"}) {
    ASSERT_GE(library.CreateMacro(name), 0);
  }
  const std::vector<MacroListEntry> rows = library.ListMacroNames();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].Name, u"'Boss'");
  EXPECT_EQ(rows[1].Name, u"''");
  EXPECT_EQ(rows[2].Name, u"'");
  EXPECT_EQ(library.FindMacroSlot(u"\u00E9T\u00C9 \u0436"), 3);

  // Importing "foo" over "Foo" replaces the macro "Foo" in its slot (and the mouse is told).
  library.CreateMacro(u"Foo");
  std::filesystem::create_directories(m_root / "exchange");
  const Macro incoming = SampleMacro(u"foo");
  ASSERT_TRUE(MacroLibrary::ExportMacro(incoming,
                                        Utf8ToUtf16((m_root / "exchange" / "foo.MSDB").string())));
  RecordingNotifier notifier;
  EXPECT_EQ(library.ImportMacro(Utf8ToUtf16((m_root / "exchange" / "foo.MSDB").string()), notifier),
            4);
  EXPECT_EQ(library.ListMacroNames().size(), 5u);
  EXPECT_EQ(library.ReadMacroFile(u"Foo").Records, incoming.Records);
  EXPECT_EQ(notifier.Calls, (std::vector<std::pair<int, bool>>{{4, false}}));
  EXPECT_EQ(library.CreateMacro(u"FOO"), -1);
}

TEST_F(MacroLibraryTest, ImportRefusesBadNamesMissingSourcesAndAFullLibrary) {
  std::filesystem::create_directories(m_root / "exchange");
  for (const char* file : {"CON.MSDB", "com1.txt.MSDB", "trailing..MSDB", "New.MSDB"})
    WriteRaw(m_root / "exchange" / file, "[Setting]\r\nCount=0\r\n");
  MacroLibrary library(DataFolder());
  RecordingNotifier notifier;
  auto import = [&](const char* file) {
    const MacroSlotResult result =
        library.ImportMacroFile(Utf8ToUtf16((m_root / "exchange" / file).string()), notifier);
    EXPECT_EQ(result.Slot, -1) << file;
    return result.Refusal;
  };
  EXPECT_EQ(import("CON.MSDB"), MacroRefusal::kInvalidName);
  EXPECT_EQ(import("com1.txt.MSDB"), MacroRefusal::kInvalidName);
  EXPECT_EQ(import("trailing..MSDB"), MacroRefusal::kInvalidName);
  EXPECT_EQ(import("absent.MSDB"), MacroRefusal::kNoSource);
  for (int slot = 0; slot < 15; ++slot)
    library.AddMacroName(u"m" + Utf8ToUtf16(std::to_string(slot)));
  const std::string before = Fingerprint();
  EXPECT_EQ(import("New.MSDB"), MacroRefusal::kLibraryFull);
  EXPECT_EQ(Fingerprint(), before);
  EXPECT_TRUE(notifier.Calls.empty());
  // A full library still takes a macro that replaces one of its own.
  WriteRaw(m_root / "exchange" / "M3.MSDB", "[Setting]\r\nCount=0\r\n");
  EXPECT_EQ(
      library.ImportMacroFile(Utf8ToUtf16((m_root / "exchange" / "M3.MSDB").string()), notifier)
          .Slot,
      3);
}

TEST_F(MacroLibraryTest, AMacroWhoseNameFailsTheRuleCanBeDeletedWithoutTouchingAnyFile) {
  std::filesystem::create_directories(m_root / "outside");
  WriteRaw(m_root / "outside" / "x.MSMACRO", "[Setting]\r\nCount=1\r\n");
  WriteRaw(IndexFile(), "[MACRO_LIST]\r\n0=keep\r\n1=..\\outside\\x\r\n");
  MacroLibrary library(DataFolder());
  RecordingNotifier notifier;
  EXPECT_TRUE(library.DeleteMacro(u"..\\outside\\x", notifier));
  EXPECT_EQ(library.ListMacroNames(), (std::vector<MacroListEntry>{{0, u"keep"}}));
  EXPECT_EQ(notifier.Calls, (std::vector<std::pair<int, bool>>{{1, true}}));
  EXPECT_TRUE(std::filesystem::exists(m_root / "outside" / "x.MSMACRO"));
}

TEST(MacroNameOfFileTest, TakesTheFileNameWithoutFolderAndExtension) {
  EXPECT_EQ(MacroNameOfFile(u"C:\\Macros\\My Macro.MSDB"), u"My Macro");
  EXPECT_EQ(MacroNameOfFile(u"/tmp/x/a.b.MSDB"), u"a.b");
  EXPECT_EQ(MacroNameOfFile(u"plain"), u"plain");
  EXPECT_EQ(MacroNameOfFile(u"C:\\dir.v2\\noext"), u"noext");
  EXPECT_EQ(MacroNameOfFile(u"C:\\dir\\.MSDB"), u"");
}

TEST_F(MacroLibraryTest, ExportWritesTheExchangePathIntoTheFile) {
  const std::u16string path = Utf8ToUtf16((m_root / "out.MSDB").string());
  const Macro macro = SampleMacro(u"Shown");
  ASSERT_TRUE(MacroLibrary::ExportMacro(macro, path));
  const Macro read = MacroLibrary::ReadMacroFileAt(path);
  EXPECT_EQ(read.Records, macro.Records);
  EXPECT_EQ(read.LoopType, 3);
  EXPECT_EQ(Parsed(m_root / "out.MSDB").GetText(u"Setting", u"MacroFilePath", u""), path);
}

// --- the agent's read-back ---

std::array<std::uint8_t, 200> Area(std::vector<std::uint8_t> bytes) {
  std::array<std::uint8_t, 200> area{};
  std::copy(bytes.begin(), bytes.end(), area.begin());
  return area;
}

TEST_F(MacroLibraryTest, ReadBackNamesAFreeAreaAndWritesOnlyItsKeys) {
  MacroLibrary library(DataFolder());
  auto area = Area({0x84, 0x04, 0, 0x06, 12, 0, 0x04, 0x04, 0, 0xFF, 0xFF, 0xFF, 0x84, 0x05, 0});
  area.back() = 0x77;  // beyond the records: never part of the file
  ASSERT_TRUE(library.StoreReadBackMacro(17, area));

  EXPECT_EQ(library.SlotName(17), u"NewMacro 17");
  EXPECT_EQ(library.ListMacroNames().size(), 0u);  // keys above 14 are not library slots
  const IniDocument document = Parsed(MacroDir() / "NewMacro 17.MSMACRO");
  EXPECT_EQ(document.GetText(u"Setting", u"MacroFilePath", u""),
            library.MacroFilePath(u"NewMacro 17"));
  EXPECT_EQ(document.GetInt(u"Setting", u"Count", 0), 3);
  for (const char16_t* key : {u"LoopTime", u"DefDelayTime", u"LoopType", u"DelayType"})
    EXPECT_FALSE(document.Find(u"Setting", key).has_value());

  const Macro read = library.ReadMacroFile(u"NewMacro 17");
  EXPECT_EQ(read.Count, 3);
  EXPECT_EQ(read.NonEmptyRecordCount(), 3);  // nothing after the end record
  EXPECT_EQ(read.Records[1], (MacroRecord{0x06, 12, 0}));
  EXPECT_EQ(read.LoopTime, 1);
  EXPECT_TRUE(IsValidMacroName(u"NewMacro 17"));
}

TEST_F(MacroLibraryTest, ReadBackIntoANamedSlotKeepsTheFilesOtherKeys) {
  MacroLibrary library(DataFolder());
  Macro macro = SampleMacro(u"Mine");
  library.AddMacroName(u"x");
  library.AddMacroName(u"y");
  library.AddMacroName(u"Mine");
  ASSERT_TRUE(library.SaveMacro(macro));

  ASSERT_TRUE(library.StoreReadBackMacro(2, Area({0x81, 1, 0, 0x01, 1, 0})));
  const Macro read = library.ReadMacroFile(u"Mine");
  EXPECT_EQ(read.Count, 2);
  EXPECT_EQ(read.Records[0], MouseButtonRecord(1, true));
  EXPECT_EQ(read.Records[2], MacroRecord{});
  EXPECT_EQ(read.LoopTime, 42);
  EXPECT_EQ(read.DefDelayTime, 25);
  EXPECT_EQ(read.LoopType, 3);
  EXPECT_EQ(read.DelayType, 0);
  EXPECT_EQ(library.ListMacroNames().size(), 3u);
}

TEST_F(MacroLibraryTest, EmptyAreaLeavesTheLibraryAsItIs) {
  MacroLibrary library(DataFolder());
  const std::string before = Fingerprint();
  EXPECT_FALSE(library.StoreReadBackMacro(3, Area({0xFF, 0xFF, 0xFF, 0x84, 4, 0})));
  EXPECT_FALSE(library.StoreReadBackMacro(4, Area({})));
  EXPECT_FALSE(library.StoreReadBackMacro(20, Area({0x84, 4, 0})));
  EXPECT_FALSE(library.StoreReadBackMacro(-1, Area({0x84, 4, 0})));
  EXPECT_EQ(Fingerprint(), before);

  library.AddMacroName(u"kept");
  const std::string index = ReadRaw(IndexFile());
  EXPECT_FALSE(library.StoreReadBackMacro(0, Area({})));
  EXPECT_FALSE(library.StoreReadBackMacro(1, Area({})));
  EXPECT_EQ(ReadRaw(IndexFile()), index);
}

TEST_F(MacroLibraryTest, ReadBackRefusesAHandEditedNameThatLeavesTheFolder) {
  IniFile(Utf8ToUtf16(IndexFile().string())).SetText(u"MACRO_LIST", u"5", u"..\\..\\evil");
  MacroLibrary library(DataFolder());
  const std::string before = Fingerprint();
  EXPECT_FALSE(library.StoreReadBackMacro(5, Area({0x84, 4, 0})));
  EXPECT_EQ(Fingerprint(), before);
}

// --- bad input ---

TEST_F(MacroLibraryTest, TruncatedOrBinaryFilesReadSafely) {
  MacroLibrary library(DataFolder());
  ASSERT_TRUE(library.SaveMacro(SampleMacro(u"Whole")));
  const std::string whole = ReadRaw(MacroDir() / "Whole.MSMACRO");
  for (std::size_t cut : {std::size_t(1), std::size_t(3), whole.size() / 2, whole.size() - 3}) {
    WriteRaw(MacroDir() / "Cut.MSMACRO", whole.substr(0, cut));
    const Macro macro = library.ReadMacroFile(u"Cut");
    EXPECT_LE(macro.Count, 63);
    EXPECT_GE(macro.Count, 0);
  }
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += char((i * 131 + 7) % 256);
  WriteRaw(MacroDir() / "Binary.MSMACRO", binary);
  EXPECT_EQ(library.ReadMacroFile(u"Binary").NonEmptyRecordCount(), 0);
  WriteRaw(IndexFile(), binary);
  EXPECT_EQ(library.FindMacroSlot(u"A"), -1);
  EXPECT_LE(library.ListMacroNames().size(), 15u);
}

TEST_F(MacroLibraryTest, HugeIndexIsReadWithoutTrouble) {
  // Each look-up parses the whole file, so this test does only two.
  std::string index = "[MACRO_LIST]\r\n0=\r\n1=A\r\n[Filler]\r\n";
  const std::string line = "k=" + std::string(100, 'v') + "\r\n";
  while (index.size() < 10u * 1024u * 1024u) index += line;
  WriteRaw(IndexFile(), index);
  MacroLibrary library(DataFolder());
  EXPECT_EQ(library.FindMacroSlot(u"A"), 1);
  EXPECT_EQ(library.AddMacroName(u"C"), 0);
  const std::string after = ReadRaw(IndexFile());
  EXPECT_NE(after.find("0=C\r\n1=A\r\n"), std::string::npos);
  EXPECT_EQ(after.size(), index.size() + 1);
}

}  // namespace
