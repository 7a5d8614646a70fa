// hid.exe applying the current profile's pointer settings to Windows under Wine: the
// double-click time, the three-value mouse setting built over the user's stored thresholds and
// the pointer speed, after 0x4E2 and 0x4DE; the stored registry values stay as they were. At
// start the agent takes the Windows pointer speed into all five profile files and tells the
// configurator.
//
// Wine keeps each process's copy of these settings once it has read them, so the values in
// effect are read by a fresh process: this test program started again as a reader.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "contract/program_names.h"
#include "contract/window_messages.h"
#include "settings/ini_file.h"
#include "settings/profile_files.h"
#include "settings/profile_set.h"
#include "support/process_harness.h"
#include "support/stand_in_configurator.h"
#include "win/text.h"

namespace {

constexpr wchar_t kReaderOutputVariable[] = L"VIREO_POINTER_SETTINGS_OUT";
constexpr wchar_t kMouseKey[] = L"Control Panel\\Mouse";

// What Windows has in effect.
struct SystemPointerSettings {
  int Mouse[3] = {};
  int Speed = 0;
  UINT DoubleClickMs = 0;
};

// Started with the output variable set, this program only writes the settings in effect into
// that file and ends, before any test runs.
const bool g_readerMode = [] {
  wchar_t out[MAX_PATH] = {};
  if (GetEnvironmentVariableW(kReaderOutputVariable, out, MAX_PATH) == 0) return false;
  SystemPointerSettings s;
  SystemParametersInfoW(SPI_GETMOUSE, 0, s.Mouse, 0);
  SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &s.Speed, 0);
  s.DoubleClickMs = GetDoubleClickTime();
  char text[96];
  const int length = std::snprintf(text, sizeof text, "%d %d %d %d %u", s.Mouse[0], s.Mouse[1],
                                   s.Mouse[2], s.Speed, s.DoubleClickMs);
  HANDLE file = CreateFileW(out, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  if (file != INVALID_HANDLE_VALUE) {
    WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
  }
  ExitProcess(file != INVALID_HANDLE_VALUE ? 0 : 1);
}();

std::wstring OwnPath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

// One registry value of the mouse key, put back as it was (or removed) at the end.
class SavedValue {
 public:
  explicit SavedValue(const wchar_t* name) : m_name(name) {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kMouseKey, name, RRF_RT_ANY | RRF_NOEXPAND, &m_type,
                     nullptr, &size) != ERROR_SUCCESS) {
      return;
    }
    m_data.resize(size);
    m_existed = RegGetValueW(HKEY_CURRENT_USER, kMouseKey, name, RRF_RT_ANY | RRF_NOEXPAND, &m_type,
                             m_data.data(), &size) == ERROR_SUCCESS;
    m_data.resize(size);
  }
  ~SavedValue() {
    HKEY key = nullptr;
    if (RegCreateKeyW(HKEY_CURRENT_USER, kMouseKey, &key) != ERROR_SUCCESS) return;
    if (m_existed) {
      RegSetValueExW(key, m_name, 0, m_type, m_data.data(), static_cast<DWORD>(m_data.size()));
    } else {
      RegDeleteValueW(key, m_name);
    }
    RegCloseKey(key);
  }
  SavedValue(const SavedValue&) = delete;
  SavedValue& operator=(const SavedValue&) = delete;

 private:
  const wchar_t* m_name;
  bool m_existed = false;
  DWORD m_type = 0;
  std::vector<BYTE> m_data;
};

void SetStored(const wchar_t* name, const std::wstring& text) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, kMouseKey, &key), ERROR_SUCCESS);
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

std::optional<std::wstring> Stored(const wchar_t* name) {
  wchar_t text[1024] = {};
  DWORD size = sizeof text;
  if (RegGetValueW(HKEY_CURRENT_USER, kMouseKey, name, RRF_RT_REG_SZ, nullptr, text, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(text);
}

class PointerSettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle)), nullptr)
        << "an agent is already running";
    ASSERT_TRUE(harness::InstallAgent(m_program.Path()));
    const std::optional<SystemPointerSettings> before = ReadInEffect();
    ASSERT_TRUE(before);
    m_before = *before;

    ResetProfileSet(m_set);
    ProfileSet reset = m_set;
    ValidateProfileSet(m_set, reset);
    CreateDirectoryW(DataFolder().c_str(), nullptr);
  }

  void TearDown() override {
    if (HWND agent = FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle))) {
      PostMessageW(agent, WM_COMMAND, agent_msg::kCommandExit, 0);
      harness::WaitForNoWindow(AsWide(program_names::kAgentWindowTitle), 10000);
    }
    // The settings in effect as they were before the test, for this log-on only.
    SystemParametersInfoW(SPI_SETMOUSE, 0, m_before.Mouse, 0);
    SystemParametersInfoW(SPI_SETMOUSESPEED, m_before.Speed,
                          reinterpret_cast<void*>(static_cast<UINT_PTR>(m_before.Speed)), 0);
    SetDoubleClickTime(m_before.DoubleClickMs);
  }

  std::wstring DataFolder() const { return m_documents.Path() + L"Vireo Gaming Mouse\\"; }

  // A fresh process's view of the settings in effect.
  std::optional<SystemPointerSettings> ReadInEffect() {
    const std::wstring out = m_program.Path() + L"in-effect.txt";
    DeleteFileW(out.c_str());
    SetEnvironmentVariableW(kReaderOutputVariable, out.c_str());
    DWORD exitCode = 1;
    {
      harness::Process reader(OwnPath());
      const bool ended = reader.WaitExit(20000, &exitCode);
      SetEnvironmentVariableW(kReaderOutputVariable, nullptr);
      if (!ended || exitCode != 0) return std::nullopt;
    }
    SystemPointerSettings s;
    const std::string text = harness::ReadFileBytes(out);
    if (std::sscanf(text.c_str(), "%d %d %d %d %u", &s.Mouse[0], &s.Mouse[1], &s.Mouse[2], &s.Speed,
                    &s.DoubleClickMs) != 5) {
      return std::nullopt;
    }
    return s;
  }

  // The agent started with a stand-in configurator window; returns the agent's window.
  HWND StartAgent() {
    m_agent.emplace(m_program.Path() + L"hid.exe");
    return harness::WaitForReadyWindow(AsWide(program_names::kAgentWindowTitle), 20000);
  }

  // Saves the five files with `current` selected and the given pointer values in it.
  void SelectProfile(int current, int doubleClickSpeed, int acceleration, int sensitivity) {
    m_set.CurrentProfile = current;
    ProfileRecord& profile = m_set.Profiles[current];
    profile.DoubleClickSpeed = doubleClickSpeed;
    profile.Acceleration = acceleration;
    profile.MouseSensitivity = sensitivity;
    ASSERT_TRUE(SaveProfileFiles(m_set, ToU16(DataFolder())));
  }

  // Sends a configurator message and returns the settings then in effect.
  SystemPointerSettings Notify(HWND agent, UINT message) {
    DWORD_PTR result = 1;
    EXPECT_TRUE(SendMessageTimeoutW(agent, message, 0, 0, SMTO_NORMAL, 30000, &result));
    EXPECT_EQ(result, 0u);
    const std::optional<SystemPointerSettings> now = ReadInEffect();
    EXPECT_TRUE(now);
    return now.value_or(SystemPointerSettings{});
  }

  int FileSensitivity(int profile) const {
    return IniFile(ProfileFilePath(ToU16(DataFolder()), profile + 1))
        .GetInt(u"GROUP" + std::u16string(1, u'0' + profile), u"MouseSensitivity", -1);
  }

  SavedValue m_savedSpeed{L"MouseSpeed"};
  SavedValue m_savedThreshold1{L"MouseThreshold1"};
  SavedValue m_savedThreshold2{L"MouseThreshold2"};
  SavedValue m_savedSensitivity{L"MouseSensitivity"};
  SystemPointerSettings m_before;
  harness::TempFolder m_program{L"vireo-pointer-program"};
  harness::TempFolder m_documents{L"vireo-pointer-documents"};
  harness::DocumentsOverride m_override{m_documents.Path()};
  harness::StandInConfigurator m_configurator;
  ProfileSet m_set{};
  std::optional<harness::Process> m_agent;
};

void ExpectSettings(const SystemPointerSettings& s, int threshold1, int threshold2, int level,
                    int speed, UINT doubleClickMs) {
  EXPECT_EQ(s.Mouse[0], threshold1);
  EXPECT_EQ(s.Mouse[1], threshold2);
  EXPECT_EQ(s.Mouse[2], level);
  EXPECT_EQ(s.Speed, speed);
  EXPECT_EQ(s.DoubleClickMs, doubleClickMs);
}

TEST_F(PointerSettingsTest, StartTakesTheWindowsPointerSpeedIntoAllFiveFiles) {
  SetStored(L"MouseSensitivity", L"13");
  for (int p = 0; p < kProfileCount; ++p) m_set.Profiles[p].MouseSensitivity = 4 + p;
  ASSERT_TRUE(SaveProfileFiles(m_set, ToU16(DataFolder())));

  ASSERT_NE(StartAgent(), nullptr);
  ASSERT_TRUE(m_configurator.WaitFor(configurator_msg::kNewsPointerSpeed, 1, 20000, 13));
  for (int p = 0; p < kProfileCount; ++p) EXPECT_EQ(FileSensitivity(p), 13) << p;
  EXPECT_EQ(m_configurator.Count(configurator_msg::kNewsPointerSpeed), 1);
}

TEST_F(PointerSettingsTest, ProfileSelectionAndFullApplySetTheCurrentProfilesValues) {
  SetStored(L"MouseThreshold1", L"6");
  SetStored(L"MouseThreshold2", L"10");
  SetStored(L"MouseSpeed", L"1");
  SetStored(L"MouseSensitivity", L"10");
  HWND agent = StartAgent();
  ASSERT_NE(agent, nullptr);
  ASSERT_TRUE(m_configurator.WaitFor(configurator_msg::kNewsPointerSpeed, 1, 20000, 10));

  // The lowest step keeps the user's thresholds and switches acceleration off.
  SelectProfile(2, 5, 1, 20);
  ExpectSettings(Notify(agent, agent_msg::kProfileSelected), 6, 10, 0, 20, 550);

  // Another profile through the full apply: the fastest step ignores the stored thresholds.
  SelectProfile(4, 10, 4, 3);
  ExpectSettings(Notify(agent, agent_msg::kApplyAll), 2, 8, 2, 3, 200);

  // The stored thresholds are read again at every apply.
  SetStored(L"MouseThreshold2", L"17");
  SelectProfile(1, 0, 2, 15);
  ExpectSettings(Notify(agent, agent_msg::kProfileSelected), 8, 17, 1, 15, 900);
  SelectProfile(1, 3, 3, 15);
  ExpectSettings(Notify(agent, agent_msg::kProfileSelected), 4, 17, 1, 15, 690);

  // Nothing was written to the registry: the stored values stay the user's.
  EXPECT_EQ(Stored(L"MouseSensitivity"), L"10");
  EXPECT_EQ(Stored(L"MouseThreshold1"), L"6");
  EXPECT_EQ(Stored(L"MouseThreshold2"), L"17");
  EXPECT_EQ(Stored(L"MouseSpeed"), L"1");

  // The values stay in effect after the agent has ended.
  PostMessageW(agent, WM_COMMAND, agent_msg::kCommandExit, 0);
  ASSERT_TRUE(m_agent->WaitExit(10000));
  const std::optional<SystemPointerSettings> after = ReadInEffect();
  ASSERT_TRUE(after);
  ExpectSettings(*after, 4, 17, 1, 15, 690);
}

TEST_F(PointerSettingsTest, DamagedStoredValuesReadAsZero) {
  // Longer than the 260-byte buffer, not a number, and a level Windows does not have.
  SetStored(L"MouseThreshold1", std::wstring(200, L'7'));
  SetStored(L"MouseThreshold2", L"ten");
  SetStored(L"MouseSpeed", L"7");
  // Not a pointer speed: the profiles keep theirs and the configurator hears nothing.
  SetStored(L"MouseSensitivity", L"250");
  for (int p = 0; p < kProfileCount; ++p) m_set.Profiles[p].MouseSensitivity = 9;
  ASSERT_TRUE(SaveProfileFiles(m_set, ToU16(DataFolder())));
  HWND agent = StartAgent();
  ASSERT_NE(agent, nullptr);

  SelectProfile(0, 5, 1, 12);
  ExpectSettings(Notify(agent, agent_msg::kProfileSelected), 0, 0, 0, 12, 550);
  SelectProfile(0, 5, 3, 12);
  ExpectSettings(Notify(agent, agent_msg::kProfileSelected), 4, 0, 1, 12, 550);
  // A negative step in the files never reaches Windows: the load puts the default 5 there.
  SelectProfile(3, -20, 4, 2);
  ExpectSettings(Notify(agent, agent_msg::kProfileSelected), 2, 8, 2, 2, 550);

  // The buffer holds 130 units: 129 digits and the terminator fit, 130 digits do not.
  SetStored(L"MouseThreshold1", std::wstring(128, L'0') + L"6");
  SetStored(L"MouseThreshold2", std::wstring(129, L'0') + L"9");
  SelectProfile(3, 5, 1, 2);
  ExpectSettings(Notify(agent, agent_msg::kProfileSelected), 6, 0, 0, 2, 550);

  EXPECT_EQ(m_configurator.Count(configurator_msg::kNewsPointerSpeed), 0);
  for (int p = 0; p < kProfileCount; ++p) {
    EXPECT_EQ(FileSensitivity(p), p == 3 ? 2 : p == 0 ? 12 : 9) << p;
  }
  EXPECT_EQ(Stored(L"MouseSensitivity"), L"250");
}

}  // namespace
