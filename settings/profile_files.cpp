#include "settings/profile_files.h"

#include <bit>
#include <cstdint>
#include <string_view>

#include "settings/file_io.h"
#include "settings/ini_document.h"
#include "settings/ini_file.h"

// The blocks hold the in-memory integers byte for byte; the files are little-endian.
static_assert(std::endian::native == std::endian::little);

namespace {

constexpr std::u16string_view kGroupID = u"GroupID";
constexpr std::u16string_view kLedStateInfo = u"LEDSTATE_INFO";
constexpr std::u16string_view kDpiStageValue = u"DPIStageValue";
constexpr std::u16string_view kMouseSensitivity = u"MouseSensitivity";
constexpr std::u16string_view kLedColorKeys[kLedModeCount] = {
    u"LedColor1", u"LedColor2", u"LedColor3", u"LedColor4",
    u"LedColor5", u"LedColor6", u"LedColor7", u"LedColor8"};

std::u16string Decimal(int value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string GroupSection(int profileIndex) {
  return u"GROUP" + Decimal(profileIndex);
}

// "ButtonAssigned%d_%d" in a profile file, "ButtonAssigned_%d" in an exchange file: both the
// button's section and the key of its key block.
std::u16string ButtonName(int profileIndex, int buttonNumber) {
  std::u16string name = u"ButtonAssigned";
  if (profileIndex >= 0) name += Decimal(profileIndex);
  return name + u"_" + Decimal(buttonNumber);
}

// The profile files and the exchange file share one layout; the exchange file (profile index
// -1) has a plain "GROUP" section and lacks "GroupID", "LEDSTATE_INFO" and "LoopNumber".
struct FileShape {
  explicit FileShape(int index) : profileIndex(index), profileFile(index >= 0) {}
  int profileIndex;
  bool profileFile;
  std::u16string Group() const { return profileFile ? GroupSection(profileIndex) : u"GROUP"; }
  std::u16string Button(int buttonNumber) const { return ButtonName(profileIndex, buttonNumber); }
};

void WriteLightingKeys(IniFile::Transaction& ini, const std::u16string& section,
                       const ProfileRecord& r, bool withLevels) {
  ini.SetInt(section, u"LedMode1", r.LedMode1);
  ini.SetInt(section, u"LedState1", r.LedState1);
  ini.SetInt(section, u"FlashState1", r.FlashState1);
  ini.SetInt(section, u"BreathState1", r.BreathState1);
  for (int c = 0; c < kLedModeCount; ++c) ini.SetInt(section, kLedColorKeys[c], r.LedColor[c]);
  if (withLevels) ini.SetBlock(section, kLedStateInfo, r.LedLevels, sizeof r.LedLevels);
}

void WriteRecord(IniFile::Transaction& ini, const FileShape& shape, const ProfileRecord& r,
                 int currentProfile) {
  const std::u16string group = shape.Group();
  if (shape.profileFile) ini.SetInt(group, kGroupID, currentProfile);
  ini.SetInt(group, u"Group", r.Group);
  ini.SetInt(group, u"PollingRate", r.PollingRate);
  ini.SetInt(group, u"WheelScrollLines", r.WheelScrollLines);
  ini.SetInt(group, kMouseSensitivity, r.MouseSensitivity);
  ini.SetInt(group, u"DoubleClickSpeed", r.DoubleClickSpeed);
  ini.SetInt(group, u"UniversalScrollEnabled", r.UniversalScrollEnabled);
  ini.SetInt(group, u"Acceleration", r.Acceleration);
  ini.SetInt(group, u"XYSensitivityEnabled", r.XYSensitivityEnabled);
  ini.SetInt(group, u"MouseSpeedX", r.MouseSpeedX);
  ini.SetInt(group, u"MouseSpeedY", r.MouseSpeedY);
  ini.SetInt(group, u"OFASensitivity", r.OFASensitivity);
  WriteLightingKeys(ini, group, r, shape.profileFile);
  ini.SetInt(group, u"ANGLE", r.ANGLE);
  ini.SetInt(group, u"LIFT", r.LIFT);
  ini.SetInt(group, u"DPI", r.DPI);
  ini.SetInt(group, u"DPICurrentX", r.DPICurrentX);
  ini.SetInt(group, u"DPICurrentY", r.DPICurrentY);
  ini.SetInt(group, u"DPIStageNum", r.DPIStageNum);
  ini.SetBlock(group, kDpiStageValue, r.DpiStages, sizeof r.DpiStages);

  for (int b = 1; b <= kButtonCount; ++b) {
    const ButtonAssignment& button = r.Buttons[b - 1];
    const std::u16string name = shape.Button(b);
    ini.SetInt(name, u"ButtonID", button.ButtonID);
    ini.SetInt(name, u"ButtonFunc", button.ButtonFunc);
    if (shape.profileFile) ini.SetInt(name, u"LoopNumber", button.LoopNumber);
    ini.SetInt(name, u"KeyNumber", button.KeyNumber);
    ini.SetText(name, u"MacroName", MacroNameOf(button));
    ini.SetBlock(group, name, button.KeyBlock, sizeof button.KeyBlock);
  }
}

// Only the low 8 bits are kept, so a missing key (-1) reads as 0xFF.
std::uint8_t ReadByte(const IniDocument& ini, std::u16string_view section,
                      std::u16string_view key) {
  return static_cast<std::uint8_t>(ini.GetInt(section, key, -1) & 0xFF);
}

// Cut to its field, and without white space around it. A value read keeps such white space when
// it is quoted or cut (at a NUL, or to the field), but loses it once written and read again: the
// name would change on its way through a save.
void ReadMacroName(const IniDocument& ini, std::u16string_view section, ButtonAssignment& button) {
  SetMacroName(button, ini.GetText(section, u"MacroName", u"", 4096));
  const std::u16string stored = MacroNameOf(button);
  const std::u16string_view trimmed = TrimIniBlanks(stored);
  if (trimmed.size() != stored.size()) SetMacroName(button, trimmed);
}

void ReadRecord(const IniDocument& ini, const FileShape& shape, ProfileRecord& r) {
  const std::u16string group = shape.Group();
  // A missing colour is 0 in a profile file (validation keeps it) but unset in an exchange file.
  const int missingColour = shape.profileFile ? 0 : -1;
  r.Group = ini.GetInt(group, u"Group", -1);
  r.PollingRate = ini.GetInt(group, u"PollingRate", -1);
  r.WheelScrollLines = ini.GetInt(group, u"WheelScrollLines", -1);
  r.MouseSensitivity = ini.GetInt(group, kMouseSensitivity, -1);
  r.DoubleClickSpeed = ini.GetInt(group, u"DoubleClickSpeed", -1);
  r.UniversalScrollEnabled = ini.GetInt(group, u"UniversalScrollEnabled", -1);
  r.Acceleration = ini.GetInt(group, u"acceleration", -1);
  r.XYSensitivityEnabled = ini.GetInt(group, u"XYSensitivityEnabled", -1);
  r.OFASensitivity = ini.GetInt(group, u"OFASensitivity", -1);
  r.MouseSpeedX = ini.GetInt(group, u"MouseSpeedX", -1);
  r.MouseSpeedY = ini.GetInt(group, u"MouseSpeedY", -1);
  r.LedMode1 = ini.GetInt(group, u"LedMode1", -1);
  r.LedState1 = ini.GetInt(group, u"LedState1", -1);
  r.BreathState1 = ini.GetInt(group, u"BreathState1", -1);
  r.FlashState1 = ini.GetInt(group, u"FlashState1", -1);
  for (int c = 0; c < kLedModeCount; ++c) {
    r.LedColor[c] = ini.GetInt(group, kLedColorKeys[c], missingColour);
  }
  // GetBlock leaves the buffer as it was unless the whole block is sound.
  if (shape.profileFile) ini.GetBlock(group, kLedStateInfo, r.LedLevels, sizeof r.LedLevels);
  r.ANGLE = ini.GetInt(group, u"ANGLE", -1);
  r.LIFT = ini.GetInt(group, u"LIFT", -1);
  r.DPI = ini.GetInt(group, u"DPI", -1);
  r.DPICurrentX = ini.GetInt(group, u"DPICurrentX", -1);
  r.DPICurrentY = ini.GetInt(group, u"DPICurrentY", -1);
  r.DPIStageNum = ini.GetInt(group, u"DPIStageNum", -1);
  // A damaged stage block leaves zero stages, which validation turns into the default stages.
  for (DpiStage& stage : r.DpiStages) stage = DpiStage{};
  ini.GetBlock(group, kDpiStageValue, r.DpiStages, sizeof r.DpiStages);

  for (int b = 1; b <= kButtonCount; ++b) {
    ButtonAssignment& button = r.Buttons[b - 1];
    const std::u16string name = shape.Button(b);
    button.ButtonID = ReadByte(ini, name, u"ButtonID");
    button.ButtonFunc = ReadByte(ini, name, u"ButtonFunc");
    if (shape.profileFile) button.LoopNumber = ReadByte(ini, name, u"LoopNumber");
    button.KeyNumber = ReadByte(ini, name, u"KeyNumber");
    ReadMacroName(ini, name, button);
    ini.GetBlock(group, name, button.KeyBlock, sizeof button.KeyBlock);
  }
}

}  // namespace

std::u16string ProfileFilePath(const std::u16string& dataFolder, int fileNumber) {
  return dataFolder + u"QVProfile" + Decimal(fileNumber) + u".pfd";
}

IniFile ProfileFile(const std::u16string& dataFolder, int fileNumber) {
  return IniFile(ProfileFilePath(dataFolder, fileNumber), kProfileFileMaxBytes);
}

bool SaveProfileFiles(const ProfileSet& set, const std::u16string& dataFolder) {
  // One lock for the five commits: the other program never sees or makes a mixed set.
  CommitLock lock;
  bool allWritten = true;
  for (int p = 0; p < kProfileCount; ++p) {
    IniFile file = ProfileFile(dataFolder, p + 1);
    IniFile::Transaction ini(file);
    WriteRecord(ini, FileShape(p), set.Profiles[p], set.CurrentProfile);
    allWritten = ini.Commit() && allWritten;
  }
  return allWritten;
}

void LoadProfileFiles(ProfileSet& set, const std::u16string& dataFolder) {
  for (int p = 0; p < kProfileCount; ++p) {
    const IniDocument ini = ProfileFile(dataFolder, p + 1).Load();
    set.CurrentProfile = ini.GetInt(GroupSection(p), kGroupID, -1);
    ReadRecord(ini, FileShape(p), set.Profiles[p]);
  }
}

bool SaveLightingKeys(const ProfileSet& set, const std::u16string& dataFolder) {
  CommitLock lock;
  bool allWritten = true;
  for (int p = 0; p < kProfileCount; ++p) {
    IniFile file = ProfileFile(dataFolder, p + 1);
    IniFile::Transaction ini(file);
    WriteLightingKeys(ini, GroupSection(p), set.Profiles[p], true);
    allWritten = ini.Commit() && allWritten;
  }
  return allWritten;
}

bool SaveMouseSensitivityKeys(const std::u16string& dataFolder, int value) {
  CommitLock lock;
  bool allWritten = true;
  for (int p = 0; p < kProfileCount; ++p) {
    IniFile file = ProfileFile(dataFolder, p + 1);
    IniFile::Transaction ini(file);
    ini.SetInt(GroupSection(p), kMouseSensitivity, value);
    allWritten = ini.Commit() && allWritten;
  }
  return allWritten;
}

bool ExportProfile(const std::u16string& path, const ProfileRecord& record) {
  IniFile file(path);
  IniFile::Transaction ini(file);
  WriteRecord(ini, FileShape(-1), record, 0);
  return ini.Commit();
}

bool ImportProfile(const std::u16string& path, ProfileRecord& record) {
  const IniDocument ini = IniFile(path).Load();
  const FileShape shape(-1);
  if (!ini.HasSection(shape.Group())) return false;
  ReadRecord(ini, shape, record);
  return true;
}
