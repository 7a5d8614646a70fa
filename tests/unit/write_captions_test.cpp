#include "configurator/write_captions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "configurator/catalogue_text.h"
#include "settings/ini_file.h"
#include "settings/keyboard_layout.h"
#include "settings/macro_library.h"
#include "settings/skin_texts.h"
#include "settings/utf8.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

// Types lower-case letters for the letter keys, nothing for the others.
class LetterLayout : public KeyboardLayout {
 public:
  char16_t CharacterOf(unsigned vk) const override {
    return vk >= 'A' && vk <= 'Z' ? static_cast<char16_t>(vk - 'A' + 'a') : 0;
  }
};

// A general.ini whose every name says where it stands, e.g. "BASIC 3".
std::string GeneralIni() {
  std::string text;
  const std::pair<const char*, int> sections[] = {{"FUNCTION_STRING", 100},
                                                  {"BASIC", 8},
                                                  {"ADVANCED", 14},
                                                  {"MEDIA", 8},
                                                  {"DPI", 3},
                                                  {"RATE", 2},
                                                  {"SCROLL", 60}};
  for (const auto& [section, count] : sections) {
    text += std::string("[") + section + "]\r\n";
    for (int key = 1; key <= count; ++key) {
      text += std::to_string(key) + "=" + section + " " + std::to_string(key) + "\r\n";
    }
  }
  return text;
}

class WriteCaptionsTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(m_root / "images" / "0409" / "strings");
    std::ofstream(m_root / "images" / "0409" / "strings" / "general.ini", std::ios::binary)
        << GeneralIni();
    // Macros in slots 0 and 2; slot 1 was freed.
    fs::create_directories(m_root / "MacroDB");
    IniFile index(Utf8ToUtf16((m_root / "MacroDB" / "MacroSet.MSDB").string()));
    index.SetText(u"MACRO_LIST", u"0", u"Reload");
    index.SetText(u"MACRO_LIST", u"2", u"Quick chat");
  }
  void TearDown() override { fs::remove_all(m_root); }

  std::u16string Folder() const { return Utf8ToUtf16(m_root.string()) + u"/"; }

  // The caption of one assignment and what it left in the assignment.
  std::u16string Caption(ButtonAssignment& button) {
    return AssignmentCaption(button, {m_texts, m_macros, m_layout});
  }
  static ButtonAssignment Assigned(std::uint8_t code, std::uint8_t keyNumber = 0) {
    ButtonAssignment button{};
    button.ButtonFunc = code;
    button.KeyNumber = keyNumber;
    return button;
  }

  fs::path m_root = NewScratchFolder("captions");
  SkinTexts m_texts{Folder()};
  MacroLibrary m_macros{Folder()};
  LetterLayout m_layout;
};

TEST_F(WriteCaptionsTest, EachCodeIsNamedFromItsSectionOfTheCatalogue) {
  const std::pair<int, const char16_t*> names[] = {{1, u"FUNCTION_STRING 1"},
                                                   {16, u"FUNCTION_STRING 16"},
                                                   {17, u"BASIC 1"},
                                                   {24, u"BASIC 8"},
                                                   {25, u"ADVANCED 1"},
                                                   {38, u"ADVANCED 14"},
                                                   {39, u"MEDIA 1"},
                                                   {46, u"MEDIA 8"},
                                                   {47, u"DPI 1"},
                                                   {49, u"DPI 3"},
                                                   {50, u"RATE 1"},
                                                   {51, u"RATE 2"},
                                                   {52, u"SCROLL 1"},
                                                   {99, u"SCROLL 48"},
                                                   {100, u"FUNCTION_STRING 100"},
                                                   {101, u"SCROLL 50"},
                                                   {0, u""},
                                                   {-1, u""}};
  for (const auto& [code, name] : names) {
    EXPECT_EQ(CatalogueText(code, m_texts), name) << code;
  }
}

TEST_F(WriteCaptionsTest, EveryKindOfAssignmentHasItsCaption) {
  // Mouse buttons, rapid fire, the mouse's own function and the functions up to 54: by name.
  for (const auto& [code, name] : {std::pair<int, const char16_t*>{3, u"FUNCTION_STRING 3"},
                                   {12, u"FUNCTION_STRING 12"},
                                   {14, u"FUNCTION_STRING 14"},
                                   {45, u"MEDIA 7"},
                                   {54, u"SCROLL 3"}}) {
    ButtonAssignment button = Assigned(static_cast<std::uint8_t>(code));
    EXPECT_EQ(Caption(button), name) << code;
  }
  // Submenu codes never stand in a record; codes past the catalogue name nothing.
  for (const int code : {8, 9, 10, 11, 13, 15, 55, 99, 0xFF}) {
    ButtonAssignment button = Assigned(static_cast<std::uint8_t>(code));
    EXPECT_EQ(Caption(button), u"") << code;
    EXPECT_EQ(button.ButtonFunc, code);
  }

  // A single key by its short name: from the table, from the layout, or just "key".
  ButtonAssignment key = Assigned(kFunctionSingleKey);
  key.KeyBlock[0] = 0x3E;  // F5
  EXPECT_EQ(Caption(key), u"F5");
  key.KeyBlock[0] = 0x04;  // A
  EXPECT_EQ(Caption(key), u"A");
  key.KeyBlock[0] = 0x00;  // no key
  EXPECT_EQ(Caption(key), u"key");

  // A combination by its steps (KeyNumber counts them): Ctrl + C pressed and released.
  ButtonAssignment combination = Assigned(kFunctionKeyCombination, 4);
  const std::uint8_t steps[] = {0xE0, 5, 0x80, 0x06, 5, 0x80, 0x06, 5, 0, 0xE0, 5, 0};
  std::copy(std::begin(steps), std::end(steps), combination.KeyBlock);
  EXPECT_EQ(Caption(combination), u"Ctrl + C");
  // With fewer than four steps it is one key, named by its first step.
  combination.KeyNumber = 2;
  EXPECT_EQ(Caption(combination), u"Ctrl");
}

TEST_F(WriteCaptionsTest, AMacroIsNamedByItsLibrarySlotAndAnEmptySlotMeansNoFunction) {
  ProfileSet set{};
  ResetProfileSet(set);
  ValidateProfileSet(set, set);
  ProfileRecord& record = set.Profiles[0];
  record.Buttons[3] = Assigned(kFunctionMacro, 2);
  record.Buttons[4] = Assigned(kFunctionMacro, 1);   // its macro was deleted
  record.Buttons[5] = Assigned(kFunctionMacro, 15);  // no library slot
  record.Buttons[6] = Assigned(kFunctionMacro, 0);
  SetMacroName(record.Buttons[6], u"an old name");

  const AssignmentCaptions captions = WriteCaptions(record, {m_texts, m_macros, m_layout});
  EXPECT_EQ(captions[0], u"FUNCTION_STRING 1");
  EXPECT_EQ(captions[3], u"Quick chat");
  EXPECT_EQ(record.Buttons[3].ButtonFunc, kFunctionMacro);
  EXPECT_EQ(MacroNameOf(record.Buttons[3]), u"Quick chat");
  EXPECT_EQ(captions[6], u"Reload");
  EXPECT_EQ(MacroNameOf(record.Buttons[6]), u"Reload");
  for (const int b : {4, 5}) {
    EXPECT_EQ(captions[b], u"FUNCTION_STRING 16") << b;
    EXPECT_EQ(record.Buttons[b].ButtonFunc, kFunctionNone) << b;
  }
  EXPECT_EQ(captions[9], u"SCROLL 2");
}

}  // namespace
