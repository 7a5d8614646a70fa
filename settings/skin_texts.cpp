#include "settings/skin_texts.h"

#include <string>

#include "settings/folders.h"
#include "settings/ini_file.h"

namespace {

std::u16string Decimal(int value) {
  const std::string ascii = std::to_string(value);
  return std::u16string(ascii.begin(), ascii.end());
}

}  // namespace

SkinTexts::SkinTexts(std::u16string programFolder) : m_programFolder(std::move(programFolder)) {}

std::u16string SkinTexts::Caption(std::u16string_view section, int number) const {
  std::lock_guard lock(m_mutex);
  return Lookup(m_skins, SkinsIniPath(m_programFolder), section, number);
}

std::u16string SkinTexts::General(std::u16string_view section, int number) const {
  std::lock_guard lock(m_mutex);
  return Lookup(m_general, GeneralIniPath(m_programFolder), section, number);
}

std::u16string SkinTexts::Lookup(std::optional<IniDocument>& file, const std::u16string& path,
                                 std::u16string_view section, int number) const {
  // A missing or unreadable file is read as empty, once, like a present one.
  if (!file) file = IniFile(path).Load();
  return file->GetText(section, Decimal(number), u"");
}

void SkinTexts::Reload() {
  std::lock_guard lock(m_mutex);
  m_skins.reset();
  m_general.reset();
}

void SkinTexts::UseFolder(const std::u16string& programFolder) {
  std::lock_guard lock(m_mutex);
  if (programFolder == m_programFolder) return;
  m_programFolder = programFolder;
  m_skins.reset();
  m_general.reset();
}

SkinTexts& SkinTexts::ForProcess() {
  static SkinTexts texts{std::u16string()};
  texts.UseFolder(ProgramFolder());
  return texts;
}

std::u16string SkinText(std::u16string_view section, int number) {
  return SkinTexts::ForProcess().Caption(section, number);
}

std::u16string GeneralText(std::u16string_view section, int number) {
  return SkinTexts::ForProcess().General(section, number);
}
