#include "settings/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "settings/file_io.h"
#include "settings/ini_document.h"

namespace {

namespace fs = std::filesystem;

class IniFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vireo-ini-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_folder = pattern;
  }
  void TearDown() override { fs::remove_all(m_folder); }

  // Windows-style path, as the programs pass them.
  std::u16string Path(const std::string& name) const {
    const std::string native = (m_folder / name).string();
    std::u16string path(native.begin(), native.end());
    for (char16_t& c : path) {
      if (c == u'/') c = u'\\';
    }
    return path;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(m_folder / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(m_folder / name, std::ios::binary) << bytes;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_folder)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  fs::path m_folder;
};

TEST_F(IniFileTest, MissingFileReadsDefaultsAndFirstWriteCreatesIt) {
  const IniFile file(Path("QVProfile1.pfd"));
  EXPECT_EQ(file.GetInt(u"GROUP0", u"GroupID", -1), -1);
  EXPECT_EQ(file.GetText(u"GROUP0", u"MacroName", u"none"), u"none");
  unsigned char block[4] = {1, 2, 3, 4};
  EXPECT_FALSE(file.GetBlock(u"GROUP0", u"LEDSTATE_INFO", block, sizeof block));
  EXPECT_EQ(block[3], 4);
  EXPECT_TRUE(Names().empty());  // reading creates nothing

  IniFile writer(Path("QVProfile1.pfd"));
  writer.SetInt(u"GROUP0", u"GroupID", 3);
  const unsigned char levels[4] = {9, 8, 7, 6};
  writer.SetBlock(u"GROUP0", u"LEDSTATE_INFO", levels, sizeof levels);
  writer.SetText(u"ButtonAssigned0_1", u"MacroName", u"\u00C4 macro");
  // Another object (as another program would) sees every value at once.
  EXPECT_EQ(file.GetInt(u"group0", u"groupid", -1), 3);
  EXPECT_TRUE(file.GetBlock(u"GROUP0", u"LEDSTATE_INFO", block, sizeof block));
  EXPECT_EQ(block[0], 9);
  EXPECT_EQ(file.GetText(u"ButtonAssigned0_1", u"MacroName", u""), u"\u00C4 macro");
  EXPECT_EQ(Read("QVProfile1.pfd").substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(Names(), std::vector<std::string>{"QVProfile1.pfd"});  // no temporary file left
}

TEST_F(IniFileTest, TransactionWritesOnceOnCommit) {
  Write("MacroSet.MSDB", "[Setting]\r\nDevice=1\r\n; mine\r\n");
  IniFile file(Path("MacroSet.MSDB"));
  {
    IniFile::Transaction transaction(file);
    for (int i = 0; i < 50; ++i)
      transaction.SetInt(u"List",
                         u"Key" + std::u16string(1, u'A' + i % 26) + char16_t(u'0' + i / 26), i);
    transaction.SetText(u"Setting", u"FirstOpen", u"0");
    EXPECT_EQ(transaction.Document().GetInt(u"List", u"KeyB0", -1), 1);
    // Nothing reaches the file before Commit.
    EXPECT_EQ(Read("MacroSet.MSDB"), "[Setting]\r\nDevice=1\r\n; mine\r\n");
    EXPECT_TRUE(transaction.Commit());
  }
  const IniDocument doc = file.Load();
  EXPECT_EQ(doc.GetInt(u"List", u"KeyX1", -1), 49);
  EXPECT_EQ(doc.GetInt(u"Setting", u"Device", -1), 1);
  EXPECT_EQ(Read("MacroSet.MSDB").rfind("[Setting]\r\nDevice=1\r\nFirstOpen=0\r\n; mine\r\n", 0),
            0u);
  EXPECT_EQ(Names().size(), 1u);
}

TEST_F(IniFileTest, TransactionWithoutCommitOrChangeWritesNothing) {
  Write("a.ini", "[A]\nk=1\n");
  IniFile file(Path("a.ini"));
  {
    IniFile::Transaction transaction(file);
    transaction.SetInt(u"A", u"k", 2);
  }
  EXPECT_EQ(Read("a.ini"), "[A]\nk=1\n");

  struct stat before {};
  ASSERT_EQ(::stat((m_folder / "a.ini").c_str(), &before), 0);
  IniFile::Transaction same(file);
  same.SetInt(u"A", u"K", 1);
  EXPECT_TRUE(same.Commit());  // nothing needed writing
  struct stat after {};
  ASSERT_EQ(::stat((m_folder / "a.ini").c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino);  // not replaced
}

TEST_F(IniFileTest, MissingFolderFailsQuietly) {
  IniFile file(Path("no such folder/QVProfile1.pfd"));
  file.SetInt(u"GROUP0", u"Group", 1);
  EXPECT_EQ(file.GetInt(u"GROUP0", u"Group", -1), -1);
  IniFile::Transaction transaction(file);
  transaction.SetInt(u"GROUP0", u"Group", 1);
  EXPECT_FALSE(transaction.Commit());
}

TEST_F(IniFileTest, DamagedFilesReadWhatTheyHold) {
  // Cut off in the middle of a line, as a file half written by another program.
  Write("half.pfd", "[GROUP0]\r\nGroup=2\r\nPollingRate=10");
  const IniFile half(Path("half.pfd"));
  EXPECT_EQ(half.GetInt(u"GROUP0", u"Group", -1), 2);
  EXPECT_EQ(half.GetInt(u"GROUP0", u"PollingRate", -1), 10);
  EXPECT_EQ(half.GetInt(u"GROUP0", u"DPI", -1), -1);

  std::string odd = "\xFF\xFE";
  for (char c : std::string("[A]\r\nk=5\r\n")) odd += std::string{c, '\0'};
  Write("odd.pfd", odd + "\x35");
  EXPECT_EQ(IniFile(Path("odd.pfd")).GetInt(u"A", u"k", -1), 5);

  Write("binary.pfd", std::string("\0\x01[A]\0k=\xFF\xFE\0", 11));
  EXPECT_EQ(IniFile(Path("binary.pfd")).GetInt(u"A", u"k", -1), -1);
  EXPECT_EQ(IniFile(Path("binary.pfd")).GetText(u"A", u"k", u"d"), u"d");
}

TEST_F(IniFileTest, LargeFilesAreReadAndHugeOnesLeftAlone) {
  std::string large = "[Big]\r\n";
  large += "filler=" + std::string(10u * 1024u * 1024u, 'x') + "\r\n";
  large += "last=7\r\n";
  Write("large.ini", large);
  IniFile file(Path("large.ini"));
  EXPECT_EQ(file.GetText(u"Big", u"filler", u"").size(), 4095u);
  file.SetInt(u"Big", u"last", 8);
  const std::string changed = Read("large.ini");
  EXPECT_EQ(changed.size(), large.size());
  EXPECT_EQ(changed.substr(changed.size() - 8), "last=8\r\n");

  // Beyond the limit: read as empty, and never replaced by a file of a few keys.
  std::string huge = "[Big]\r\nfirst=1\r\n" + std::string(17u * 1024u * 1024u, ';');
  Write("huge.ini", huge);
  IniFile hugeFile(Path("huge.ini"));
  EXPECT_EQ(hugeFile.GetInt(u"Big", u"first", -1), -1);
  hugeFile.SetInt(u"Big", u"first", 2);
  EXPECT_EQ(fs::file_size(m_folder / "huge.ini"), huge.size());

  // A file of 1.5 million one-character keys is not worth 10 times its size in memory: it is
  // unreadable, and left alone.
  std::string keys;
  for (int i = 0; i < 1500000; ++i) keys += "k\n";
  Write("keys.ini", keys);
  IniFile keysFile(Path("keys.ini"));
  EXPECT_EQ(keysFile.GetText(u"", u"k", u"none"), u"none");
  keysFile.SetInt(u"", u"k", 1);
  EXPECT_EQ(Read("keys.ini"), keys);
}

TEST_F(IniFileTest, ACommitRemovesWhatInterruptedReplacementsLeftInItsFolder) {
  Write("a.ini", "[A]\r\nk=1\r\n");
  for (const char* leftover : {"a.ini.1f2e-3-0.tmp", "QVProfile2.pfd.ab-0-1.tmp"}) {
    Write(leftover, "torn");
  }
  for (const char* foreign : {"notes.tmp", "a.ini.tmp", "a.ini.x-1-2.tmp", "a.ini.1-2.tmp"}) {
    Write(foreign, "not ours");
  }
  IniFile(Path("a.ini")).SetInt(u"A", u"k", 2);
  std::vector<std::string> names = Names();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.ini", "a.ini.1-2.tmp", "a.ini.tmp",
                                             "a.ini.x-1-2.tmp", "notes.tmp"}));
}

TEST_F(IniFileTest, ConcurrentCommitsLoseNoUpdate) {
  Write("count.ini", "[C]\r\nn=0\r\n");
  const auto worker = [this] {
    IniFile file(Path("count.ini"));
    for (int i = 0; i < 40; ++i) {
      IniFile::Transaction transaction(file);
      const int n = transaction.Document().GetInt(u"C", u"n", -1000);
      transaction.SetInt(u"C", u"n", n + 1);
      transaction.Commit();
    }
  };
  std::thread first(worker);
  std::thread second(worker);
  first.join();
  second.join();
  EXPECT_EQ(IniFile(Path("count.ini")).GetInt(u"C", u"n", -1), 80);
}

TEST_F(IniFileTest, NestedLocksOnOneThreadDoNotWaitForThemselves) {
  IniFile outer(Path("outer.ini"));
  IniFile inner(Path("inner.ini"));
  IniFile::Transaction transaction(outer);
  transaction.SetInt(u"A", u"a", 1);
  inner.SetInt(u"B", u"b", 2);  // takes the commit lock again on this thread
  EXPECT_TRUE(transaction.Commit());
  EXPECT_EQ(outer.GetInt(u"A", u"a", 0), 1);
  EXPECT_EQ(inner.GetInt(u"B", u"b", 0), 2);
}

TEST_F(IniFileTest, FileHelpers) {
  EXPECT_FALSE(FileExists(Path("x.ini")));
  EXPECT_TRUE(CreateFolder(Path("MacroDB")));
  EXPECT_TRUE(CreateFolder(Path("MacroDB")));  // already there
  EXPECT_TRUE(FolderExists(Path("MacroDB")));
  EXPECT_FALSE(FileExists(Path("MacroDB")));
  ASSERT_TRUE(ReplaceFileAtomically(Path("MacroDB\\x.ini"), "one"));
  EXPECT_TRUE(FileExists(Path("MacroDB\\x.ini")));
  EXPECT_TRUE(CopyFileReplacing(Path("MacroDB\\x.ini"), Path("y.ini")));
  EXPECT_EQ(Read("y.ini"), "one");
  ASSERT_TRUE(ReplaceFileAtomically(Path("y.ini"), "two"));
  EXPECT_EQ(Read("y.ini"), "two");
  std::string bytes;
  EXPECT_TRUE(ReadWholeFile(Path("y.ini"), bytes, 2));
  EXPECT_EQ(bytes, "tw");
  EXPECT_FALSE(ReadWholeFile(Path("MacroDB"), bytes));
  EXPECT_TRUE(RemoveFile(Path("y.ini")));
  EXPECT_FALSE(RemoveFile(Path("y.ini")));
  EXPECT_FALSE(FileExists(Path("y.ini")));
  EXPECT_FALSE(CopyFileReplacing(Path("y.ini"), Path("z.ini")));
  EXPECT_FALSE(FileExists(Path("z.ini")));
}

}  // namespace
