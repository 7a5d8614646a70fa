// CBasicFunction's shell actions driven by the registry: the browser's home page and the mail
// client are pointed at copies of a stand-in program that notes each start. The registry keys
// the actions read are saved before every test and put back afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "agent/win32/basic_function.h"
#include "support/process_harness.h"

namespace {

constexpr wchar_t kBrowserKey[] = L"Software\\Microsoft\\Internet Explorer\\Main";
constexpr wchar_t kMailKey[] = L"mailto\\shell\\open\\command";

// Saves a key with everything below it into a scratch key and puts it back at the end: the
// key as it was, or no key when there was none.
class SavedRegistryTree {
 public:
  SavedRegistryTree(HKEY root, std::wstring path, std::wstring scratch)
      : m_root(root), m_path(std::move(path)), m_scratch(std::move(scratch)) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(m_root, m_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    HKEY copy = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, m_scratch.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &copy, nullptr) == ERROR_SUCCESS) {
      m_saved = RegCopyTreeW(key, nullptr, copy) == ERROR_SUCCESS;
      RegCloseKey(copy);
    }
    RegCloseKey(key);
    m_existed = true;
  }
  ~SavedRegistryTree() {
    RegDeleteTreeW(m_root, m_path.c_str());
    if (m_existed && m_saved) {
      HKEY key = nullptr, copy = nullptr;
      if (RegCreateKeyExW(m_root, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                          nullptr) == ERROR_SUCCESS) {
        if (RegOpenKeyExW(HKEY_CURRENT_USER, m_scratch.c_str(), 0, KEY_READ, &copy) ==
            ERROR_SUCCESS) {
          RegCopyTreeW(copy, nullptr, key);
          RegCloseKey(copy);
        }
        RegCloseKey(key);
      }
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, m_scratch.c_str());
  }
  SavedRegistryTree(const SavedRegistryTree&) = delete;
  SavedRegistryTree& operator=(const SavedRegistryTree&) = delete;
  bool Ready() const { return !m_existed || m_saved; }

 private:
  HKEY m_root;
  std::wstring m_path, m_scratch;
  bool m_existed = false, m_saved = false;
};

void SetString(HKEY root, const wchar_t* path, const wchar_t* name, const std::wstring& text) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

void DeleteValue(HKEY root, const wchar_t* path, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueW(key, name);
  RegCloseKey(key);
}

// Keys and values of a key, or -1 each when it does not exist.
std::pair<long, long> KeyContent(HKEY root, const wchar_t* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return {-1, -1};
  DWORD subkeys = 0, values = 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return {static_cast<long>(subkeys), static_cast<long>(values)};
}

harness::ChildCounter& Children() {
  static harness::ChildCounter counter;
  return counter;
}

class BasicFunctionShellTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_browser.Ready());
    ASSERT_TRUE(m_mail.Ready());
    ASSERT_TRUE(Children().Ready());
    ASSERT_FALSE(m_folder.Path().empty());
    m_log = m_folder.Path() + L"started.log";
    ASSERT_TRUE(SetEnvironmentVariableW(L"VIREO_STAND_IN_LOG", m_log.c_str()));
    m_first = StandIn(L"home.exe");
    m_second = StandIn(L"other.exe");
  }
  void TearDown() override { SetEnvironmentVariableW(L"VIREO_STAND_IN_LOG", nullptr); }

  // A copy of the stand-in program in the test folder under `name`; its full path.
  std::wstring StandIn(const std::wstring& name) {
    const std::wstring path = m_folder.Path() + name;
    EXPECT_TRUE(
        CopyFileW((harness::BinFolder() + L"stand_in_program.exe").c_str(), path.c_str(), FALSE))
        << "copy to " << path.size() << " units";
    return path;
  }

  // Runs an operation and returns the lines of the programs it started ("<path>|<command
  // line>"). Only waits for lines when a process was started.
  std::vector<std::string> Started(void (CBasicFunction::*operation)()) {
    const long before = Children().Started();
    EXPECT_GE(before, 0) << "the job does not count processes";
    CBasicFunction function;
    (function.*operation)();
    const long started = Children().Started() - before;
    std::vector<std::string> lines;
    if (started <= 0) return lines;
    const DWORD start = GetTickCount();
    for (;;) {
      lines = Lines();
      if (static_cast<long>(lines.size()) >= started || GetTickCount() - start > 15000) break;
      Sleep(20);
    }
    return lines;
  }

  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    const std::string text = harness::ReadFileBytes(m_log);
    size_t from = 0;
    for (size_t end; (end = text.find('\n', from)) != std::string::npos; from = end + 1) {
      lines.push_back(text.substr(from, end - from));
    }
    return lines;
  }

  static std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
  }
  // The path a line names, compared without regard to case as the file system does.
  static bool Names(const std::string& line, const std::wstring& path) {
    const std::string own = line.substr(0, line.find('|'));
    return lstrcmpiA(own.c_str(), Narrow(path).c_str()) == 0;
  }
  static std::string CommandLine(const std::string& line) {
    const size_t bar = line.find('|');
    return bar == std::string::npos ? std::string() : line.substr(bar + 1);
  }

  SavedRegistryTree m_browser{HKEY_CURRENT_USER, kBrowserKey, L"Software\\VireoTestSavedBrowser"};
  SavedRegistryTree m_mail{HKEY_CLASSES_ROOT, kMailKey, L"Software\\VireoTestSavedMail"};
  harness::TempFolder m_folder{L"vireo-shell"};
  std::wstring m_log, m_first, m_second;
};

TEST_F(BasicFunctionShellTest, BrowserHomeOpensTheStartPageOrTheDefaultValueInstead) {
  SetString(HKEY_CURRENT_USER, kBrowserKey, L"Start Page", m_first);
  DeleteValue(HKEY_CURRENT_USER, kBrowserKey, L"");
  std::vector<std::string> started = Started(&CBasicFunction::OpenBrowserHome);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_TRUE(Names(started[0], m_first)) << started[0];

  // A default value names the page instead of "Start Page".
  DeleteFileW(m_log.c_str());
  SetString(HKEY_CURRENT_USER, kBrowserKey, L"", m_second);
  started = Started(&CBasicFunction::OpenBrowserHome);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_TRUE(Names(started[0], m_second)) << started[0];

  // An empty default value names nothing, so the start page stays.
  DeleteFileW(m_log.c_str());
  SetString(HKEY_CURRENT_USER, kBrowserKey, L"", L"");
  started = Started(&CBasicFunction::OpenBrowserHome);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_TRUE(Names(started[0], m_first)) << started[0];
}

TEST_F(BasicFunctionShellTest, AHomePageLongerThanTheBufferIsNotReadAtAll) {
  // 259 units fill the 260-unit buffer with its terminator; one more does not fit.
  const std::wstring folder = m_folder.Path();
  ASSERT_LT(folder.size() + 10, 259u);
  const std::wstring longest = StandIn(std::wstring(259 - folder.size() - 4, L'p') + L".exe");
  ASSERT_EQ(longest.size(), 259u);
  DeleteValue(HKEY_CURRENT_USER, kBrowserKey, L"");
  SetString(HKEY_CURRENT_USER, kBrowserKey, L"Start Page", longest);
  std::vector<std::string> started = Started(&CBasicFunction::OpenBrowserHome);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_TRUE(Names(started[0], longest));

  // Cut to the buffer this would name the program above; it must not be started.
  DeleteFileW(m_log.c_str());
  SetString(HKEY_CURRENT_USER, kBrowserKey, L"Start Page", longest + L"x");
  EXPECT_TRUE(Started(&CBasicFunction::OpenBrowserHome).empty());

  // The same for a default value, which leaves the start page in place.
  SetString(HKEY_CURRENT_USER, kBrowserKey, L"Start Page", m_first);
  SetString(HKEY_CURRENT_USER, kBrowserKey, L"", longest + L"x");
  started = Started(&CBasicFunction::OpenBrowserHome);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_TRUE(Names(started[0], m_first)) << started[0];
}

TEST_F(BasicFunctionShellTest, MailClientIsTheQuotedProgramStartedWithoutItsArguments) {
  SetString(HKEY_CLASSES_ROOT, kMailKey, L"", L"\"" + m_first + L"\" -mail %1");
  const std::vector<std::string> started = Started(&CBasicFunction::OpenMailClient);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_TRUE(Names(started[0], m_first)) << started[0];
  EXPECT_EQ(CommandLine(started[0]).find("-mail"), std::string::npos) << started[0];
}

TEST_F(BasicFunctionShellTest, MailCommandsThatNameNoQuotedProgramStartNothing) {
  const std::wstring commands[] = {
      m_first + L" -mail %1",          // a path without quotes
      m_first,                         // only the path
      L"",                             // empty
      L"\"" + m_first + L" -mail %1",  // never closed
      L"\"a\"",                        // three units
  };
  for (const std::wstring& command : commands) {
    SetString(HKEY_CLASSES_ROOT, kMailKey, L"", command);
    EXPECT_TRUE(Started(&CBasicFunction::OpenMailClient).empty()) << Narrow(command);
  }
  EXPECT_TRUE(Lines().empty());
}

TEST_F(BasicFunctionShellTest, AMailCommandLongerThanTheBufferIsNotReadAtAll) {
  std::wstring command = L"\"" + m_first + L"\" -mail ";
  command.resize(259, L'm');
  SetString(HKEY_CLASSES_ROOT, kMailKey, L"", command);
  ASSERT_EQ(Started(&CBasicFunction::OpenMailClient).size(), 1u);

  DeleteFileW(m_log.c_str());
  SetString(HKEY_CLASSES_ROOT, kMailKey, L"", command + L"m");
  EXPECT_TRUE(Started(&CBasicFunction::OpenMailClient).empty());
}

TEST_F(BasicFunctionShellTest, MissingKeysAreCreatedEmptyAndStartNothing) {
  ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, kBrowserKey), ERROR_SUCCESS);
  RegDeleteTreeW(HKEY_CLASSES_ROOT, kMailKey);
  ASSERT_EQ(KeyContent(HKEY_CURRENT_USER, kBrowserKey).first, -1);
  ASSERT_EQ(KeyContent(HKEY_CLASSES_ROOT, kMailKey).first, -1);

  EXPECT_TRUE(Started(&CBasicFunction::OpenBrowserHome).empty());
  EXPECT_TRUE(Started(&CBasicFunction::OpenMailClient).empty());
  EXPECT_EQ(KeyContent(HKEY_CURRENT_USER, kBrowserKey), std::make_pair(0L, 0L));
  EXPECT_EQ(KeyContent(HKEY_CLASSES_ROOT, kMailKey), std::make_pair(0L, 0L));
}

TEST_F(BasicFunctionShellTest, LockStartsRundll32AndReadsNoRegistry) {
  // With both keys gone, only the lock command can start anything.
  ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, kBrowserKey), ERROR_SUCCESS);
  RegDeleteTreeW(HKEY_CLASSES_ROOT, kMailKey);
  const long before = Children().Started();
  CBasicFunction().RunLockCommand();
  EXPECT_EQ(Children().Started() - before, 1);
  EXPECT_EQ(KeyContent(HKEY_CURRENT_USER, kBrowserKey).first, -1);
  EXPECT_EQ(KeyContent(HKEY_CLASSES_ROOT, kMailKey).first, -1);
}

}  // namespace
