#include "settings/folders.h"

#include <gtest/gtest.h>

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
