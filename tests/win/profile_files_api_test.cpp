// The profile files against the real private-profile functions: what we save
// reads back through them key for key, and files written through them (as the
// earlier program wrote them) load into exactly the set they were written from.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <string>

#include "settings/profile_files.h"
#include "settings/profile_set.h"
#include "tests/unit/support/sample_profiles.h"
#include "win/text.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t));

namespace {

namespace fs = std::filesystem;

std::u16string Num(int value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

// Functions of the private-profile API over UTF-16 strings.
struct Api {
  std::u16string path;

  int Int(const std::u16string& section, const std::u16string& key) const {
    return static_cast<int>(
        GetPrivateProfileIntW(AsWide(section), AsWide(key), -12345, AsWide(path)));
  }
  std::u16string Text(const std::u16string& section, const std::u16string& key) const {
    wchar_t buffer[4096];
    GetPrivateProfileStringW(AsWide(section), AsWide(key), L"<missing>", buffer, 4096,
                             AsWide(path));
    return ToU16(buffer);
  }
  bool Block(const std::u16string& section, const std::u16string& key, void* out, UINT size) const {
    return GetPrivateProfileStructW(AsWide(section), AsWide(key), out, size, AsWide(path)) != FALSE;
  }
  void SetInt(const std::u16string& section, const std::u16string& key, int value) const {
    SetText(section, key, Num(value));
  }
  void SetText(const std::u16string& section, const std::u16string& key,
               const std::u16string& value) const {
    WritePrivateProfileStringW(AsWide(section), AsWide(key), AsWide(value), AsWide(path));
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, AsWide(path));
  }
  void SetBlock(const std::u16string& section, const std::u16string& key, const void* data,
                UINT size) const {
    WritePrivateProfileStructW(AsWide(section), AsWide(key), const_cast<void*>(data), size,
                               AsWide(path));
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, AsWide(path));
  }
};

class ProfileFilesApiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1];
    ASSERT_NE(GetTempPathW(MAX_PATH + 1, temp), 0u);
    m_folder = fs::path(temp) / (L"vireo-profile-api-" + std::to_wstring(GetCurrentProcessId()) +
                                 L"-" + std::to_wstring(counter++));
    fs::remove_all(m_folder);
    fs::create_directories(m_folder);
    m_dataFolder = ToU16(m_folder.wstring()) + u"\\";
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
  }

  Api File(int n) const { return Api{ProfileFilePath(m_dataFolder, n)}; }

  fs::path m_folder;
  std::u16string m_dataFolder;
};

const char16_t* const kColourKeys[kLedModeCount] = {u"LedColor1", u"LedColor2", u"LedColor3",
                                                    u"LedColor4", u"LedColor5", u"LedColor6",
                                                    u"LedColor7", u"LedColor8"};

TEST_F(ProfileFilesApiTest, SavedFilesReadBackThroughThePlatformFunctions) {
  const ProfileSet sample = MakeSampleProfileSet();
  ASSERT_TRUE(SaveProfileFiles(sample, m_dataFolder));

  for (int p = 0; p < kProfileCount; ++p) {
    SCOPED_TRACE(p);
    const Api api = File(p + 1);
    const ProfileRecord& r = sample.Profiles[p];
    const std::u16string group = u"GROUP" + Num(p);
    EXPECT_EQ(api.Int(group, u"GroupID"), sample.CurrentProfile);
    EXPECT_EQ(api.Int(group, u"Group"), r.Group);
    EXPECT_EQ(api.Int(group, u"PollingRate"), r.PollingRate);
    EXPECT_EQ(api.Int(group, u"WheelScrollLines"), r.WheelScrollLines);
    EXPECT_EQ(api.Int(group, u"MouseSensitivity"), r.MouseSensitivity);
    EXPECT_EQ(api.Int(group, u"DoubleClickSpeed"), r.DoubleClickSpeed);
    EXPECT_EQ(api.Int(group, u"UniversalScrollEnabled"), r.UniversalScrollEnabled);
    EXPECT_EQ(api.Int(group, u"acceleration"), r.Acceleration);
    EXPECT_EQ(api.Int(group, u"XYSensitivityEnabled"), r.XYSensitivityEnabled);
    EXPECT_EQ(api.Int(group, u"OFASensitivity"), r.OFASensitivity);
    EXPECT_EQ(api.Int(group, u"MouseSpeedX"), r.MouseSpeedX);
    EXPECT_EQ(api.Int(group, u"MouseSpeedY"), r.MouseSpeedY);
    EXPECT_EQ(api.Int(group, u"LedMode1"), r.LedMode1);
    EXPECT_EQ(api.Int(group, u"LedState1"), r.LedState1);
    EXPECT_EQ(api.Int(group, u"BreathState1"), r.BreathState1);
    EXPECT_EQ(api.Int(group, u"FlashState1"), r.FlashState1);
    for (int c = 0; c < kLedModeCount; ++c) {
      EXPECT_EQ(api.Int(group, kColourKeys[c]), r.LedColor[c]);
    }
    EXPECT_EQ(api.Int(group, u"ANGLE"), r.ANGLE);
    EXPECT_EQ(api.Int(group, u"LIFT"), r.LIFT);
    EXPECT_EQ(api.Int(group, u"DPI"), r.DPI);
    EXPECT_EQ(api.Int(group, u"DPICurrentX"), r.DPICurrentX);
    EXPECT_EQ(api.Int(group, u"DPICurrentY"), r.DPICurrentY);
    EXPECT_EQ(api.Int(group, u"DPIStageNum"), r.DPIStageNum);
    LedLevelEntry levels[kLedLevelCount] = {};
    ASSERT_TRUE(api.Block(group, u"LEDSTATE_INFO", levels, sizeof levels));
    EXPECT_EQ(std::memcmp(levels, r.LedLevels, sizeof levels), 0);
    DpiStage stages[kDpiStageCount] = {};
    ASSERT_TRUE(api.Block(group, u"DPIStageValue", stages, sizeof stages));
    EXPECT_EQ(std::memcmp(stages, r.DpiStages, sizeof stages), 0);

    for (int b = 1; b <= kButtonCount; ++b) {
      SCOPED_TRACE(b);
      const ButtonAssignment& button = r.Buttons[b - 1];
      const std::u16string name = u"ButtonAssigned" + Num(p) + u"_" + Num(b);
      EXPECT_EQ(api.Int(name, u"ButtonID"), button.ButtonID);
      EXPECT_EQ(api.Int(name, u"ButtonFunc"), button.ButtonFunc);
      EXPECT_EQ(api.Int(name, u"LoopNumber"), button.LoopNumber);
      EXPECT_EQ(api.Int(name, u"KeyNumber"), button.KeyNumber);
      EXPECT_EQ(api.Text(name, u"MacroName"), MacroNameOf(button));
      std::uint8_t block[kKeyBlockSize] = {};
      ASSERT_TRUE(api.Block(group, name, block, sizeof block));
      EXPECT_EQ(std::memcmp(block, button.KeyBlock, sizeof block), 0);
    }
  }
}

TEST_F(ProfileFilesApiTest, FilesWrittenThroughThePlatformFunctionsLoadExactly) {
  const ProfileSet sample = WithAsciiNames(MakeSampleProfileSet());
  for (int p = 0; p < kProfileCount; ++p) {
    const Api api = File(p + 1);
    const ProfileRecord& r = sample.Profiles[p];
    const std::u16string group = u"GROUP" + Num(p);
    api.SetInt(group, u"GroupID", sample.CurrentProfile);
    api.SetInt(group, u"Group", r.Group);
    api.SetInt(group, u"PollingRate", r.PollingRate);
    api.SetInt(group, u"WheelScrollLines", r.WheelScrollLines);
    api.SetInt(group, u"MouseSensitivity", r.MouseSensitivity);
    api.SetInt(group, u"DoubleClickSpeed", r.DoubleClickSpeed);
    api.SetInt(group, u"UniversalScrollEnabled", r.UniversalScrollEnabled);
    api.SetInt(group, u"Acceleration", r.Acceleration);
    api.SetInt(group, u"XYSensitivityEnabled", r.XYSensitivityEnabled);
    api.SetInt(group, u"MouseSpeedX", r.MouseSpeedX);
    api.SetInt(group, u"MouseSpeedY", r.MouseSpeedY);
    api.SetInt(group, u"OFASensitivity", r.OFASensitivity);
    api.SetInt(group, u"LedMode1", r.LedMode1);
    api.SetInt(group, u"LedState1", r.LedState1);
    api.SetInt(group, u"FlashState1", r.FlashState1);
    api.SetInt(group, u"BreathState1", r.BreathState1);
    for (int c = 0; c < kLedModeCount; ++c) api.SetInt(group, kColourKeys[c], r.LedColor[c]);
    api.SetBlock(group, u"LEDSTATE_INFO", r.LedLevels, sizeof r.LedLevels);
    api.SetInt(group, u"ANGLE", r.ANGLE);
    api.SetInt(group, u"LIFT", r.LIFT);
    api.SetInt(group, u"DPI", r.DPI);
    api.SetInt(group, u"DPICurrentX", r.DPICurrentX);
    api.SetInt(group, u"DPICurrentY", r.DPICurrentY);
    api.SetInt(group, u"DPIStageNum", r.DPIStageNum);
    api.SetBlock(group, u"DPIStageValue", r.DpiStages, sizeof r.DpiStages);
    for (int b = 1; b <= kButtonCount; ++b) {
      const ButtonAssignment& button = r.Buttons[b - 1];
      const std::u16string name = u"ButtonAssigned" + Num(p) + u"_" + Num(b);
      api.SetInt(name, u"ButtonID", button.ButtonID);
      api.SetInt(name, u"ButtonFunc", button.ButtonFunc);
      api.SetInt(name, u"LoopNumber", button.LoopNumber);
      api.SetInt(name, u"KeyNumber", button.KeyNumber);
      api.SetText(name, u"MacroName", MacroNameOf(button));
      api.SetBlock(group, name, button.KeyBlock, sizeof button.KeyBlock);
    }
  }

  ProfileSet loaded;
  ResetProfileSet(loaded);
  LoadProfileFiles(loaded, m_dataFolder);
  ProfileSet validated;
  ValidateProfileSet(validated, loaded);
  EXPECT_EQ(std::memcmp(&validated, &sample, sizeof sample), 0);

  // And our save of the same set over them changes no value the platform reads.
  ASSERT_TRUE(SaveProfileFiles(sample, m_dataFolder));
  EXPECT_EQ(File(3).Int(u"GROUP2", u"PollingRate"), sample.Profiles[2].PollingRate);
  EXPECT_EQ(File(3).Text(u"ButtonAssigned2_10", u"MacroName"),
            MacroNameOf(sample.Profiles[2].Buttons[9]));
}

}  // namespace
