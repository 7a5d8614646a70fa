#pragma once
// A registry key opened from one path string such as "HKEY_CURRENT_USER\Control Panel\Mouse".
// Open falls back to creating the key; the owner calls Close when done (the destructor closes
// as well, so a forgotten Close leaks nothing).

#include <windows.h>

#include <optional>
#include <string>

class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey();
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  bool Open(const wchar_t* path, REGSAM access);
  // Reads a string value ("" names the default value) into buffer of bufferBytes bytes. A
  // value that does not fit, or that is not a string, counts as a failed read; on failure the
  // buffer is left as it was. On success the text is always terminated.
  bool ReadString(const wchar_t* valueName, wchar_t* buffer, DWORD bufferBytes);
  // The same read into a buffer of bufferBytes bytes of our own: the text, or nullopt when the
  // read failed.
  std::optional<std::wstring> ReadText(const wchar_t* valueName, DWORD bufferBytes);
  bool WriteString(const wchar_t* valueName, const std::wstring& text);
  void Close();

  HKEY Handle() const { return m_key; }
  HKEY Root() const { return m_root; }
  const wchar_t* SubkeyPath() const { return m_subkeyPath; }

  // The root a path's first part names: one of the four root names (any case), or, for any
  // other first part, HKEY_LOCAL_MACHINE with the whole path as the subkey. A path without a
  // backslash that is a root name opens that root itself.
  static HKEY RootOf(const wchar_t* path, const wchar_t** subkey);

 private:
  HKEY m_key = nullptr;
  HKEY m_root = nullptr;
  wchar_t m_subkeyPath[MAX_PATH] = {};
};
