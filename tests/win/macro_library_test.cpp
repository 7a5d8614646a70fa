// Macro files written by the library read the same through the Windows private-profile
// functions, and files those functions write read the same through the library.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "settings/file_io.h"
#include "settings/macro_library.h"
#include "settings/macro_slot_notifier.h"
#include "support/process_harness.h"
#include "support/temp_folder.h"
#include "win/text.h"

namespace {

class MacroLibraryWin32Test : public testing::Test {
 protected:
  void SetUp() override {
    const std::u16string data = TempTestFolder(u"vireo_macro_");
    ASSERT_FALSE(data.empty());
    m_data = ToWide(data);
    ASSERT_TRUE(CreateDirectoryW(m_data.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(CreateDirectoryW((m_data + L"MacroDB").c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
  }
  void TearDown() override {
    RemoveTestFolder(ToU16(m_data + L"MacroDB\\"));
    RemoveTestFolder(ToU16(m_data));
  }

  std::wstring m_data;
};

Macro Sample(std::u16string name) {
  Macro macro;
  macro.Name = std::move(name);
  macro.Append(KeyRecord(0xE0, true));
  macro.Append(*DelayRecord(250));
  macro.Append(MouseButtonRecord(2, true));
  macro.Append(MouseButtonRecord(2, false));
  macro.Append(KeyRecord(0xE0, false));
  macro.LoopTime = 9;
  macro.LoopType = 1;
  macro.DelayType = 0;
  macro.DefDelayTime = 30;
  return macro;
}

TEST_F(MacroLibraryWin32Test, WindowsReadsWhatTheLibraryWrites) {
  MacroLibrary library(ToU16(m_data));
  const std::u16string name = u"Makro \u00DC\u65E5";
  const Macro macro = Sample(name);
  ASSERT_TRUE(library.SaveMacro(macro));
  ASSERT_EQ(library.AddMacroName(name), 0);

  const std::wstring file = ToWide(library.MacroFilePath(name));
  EXPECT_EQ(GetPrivateProfileIntW(L"Setting", L"LoopTime", -1, file.c_str()), 9u);
  EXPECT_EQ(GetPrivateProfileIntW(L"Setting", L"DefDelayTime", -1, file.c_str()), 30u);
  EXPECT_EQ(GetPrivateProfileIntW(L"Setting", L"LoopType", -1, file.c_str()), 1u);
  EXPECT_EQ(GetPrivateProfileIntW(L"Setting", L"DelayType", -1, file.c_str()), 0u);
  EXPECT_EQ(GetPrivateProfileIntW(L"Setting", L"Count", -1, file.c_str()), 5u);
  std::array<MacroRecord, 63> records{};
  ASSERT_TRUE(GetPrivateProfileStructW(L"Setting", L"MacroSetting_0", records.data(),
                                       sizeof(records), file.c_str()));
  EXPECT_EQ(records, macro.Records);

  // The non-ASCII name survives in the index.
  wchar_t value[260] = {};
  GetPrivateProfileStringW(L"MACRO_LIST", L"0", L"", value, 260,
                           ToWide(library.IndexPath()).c_str());
  EXPECT_EQ(std::wstring(value), ToWide(name));
}

TEST_F(MacroLibraryWin32Test, LibraryReadsWhatWindowsWrites) {
  MacroLibrary library(ToU16(m_data));
  const Macro macro = Sample(u"Plain");
  const std::wstring file = ToWide(library.MacroFilePath(u"Plain"));
  WritePrivateProfileStringW(L"Setting", L"LoopTime", L"9", file.c_str());
  WritePrivateProfileStringW(L"Setting", L"LoopType", L"1", file.c_str());
  WritePrivateProfileStringW(L"Setting", L"Count", L"5", file.c_str());
  WritePrivateProfileStructW(L"Setting", L"MacroSetting_0",
                             const_cast<MacroRecord*>(macro.Records.data()), sizeof(macro.Records),
                             file.c_str());
  WritePrivateProfileStringW(L"MACRO_LIST", L"1", L"Plain", ToWide(library.IndexPath()).c_str());
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());

  EXPECT_EQ(library.FindMacroSlot(u"Plain"), 1);
  const Macro read = library.ReadMacroFile(u"Plain");
  EXPECT_EQ(read.Records, macro.Records);
  EXPECT_EQ(read.Count, 5);
  EXPECT_EQ(read.LoopTime, 9);
  EXPECT_EQ(read.LoopType, 1);
  EXPECT_EQ(read.DelayType, 2);  // missing: the readers' default
}

// Two processes add and re-add names in the index at the same time, after waiting for a third
// that holds the commit lock: each read-modify-write sees the other's, and nothing is lost.
constexpr wchar_t kRaceVariable[] = L"VIREO_MACRO_RACE";

TEST(MacroIndexRace, Worker) {
  wchar_t setting[MAX_PATH * 2] = {};
  if (!GetEnvironmentVariableW(kRaceVariable, setting, MAX_PATH * 2)) GTEST_SKIP();
  const std::wstring text = setting;
  const std::size_t bar = text.find(L'|');
  ASSERT_NE(bar, std::wstring::npos);
  MacroLibrary library(ToU16(text.substr(0, bar)));
  const std::u16string prefix = ToU16(text.substr(bar + 1));
  struct Silent : MacroSlotNotifier {
    void MacroSlotChanged(int, bool) override {}
  } notifier;
  for (int round = 0; round < 3; ++round) {
    for (char16_t i = u'0'; i < u'7'; ++i) {
      library.RemoveMacroName(prefix + i, notifier);
      EXPECT_GE(library.AddMacroName(prefix + i), 0);
    }
  }
}

TEST(MacroIndexRace, TwoProcessesLoseNothing) {
  harness::TempFolder data(L"vireo-macro-race");
  ASSERT_TRUE(CreateDirectoryW((data.Path() + L"MacroDB").c_str(), nullptr));
  const std::wstring exe = harness::BinFolder() + L"macro_library_test.exe";
  std::unique_ptr<harness::Process> workers[2];
  {
    CommitLock held;
    for (int w = 0; w < 2; ++w) {
      SetEnvironmentVariableW(kRaceVariable, (data.Path() + L"|" + (w ? L"b" : L"a")).c_str());
      workers[w] = std::make_unique<harness::Process>(exe, L"--gtest_filter=MacroIndexRace.Worker");
      ASSERT_TRUE(workers[w]->Started());
    }
    SetEnvironmentVariableW(kRaceVariable, nullptr);
    Sleep(300);
    // Both wait for the lock: nothing written yet.
    EXPECT_EQ(GetFileAttributesW((data.Path() + L"MacroDB\\MacroSet.MSDB").c_str()),
              INVALID_FILE_ATTRIBUTES);
  }
  for (auto& worker : workers) {
    DWORD code = 1;
    EXPECT_TRUE(worker->WaitExit(60000, &code));
    EXPECT_EQ(code, 0u);
  }
  std::set<std::u16string> names;
  for (const MacroListEntry& entry : MacroLibrary(ToU16(data.Path())).ListMacroNames()) {
    EXPECT_TRUE(names.insert(entry.Name).second);
  }
  EXPECT_EQ(names.size(), 14u);
}

}  // namespace
