// The Win32 file port: atomic replacement seen by concurrent readers, files held open by
// others, the commit lock between threads and after a crashed holder, the system code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "settings/file_io.h"
#include "settings/file_steps.h"
#include "settings/ini_code_page.h"
#include "settings/ini_document.h"
#include "settings/ini_file.h"
#include "settings/profile_files.h"
#include "settings/profile_set.h"
#include "support/temp_folder.h"
#include "win/text.h"

static_assert(sizeof(wchar_t) == 2, "UTF-16 text is passed to Windows as wchar_t");

namespace {

class FileIoWin32 : public testing::Test {
 protected:
  void SetUp() override {
    m_folder = TempTestFolder(u"vireo-file-io-");
    ASSERT_FALSE(m_folder.empty());
    ASSERT_TRUE(CreateFolder(m_folder));
  }
  void TearDown() override { RemoveTestFolder(m_folder); }
  int FileCount() const {
    int count = 0;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(AsWide(m_folder + u"*"), &found);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return count;
  }

  std::u16string m_folder;
};

TEST_F(FileIoWin32, ReadersSeeOldOrNewContentNeverATornFile) {
  const std::u16string path = m_folder + u"QVProfile1.pfd";
  const std::string first(40000, 'a');
  const std::string second(60000, 'b');
  ASSERT_TRUE(ReplaceFileAtomically(path, first));
  std::atomic<bool> done{false};
  std::atomic<int> failedWrites{0};
  std::thread writer([&] {
    for (int i = 0; i < 60; ++i) {
      if (!ReplaceFileAtomically(path, i % 2 ? first : second)) ++failedWrites;
    }
    done = true;
  });
  int reads = 0;
  int torn = 0;
  while (!done) {
    Sleep(1);  // the other program reads now and then, not in a tight loop
    std::string bytes;
    if (ReadWholeFile(path, bytes)) {
      ++reads;
      if (bytes != first && bytes != second) ++torn;
    }
  }
  writer.join();
  EXPECT_EQ(failedWrites, 0);
  EXPECT_EQ(torn, 0);
  EXPECT_GT(reads, 0);
  EXPECT_EQ(FileCount(), 1);  // no temporary file left behind
}

TEST_F(FileIoWin32, TargetHeldWithoutDeleteSharingIsLeftIntact) {
  const std::u16string path = m_folder + u"held.ini";
  ASSERT_TRUE(ReplaceFileAtomically(path, "old"));
  HANDLE held = CreateFileW(AsWide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(ReplaceFileAtomically(path, "new"));
  CloseHandle(held);
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, "old");
  EXPECT_EQ(FileCount(), 1);
  EXPECT_TRUE(ReplaceFileAtomically(path, "new"));
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, "new");
}

TEST_F(FileIoWin32, FoldersAndMissingFiles) {
  std::string bytes = "stale";
  EXPECT_FALSE(ReadWholeFile(m_folder + u"missing.ini", bytes));
  EXPECT_TRUE(bytes.empty());
  EXPECT_FALSE(ReadWholeFile(m_folder, bytes));  // a folder is not a file
  EXPECT_FALSE(ReplaceFileAtomically(m_folder + u"no folder\\x.ini", "x"));
  EXPECT_TRUE(CreateFolder(m_folder + u"MacroDB"));
  EXPECT_TRUE(CreateFolder(m_folder + u"MacroDB"));
  EXPECT_TRUE(FolderExists(m_folder + u"MacroDB"));
  EXPECT_FALSE(FileExists(m_folder + u"MacroDB"));
  ASSERT_TRUE(ReplaceFileAtomically(m_folder + u"MacroDB\\M\u00E4kro \u0416.MSMACRO", "m"));
  EXPECT_TRUE(FileExists(m_folder + u"MacroDB\\M\u00E4kro \u0416.MSMACRO"));
  EXPECT_TRUE(CopyFileReplacing(m_folder + u"MacroDB\\M\u00E4kro \u0416.MSMACRO",
                                m_folder + u"copy.MSMACRO"));
  ASSERT_TRUE(ReadWholeFile(m_folder + u"copy.MSMACRO", bytes));
  EXPECT_EQ(bytes, "m");
  EXPECT_TRUE(RemoveFile(m_folder + u"MacroDB\\M\u00E4kro \u0416.MSMACRO"));
  EXPECT_FALSE(RemoveFile(m_folder + u"MacroDB\\M\u00E4kro \u0416.MSMACRO"));
  RemoveDirectoryW(AsWide(m_folder + u"MacroDB"));
}

TEST_F(FileIoWin32, CommitLockExcludesOtherThreadsAndSurvivesACrashedHolder) {
  // Keeps the named mutex in existence between the locks of this test.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\VireoSettingsCommit");
  ASSERT_NE(mutex, nullptr);
  const auto freeFromOtherThread = [] {
    DWORD result = WAIT_FAILED;
    std::thread probe([&] {
      HANDLE h = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, L"Local\\VireoSettingsCommit");
      if (!h) return;
      result = WaitForSingleObject(h, 0);
      if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) ReleaseMutex(h);
      CloseHandle(h);
    });
    probe.join();
    return result;
  };
  {
    CommitLock lock;
    EXPECT_EQ(freeFromOtherThread(), DWORD(WAIT_TIMEOUT));
    CommitLock again;  // the same thread takes it again without waiting for itself
    EXPECT_EQ(freeFromOtherThread(), DWORD(WAIT_TIMEOUT));
  }
  EXPECT_EQ(freeFromOtherThread(), DWORD(WAIT_OBJECT_0));

  // A holder that dies without letting go: the next commit takes the abandoned lock and
  // releases it afterwards.
  std::thread crashed([] { new CommitLock; });
  crashed.join();
  IniFile file(m_folder + u"after.ini");
  file.SetInt(u"A", u"k", 5);
  EXPECT_EQ(file.GetInt(u"A", u"k", 0), 5);
  EXPECT_EQ(freeFromOtherThread(), DWORD(WAIT_OBJECT_0));
  CloseHandle(mutex);
}

TEST_F(FileIoWin32, ReadOnlyFilesFailAtOnceAndStayAsTheyAre) {
  ProfileSet set;
  ResetProfileSet(set);
  ASSERT_TRUE(SaveProfileFiles(set, m_folder));
  std::string before[kProfileCount];
  for (int n = 1; n <= kProfileCount; ++n) {
    ASSERT_TRUE(ReadWholeFile(ProfileFilePath(m_folder, n), before[n - 1]));
    SetFileAttributesW(AsWide(ProfileFilePath(m_folder, n)), FILE_ATTRIBUTE_READONLY);
  }
  // Denied for good: not retried as if the other program held the file for a moment.
  int renames = 0;
  SetFileStepHook([&](FileStep step) {
    renames += step == FileStep::Rename;
    return FileStepOutcome::Proceed;
  });
  set.CurrentProfile = 2;
  const bool saved = SaveProfileFiles(set, m_folder);
  SetFileStepHook(nullptr);
  EXPECT_FALSE(saved);
  EXPECT_LE(renames, kProfileCount);
  for (int n = 1; n <= kProfileCount; ++n) {
    std::string after;
    ASSERT_TRUE(ReadWholeFile(ProfileFilePath(m_folder, n), after));
    EXPECT_EQ(after, before[n - 1]);
    SetFileAttributesW(AsWide(ProfileFilePath(m_folder, n)), FILE_ATTRIBUTE_NORMAL);
  }
  EXPECT_EQ(FileCount(), kProfileCount);
}

TEST_F(FileIoWin32, ConcurrentTransactionsLoseNoUpdate) {
  const std::u16string path = m_folder + u"count.ini";
  const auto worker = [&] {
    IniFile file(path);
    for (int i = 0; i < 30; ++i) {
      IniFile::Transaction transaction(file);
      transaction.SetInt(u"C", u"n", transaction.Document().GetInt(u"C", u"n", 0) + 1);
      transaction.Commit();
    }
  };
  std::thread first(worker);
  std::thread second(worker);
  first.join();
  second.join();
  EXPECT_EQ(IniFile(path).GetInt(u"C", u"n", -1), 60);
}

TEST_F(FileIoWin32, AnsiFilesUseTheSystemCodePage) {
  // Byte 0xE9 in the system code page, whatever that is here.
  wchar_t expected = 0;
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xE9", 1, &expected, 1), 1);
  const IniDocument doc = IniDocument::Parse("[A]\r\nk=\xE9\r\n");
  EXPECT_EQ(doc.GetText(u"A", u"k", u""), std::u16string(1, char16_t(expected)));
  std::string bytes;
  EXPECT_TRUE(PlatformAnsiCodePage().Encode(std::u16string(1, char16_t(expected)), bytes));
  EXPECT_EQ(bytes, "\xE9");
  // A character the code page cannot hold is refused rather than turned into '?'.
  if (GetACP() != CP_UTF8) {
    EXPECT_FALSE(PlatformAnsiCodePage().Encode(u"\U0001F600", bytes));
  }
}

}  // namespace
