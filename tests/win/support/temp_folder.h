#pragma once
// A folder of files for one test program under the temporary folder; the process id in its
// name keeps programs that run side by side apart.
#include <windows.h>

#include <string>

#include "win/text.h"

// The folder's path, ending in '\'; empty when there is no temporary folder.
inline std::u16string TempTestFolder(const std::u16string& prefix) {
  wchar_t temp[MAX_PATH];
  if (GetTempPathW(MAX_PATH, temp) == 0) return {};
  const std::wstring id = std::to_wstring(GetCurrentProcessId());
  return AsU16(temp) + prefix + std::u16string(id.begin(), id.end()) + u"\\";
}

// Deletes the folder with everything in it, read-only files and subfolders too.
inline void RemoveTestFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTestFolder(path + L"\\");
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

inline void RemoveTestFolder(const std::u16string& folder) {
  RemoveTestFolder(std::wstring(folder.begin(), folder.end()));
}
