#include "settings/skin_texts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "settings/folders.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

class SkinTextsTest : public testing::Test {
 protected:
  void SetUp() override {
    m_program = NewScratchFolder("skin");
    fs::create_directories(m_program / "images" / "0409" / "strings");
  }
  void TearDown() override { fs::remove_all(m_program); }

  void Write(const char* file, const std::string& text) {
    std::ofstream(m_program / "images" / "0409" / "strings" / file, std::ios::binary) << text;
  }
  std::u16string ProgramFolder() const {
    const std::string folder = m_program.string() + "/";
    return std::u16string(folder.begin(), folder.end());
  }

  fs::path m_program;
};

TEST_F(SkinTextsTest, SkinTextReadsTheNumberedKeyOfItsSection) {
  Write("skins.ini",
        "[General]\r\n47=Wrong\r\n48=Apply\r\n[BEACON]\r\n1=Open settings\r\n2=Exit\r\n");
  SetProcessFolders(ProgramFolder(), ProgramFolder());
  EXPECT_EQ(SkinText(u"General", 48), u"Apply");
  EXPECT_EQ(SkinText(u"general", 47), u"Wrong");
  EXPECT_EQ(SkinText(u"BEACON", 2), u"Exit");
  EXPECT_EQ(SkinText(u"BEACON", 3), u"");
  EXPECT_EQ(SkinText(u"Missing", 1), u"");
  // A program folder without a skin reads every text as empty.
  SetProcessFolders(u"/nonexistent/vireo/", u"/nonexistent/vireo/");
  EXPECT_EQ(SkinText(u"General", 48), u"");
}

// Both files are read at the first lookup of each and never again until Reload: a file changed
// or removed meanwhile still gives the texts that were read.
TEST_F(SkinTextsTest, EachFileIsReadOnceUntilReloaded) {
  Write("skins.ini", "[General]\r\n48=Apply\r\n");
  Write("general.ini", "[BASIC]\r\n1=Cut\r\n");
  SkinTexts texts(ProgramFolder());
  EXPECT_EQ(texts.Caption(u"General", 48), u"Apply");
  EXPECT_EQ(texts.General(u"BASIC", 1), u"Cut");

  Write("skins.ini", "[General]\r\n48=Changed\r\n");
  fs::remove(m_program / "images" / "0409" / "strings" / "general.ini");
  EXPECT_EQ(texts.Caption(u"General", 48), u"Apply");
  EXPECT_EQ(texts.General(u"BASIC", 1), u"Cut");

  texts.Reload();
  EXPECT_EQ(texts.Caption(u"General", 48), u"Changed");
  EXPECT_EQ(texts.General(u"BASIC", 1), u"");
}

}  // namespace
