#include "settings/folders.h"

namespace {

std::u16string g_programFolder;
std::u16string g_dataFolder;

bool IsSeparator(char16_t c) {
  return c == u'\\' || c == u'/';
}

}  // namespace

std::u16string FolderOfModulePath(std::u16string_view modulePath) {
  // Drive and directory end at the last separator; a bare "C:name" keeps its drive.
  std::size_t end = 0;
  for (std::size_t i = 0; i < modulePath.size(); ++i) {
    if (IsSeparator(modulePath[i])) end = i + 1;
  }
  if (end == 0 && modulePath.size() >= 2 && modulePath[1] == u':') end = 2;
  return std::u16string(modulePath.substr(0, end));
}

std::u16string DataFolderFor(const std::optional<std::u16string>& documentsFolder,
                             const std::u16string& programFolder) {
  if (!documentsFolder) return programFolder;
  return *documentsFolder + u"\\Vireo Gaming Mouse\\";
}

void SetProcessFolders(std::u16string programFolder, std::u16string dataFolder) {
  g_programFolder = std::move(programFolder);
  g_dataFolder = std::move(dataFolder);
}

const std::u16string& ProgramFolder() {
  return g_programFolder;
}
const std::u16string& DataFolder() {
  return g_dataFolder;
}

std::u16string MacroFolderPath(const std::u16string& dataFolder) {
  return dataFolder + u"MacroDB\\";
}

std::u16string MacroLibraryPath(const std::u16string& dataFolder) {
  return dataFolder + u"MacroDB\\MacroSet.MSDB";
}

std::u16string SkinsIniPath(const std::u16string& programFolder) {
  return programFolder + u"images\\0409\\strings\\skins.ini";
}

std::u16string GeneralIniPath(const std::u16string& programFolder) {
  return programFolder + u"images\\0409\\strings\\general.ini";
}
