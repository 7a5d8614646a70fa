// The English skin's text files: every caption and function name that the two programs look up
// must be there, readable by our INI engine exactly as the Windows profile functions read it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "settings/ini_document.h"

namespace {

const std::filesystem::path kStrings = std::filesystem::path(VIREO_SKIN_DIR) / "strings";

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  std::string bytes(std::size_t(in.tellg()), '\0');
  in.seekg(0);
  in.read(bytes.data(), std::streamsize(bytes.size()));
  return bytes;
}

std::u16string Key(int number) {
  const std::string digits = std::to_string(number);
  return std::u16string(digits.begin(), digits.end());
}

std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out.push_back(c < 0x80 ? char(c) : '?');
  return out;
}

struct KeyRange {
  std::u16string section;
  std::vector<int> numbers;
};

std::vector<int> Numbers(int first, int last) {
  std::vector<int> out;
  for (int n = first; n <= last; ++n) out.push_back(n);
  return out;
}

// The keys of skins.ini that the windows, dialogs and the agent's tray menu read.
std::vector<KeyRange> CaptionKeys() {
  return {
      {u"General", Numbers(1, 91)},     {u"MACRO", Numbers(1, 30)},
      {u"WARNING", Numbers(1, 13)},     {u"SINGLEKEY", {1, 3, 4, 5, 6, 7}},
      {u"FireKey", {1, 2, 3, 4, 7, 8}}, {u"BEACON", Numbers(1, 4)},
  };
}

// Where the configurator finds the name of a function code in general.ini.
std::pair<std::u16string, int> CatalogueKey(int code) {
  if (code <= 16 || code == 100) return {u"FUNCTION_STRING", code};
  if (code <= 24) return {u"BASIC", code - 16};
  if (code <= 38) return {u"ADVANCED", code - 24};
  if (code <= 46) return {u"MEDIA", code - 38};
  if (code <= 49) return {u"DPI", code - 46};
  if (code <= 51) return {u"RATE", code - 49};
  return {u"SCROLL", code - 51};
}

class SkinTextFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    skinsBytes_ = ReadBytes(kStrings / "skins.ini");
    generalBytes_ = ReadBytes(kStrings / "general.ini");
  }

  static std::string skinsBytes_;
  static std::string generalBytes_;
};

std::string SkinTextFiles::skinsBytes_;
std::string SkinTextFiles::generalBytes_;

TEST_F(SkinTextFiles, BothFilesAreUtf16WithAByteOrderMark) {
  for (const std::string* bytes : {&skinsBytes_, &generalBytes_}) {
    ASSERT_GE(bytes->size(), 2u) << "a text file is missing or empty";
    EXPECT_EQ(bytes->substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(IniDocument::Parse(*bytes).Encoding(), IniEncoding::Utf16Le);
  }
}

TEST_F(SkinTextFiles, EveryCaptionTheProgramsReadHasAText) {
  const IniDocument skins = IniDocument::Parse(skinsBytes_);
  for (const KeyRange& range : CaptionKeys()) {
    for (int number : range.numbers) {
      EXPECT_FALSE(skins.GetText(range.section, Key(number), u"").empty())
          << "skins.ini [" << Narrow(range.section) << "] " << number;
    }
  }
}

TEST_F(SkinTextFiles, EveryFunctionOfTheMenusHasAName) {
  const IniDocument general = IniDocument::Parse(generalBytes_);
  // Codes 1-16 and 100 on the top level, 17-46 in the basic, advanced and media submenus, 47-51
  // in the DPI and polling-rate submenus, 52-54 for the scroll functions.
  std::vector<int> codes = Numbers(1, 54);
  codes.push_back(100);
  for (int code : codes) {
    const auto [section, key] = CatalogueKey(code);
    EXPECT_FALSE(general.GetText(section, Key(key), u"").empty())
        << "general.ini [" << Narrow(section) << "] " << key << " (function " << code << ")";
  }
  EXPECT_FALSE(general.GetText(u"MACRO", u"1", u"").empty()) << "the macro editor's menu item";
}

TEST_F(SkinTextFiles, TextsReadBackAsWrittenWithoutQuotesOrPadding) {
  // A value with surrounding quotes or spaces would be shown altered; a second definition of a
  // key would be ignored, as the first match wins.
  for (const std::string* bytes : {&skinsBytes_, &generalBytes_}) {
    const IniDocument doc = IniDocument::Parse(*bytes);
    std::u16string section;
    std::vector<std::u16string> seen;
    const std::u16string text = [&] {
      std::u16string out;
      for (std::size_t i = 2; i + 1 < bytes->size(); i += 2)
        out.push_back(char16_t(std::uint8_t((*bytes)[i]) | std::uint8_t((*bytes)[i + 1]) << 8));
      return out;
    }();
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find(u"\r\n", start);
      if (end == std::u16string::npos) end = text.size();
      const std::u16string line = text.substr(start, end - start);
      start = end + 2;
      if (line.empty()) continue;
      if (line.front() == u'[') {
        ASSERT_EQ(line.back(), u']') << Narrow(line);
        section = line.substr(1, line.size() - 2);
        continue;
      }
      const std::size_t eq = line.find(u'=');
      ASSERT_NE(eq, std::u16string::npos) << Narrow(line);
      const std::u16string key = line.substr(0, eq);
      const std::u16string value = line.substr(eq + 1);
      const std::u16string id = section + u"/" + key;
      EXPECT_EQ(std::count(seen.begin(), seen.end(), id), 0) << "twice: " << Narrow(id);
      seen.push_back(id);
      EXPECT_EQ(doc.GetText(section, key, u""), value) << Narrow(id);
    }
    EXPECT_FALSE(seen.empty());
  }
}

}  // namespace
