#pragma once
// The two folders every file of both programs is found in: the program folder (programs,
// libraries, skin) and the per-user data folder (profiles, macros). Both end in a backslash.

#include <optional>
#include <string>
#include <string_view>

// The folder part (drive and directory) of a module path, as splitting the path into drive,
// directory, name and extension and rejoining the first two yields.
std::u16string FolderOfModulePath(std::u16string_view modulePath);

// "<documents>\Vireo Gaming Mouse\" when the documents folder is known, else the program folder.
std::u16string DataFolderFor(const std::optional<std::u16string>& documentsFolder,
                             const std::u16string& programFolder);

// The folders of this process, set once at start (the Win32 side finds them through the shell).
void SetProcessFolders(std::u16string programFolder, std::u16string dataFolder);
const std::u16string& ProgramFolder();
const std::u16string& DataFolder();

// Paths the programs share.
std::u16string MacroFolderPath(const std::u16string& dataFolder);   // "%sMacroDB\\"
std::u16string MacroLibraryPath(const std::u16string& dataFolder);  // "%sMacroDB\\MacroSet.MSDB"
std::u16string SkinsIniPath(const std::u16string& programFolder);   // images\0409\strings\skins.ini
std::u16string GeneralIniPath(
    const std::u16string& programFolder);  // images\0409\strings\general.ini
