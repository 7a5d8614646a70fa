#include "agent/win32/registry_key.h"

#include <cwchar>

namespace {

struct RootName {
  const wchar_t* name;
  HKEY root;
};

const RootName kRoots[] = {
    {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
    {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
};

HKEY NamedRoot(const wchar_t* name, size_t length) {
  for (const RootName& entry : kRoots) {
    if (wcslen(entry.name) == length && _wcsnicmp(entry.name, name, length) == 0) {
      return entry.root;
    }
  }
  return nullptr;
}

}  // namespace

RegistryKey::~RegistryKey() {
  Close();
}

HKEY RegistryKey::RootOf(const wchar_t* path, const wchar_t** subkey) {
  const wchar_t* slash = wcschr(path, L'\\');
  const size_t firstLength = slash ? static_cast<size_t>(slash - path) : wcslen(path);
  if (HKEY root = NamedRoot(path, firstLength)) {
    *subkey = slash ? slash + 1 : path + firstLength;
    return root;
  }
  *subkey = path;
  return HKEY_LOCAL_MACHINE;
}

bool RegistryKey::Open(const wchar_t* path, REGSAM access) {
  Close();
  if (path == nullptr) return false;
  const wchar_t* subkey = nullptr;
  m_root = RootOf(path, &subkey);
  // A path longer than the member is refused rather than cut into another key's name.
  if (wcslen(subkey) >= MAX_PATH) return false;
  wcscpy(m_subkeyPath, subkey);
  HKEY key = nullptr;
  if (RegOpenKeyExW(m_root, m_subkeyPath, 0, access, &key) != ERROR_SUCCESS) {
    key = nullptr;
    if (RegCreateKeyW(m_root, m_subkeyPath, &key) != ERROR_SUCCESS) key = nullptr;
  }
  m_key = key;
  return m_key != nullptr;
}

bool RegistryKey::ReadString(const wchar_t* valueName, wchar_t* buffer, DWORD bufferBytes) {
  if (m_key == nullptr || buffer == nullptr || bufferBytes < sizeof(wchar_t)) return false;
  DWORD type = 0;
  DWORD size = 0;
  // Ask for the size first so a long value never writes into the caller's buffer at all.
  if (RegQueryValueExW(m_key, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return false;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  const DWORD units = bufferBytes / sizeof(wchar_t);
  if (size / sizeof(wchar_t) > units) return false;
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  DWORD read = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegQueryValueExW(m_key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                       &read) != ERROR_SUCCESS) {
    return false;
  }
  size_t length = read / sizeof(wchar_t);
  while (length > 0 && text[length - 1] == L'\0') --length;
  if (length + 1 > units) return false;
  wmemcpy(buffer, text.data(), length);
  buffer[length] = L'\0';
  return true;
}

std::optional<std::wstring> RegistryKey::ReadText(const wchar_t* valueName, DWORD bufferBytes) {
  std::wstring buffer(bufferBytes / sizeof(wchar_t), L'\0');
  if (buffer.empty() || !ReadString(valueName, buffer.data(), bufferBytes)) return std::nullopt;
  buffer.resize(wcslen(buffer.c_str()));
  return buffer;
}

bool RegistryKey::WriteString(const wchar_t* valueName, const std::wstring& text) {
  if (m_key == nullptr) return false;
  return RegSetValueExW(m_key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

void RegistryKey::Close() {
  if (m_key != nullptr) {
    // Creating "" below a root hands back the root's own predefined handle, which stays open.
    if (m_key != m_root) RegCloseKey(m_key);
    m_key = nullptr;
  }
  m_subkeyPath[0] = L'\0';
}
