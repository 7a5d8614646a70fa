#pragma once
// A folder of files for one test program under the temporary folder; the process id in its
// name keeps programs that run side by side apart.
#include <windows.h>

#include <string>

// The folder's path, ending in '\'; empty when there is no temporary folder.
inline std::u16string TempTestFolder(const std::u16string& prefix) {
  wchar_t temp[MAX_PATH];
  if (GetTempPathW(MAX_PATH, temp) == 0) return {};
  const std::wstring id = std::to_wstring(GetCurrentProcessId());
  return reinterpret_cast<const char16_t*>(temp) + prefix + std::u16string(id.begin(), id.end()) +
         u"\\";
}

// Deletes the files in the folder, read-only ones too, then the folder.
inline void RemoveTestFolder(const std::u16string& folder) {
  const auto w = [](const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
  };
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(w(folder + u"*"), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::u16string path = folder + reinterpret_cast<const char16_t*>(found.cFileName);
      SetFileAttributesW(w(path), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(w(path));
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(w(folder));
}
