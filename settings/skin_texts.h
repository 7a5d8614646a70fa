#pragma once
// SkinTexts: the texts of the skin, read once and then answered from memory: "skins.ini" (every
// caption and label, by section and number) and "general.ini" (the names of the assignable
// functions). A window with a hundred captions reads each file once, not a hundred times. The
// skin is not expected to change while a program runs; Reload() reads the files again when it
// has.

#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "settings/ini_document.h"

class SkinTexts {
 public:
  // `programFolder` ends in a backslash. Nothing is read before the first lookup.
  explicit SkinTexts(std::u16string programFolder);
  SkinTexts(const SkinTexts&) = delete;
  SkinTexts& operator=(const SkinTexts&) = delete;

  // Key "<number>" of `section` in skins.ini, as GetPrivateProfileString reads it; "" when the
  // key or the file is missing.
  std::u16string Caption(std::u16string_view section, int number) const;
  // Key "<number>" of `section` in general.ini; "" when missing.
  std::u16string General(std::u16string_view section, int number) const;

  // Forgets what was read: the next lookup reads the files again.
  void Reload();

  // The texts of this process's program folder (ProgramFolder()); when that folder changes,
  // they are read from the new one.
  static SkinTexts& ForProcess();

 private:
  void UseFolder(const std::u16string& programFolder);
  std::u16string Lookup(std::optional<IniDocument>& file, const std::u16string& path,
                        std::u16string_view section, int number) const;

  mutable std::mutex m_mutex;
  std::u16string m_programFolder;
  mutable std::optional<IniDocument> m_skins;    // read at the first lookup
  mutable std::optional<IniDocument> m_general;  // read at the first lookup
};

// A caption of this process's skin: SkinTexts::ForProcess().Caption(section, number).
std::u16string SkinText(std::u16string_view section, int number);
// A text of this process's general.ini.
std::u16string GeneralText(std::u16string_view section, int number);
