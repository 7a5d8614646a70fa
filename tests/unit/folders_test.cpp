#include "settings/folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

TEST(FoldersTest, ProgramFolderIsDriveAndDirectoryOfTheModule) {
  EXPECT_EQ(FolderOfModulePath(u"C:\\Program Files\\Vireo\\hid.exe"),
            u"C:\\Program Files\\Vireo\\");
  EXPECT_EQ(FolderOfModulePath(u"C:/mixed\\sep/tuner.exe"), u"C:/mixed\\sep/");
  EXPECT_EQ(FolderOfModulePath(u"C:hid.exe"), u"C:");
  EXPECT_EQ(FolderOfModulePath(u"hid.exe"), u"");
  EXPECT_EQ(FolderOfModulePath(u"\\\\server\\share\\hid.exe"), u"\\\\server\\share\\");
}

TEST(FoldersTest, DataFolderLivesInDocumentsOrFallsBackToTheProgramFolder) {
  const std::u16string data = DataFolderFor(std::u16string(u"C:\\Users\\A\\Documents"), u"C:\\P\\");
  EXPECT_EQ(data, u"C:\\Users\\A\\Documents\\Vireo Gaming Mouse\\");
  EXPECT_EQ(data + u"QVProfile1.pfd",
            u"C:\\Users\\A\\Documents\\Vireo Gaming Mouse\\QVProfile1.pfd");
  EXPECT_EQ(DataFolderFor(std::nullopt, u"C:\\P\\"), u"C:\\P\\");
}

TEST(FoldersTest, SharedPathsAreBuiltFromTheFolders) {
  EXPECT_EQ(MacroLibraryPath(u"D:\\data\\"), u"D:\\data\\MacroDB\\MacroSet.MSDB");
  EXPECT_EQ(MacroFolderPath(u"D:\\data\\"), u"D:\\data\\MacroDB\\");
  EXPECT_EQ(SkinsIniPath(u"C:\\P\\"), u"C:\\P\\images\\0409\\strings\\skins.ini");
  EXPECT_EQ(GeneralIniPath(u"C:\\P\\"), u"C:\\P\\images\\0409\\strings\\general.ini");
}

TEST(FoldersTest, SkinTextReadsTheNumberedKeyOfItsSection) {
  namespace fs = std::filesystem;
  const fs::path program =
      fs::temp_directory_path() /
      ("vireo-skin-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::create_directories(program / "images" / "0409" / "strings");
  {
    std::ofstream ini(program / "images" / "0409" / "strings" / "skins.ini", std::ios::binary);
    ini << "[General]\r\n47=Wrong\r\n48=Apply\r\n[BEACON]\r\n1=Open settings\r\n2=Exit\r\n";
  }
  const std::string folder = program.string() + "/";
  const std::u16string programFolder(folder.begin(), folder.end());
  SetProcessFolders(programFolder, programFolder);
  EXPECT_EQ(SkinText(u"General", 48), u"Apply");
  EXPECT_EQ(SkinText(u"general", 47), u"Wrong");
  EXPECT_EQ(SkinText(u"BEACON", 2), u"Exit");
  EXPECT_EQ(SkinText(u"BEACON", 3), u"");
  EXPECT_EQ(SkinText(u"Missing", 1), u"");
  // A program folder without a skin reads every text as empty.
  SetProcessFolders(u"/nonexistent/vireo/", u"/nonexistent/vireo/");
  EXPECT_EQ(SkinText(u"General", 48), u"");
  fs::remove_all(program);
}
