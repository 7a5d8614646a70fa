// Stands in for a program the agent starts through the shell (a browser, a mail client): it
// notes its own path and command line as one line in the file named by VIREO_STAND_IN_LOG, or
// in "stand-in-started.log" beside itself, and ends.
#include <windows.h>

#include <string>

namespace {

std::wstring OwnPath() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length < path.size() ? length : 0);
  return path;
}

std::wstring LogPath(const std::wstring& ownPath) {
  wchar_t named[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"VIREO_STAND_IN_LOG", named, MAX_PATH);
  if (length > 0 && length < MAX_PATH) return named;
  const size_t slash = ownPath.rfind(L'\\');
  if (slash == std::wstring::npos) return {};
  return ownPath.substr(0, slash + 1) + L"stand-in-started.log";
}

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(size > 0 ? size : 0, '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
  }
  return bytes;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::wstring own = OwnPath();
  const std::wstring log = LogPath(own);
  if (own.empty() || log.empty()) return 1;
  // "<own path>|<command line>"
  const std::string line = Utf8(own) + "|" + Utf8(GetCommandLineW()) + "\n";
  HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
