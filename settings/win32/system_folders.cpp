#include "settings/win32/system_folders.h"

#include <shlobj.h>
#include <windows.h>

#include "settings/folders.h"
#include "win/text.h"

std::u16string ModuleProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return u"";
  return FolderOfModulePath(std::u16string_view(AsU16(path), length));
}

std::optional<std::u16string> DocumentsFolder() {
  wchar_t path[MAX_PATH] = {};
  // The shell creates the documents folder when it is missing.
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0, path))) {
    return std::nullopt;
  }
  return std::u16string(AsU16(path));
}

void InitProcessFolders() {
  std::u16string program = ModuleProgramFolder();
  std::u16string data = DataFolderFor(DocumentsFolder(), program);
  SetProcessFolders(std::move(program), std::move(data));
}
