#include "support/process_harness.h"

#include <shlobj.h>

#include "support/temp_folder.h"

namespace harness {

namespace {

constexpr wchar_t kUserShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr wchar_t kShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

bool ReadValue(const wchar_t* key, std::wstring& value) {
  wchar_t buffer[1024];
  DWORD size = sizeof(buffer);
  if (RegGetValueW(HKEY_CURRENT_USER, key, L"Personal",
                   RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, buffer,
                   &size) != ERROR_SUCCESS) {
    return false;
  }
  value = buffer;
  return true;
}

void WriteValue(const wchar_t* key, const std::wstring& value, DWORD type) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExW(handle, L"Personal", 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
}

}  // namespace

std::wstring BinFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

TempFolder::TempFolder(const wchar_t* prefix) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  static LONG counter = 0;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::wstring candidate = std::wstring(temp) + prefix + L"-" +
                             std::to_wstring(GetCurrentProcessId()) + L"-" +
                             std::to_wstring(InterlockedIncrement(&counter)) + L"-" +
                             std::to_wstring(GetTickCount()) + L"\\";
    if (CreateDirectoryW(candidate.c_str(), nullptr)) {
      m_path = candidate;
      return;
    }
  }
}

TempFolder::~TempFolder() {
  if (!m_path.empty()) RemoveTestFolder(m_path);
}

DocumentsOverride::DocumentsOverride(const std::wstring& folder) {
  m_hadUser = ReadValue(kUserShellFolders, m_oldUser);
  m_hadShell = ReadValue(kShellFolders, m_oldShell);
  std::wstring value = folder;
  if (!value.empty() && value.back() == L'\\') value.pop_back();
  WriteValue(kUserShellFolders, value, REG_EXPAND_SZ);
  WriteValue(kShellFolders, value, REG_SZ);
}

DocumentsOverride::~DocumentsOverride() {
  if (m_hadUser) WriteValue(kUserShellFolders, m_oldUser, REG_EXPAND_SZ);
  if (m_hadShell) WriteValue(kShellFolders, m_oldShell, REG_SZ);
}

Process::Process(const std::wstring& exe, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\') + 1);
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &m_info)) {
    m_info = {};
  }
}

Process::~Process() {
  if (m_info.hProcess != nullptr) {
    if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(m_info.hProcess, 99);
      WaitForSingleObject(m_info.hProcess, 5000);
    }
    CloseHandle(m_info.hProcess);
    CloseHandle(m_info.hThread);
  }
}

bool Process::WaitExit(DWORD milliseconds, DWORD* exitCode) {
  if (m_info.hProcess == nullptr) return false;
  if (WaitForSingleObject(m_info.hProcess, milliseconds) != WAIT_OBJECT_0) return false;
  if (exitCode != nullptr) GetExitCodeProcess(m_info.hProcess, exitCode);
  return true;
}

bool Process::Running() {
  return m_info.hProcess != nullptr && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

void PumpMessages(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (GetTickCount() - start < milliseconds);
}

HWND WaitForWindow(const wchar_t* title, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND window = FindWindowW(nullptr, title)) return window;
    if (GetTickCount() - start >= milliseconds) return nullptr;
    PumpMessages(20);
  }
}

ChildCounter::ChildCounter() : m_job(CreateJobObjectW(nullptr, nullptr)) {
  m_assigned = m_job != nullptr && AssignProcessToJobObject(m_job, GetCurrentProcess());
}

// The process stays in the job; the handle only lets it be asked.
ChildCounter::~ChildCounter() {
  if (m_job != nullptr) CloseHandle(m_job);
}

long ChildCounter::Started() const {
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
  if (!QueryInformationJobObject(m_job, JobObjectBasicAccountingInformation, &info, sizeof info,
                                 nullptr)) {
    return -1;
  }
  return static_cast<long>(info.TotalProcesses);
}

HWND WaitForReadyWindow(const wchar_t* title, DWORD milliseconds) {
  HWND window = WaitForWindow(title, milliseconds);
  if (window == nullptr) return nullptr;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, milliseconds, &result)) {
    return nullptr;
  }
  return window;
}

bool WaitForNoWindow(const wchar_t* title, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (FindWindowW(nullptr, title) == nullptr) return true;
    if (GetTickCount() - start >= milliseconds) return false;
    PumpMessages(20);
  }
}

int CountWindows(const wchar_t* title) {
  int count = 0;
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, nullptr, title)) != nullptr) ++count;
  return count;
}

bool WaitForFile(const std::wstring& path, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    if (GetTickCount() - start >= milliseconds) return false;
    Sleep(20);
  }
}

namespace {

void AddFilesBelow(const std::wstring& root, const std::wstring& relative,
                   std::vector<std::wstring>& found) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((root + relative + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      AddFilesBelow(root, relative + name + L"\\", found);
    } else {
      found.push_back(relative + name);
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

}  // namespace

std::vector<std::wstring> FilesBelow(const std::wstring& root) {
  std::vector<std::wstring> found;
  AddFilesBelow(root, L"", found);
  return found;
}

std::string ReadFileBytes(const std::wstring& path) {
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  CloseHandle(file);
  return bytes;
}

bool CopyInto(const std::wstring& file, const std::wstring& folder, const wchar_t* newName) {
  std::wstring name = newName ? std::wstring(newName) : file.substr(file.find_last_of(L'\\') + 1);
  return CopyFileW(file.c_str(), (folder + name).c_str(), FALSE) != FALSE;
}

bool InstallAgent(const std::wstring& folder) {
  bool ok = CopyInto(BinFolder() + L"hid.exe", folder) &&
            CopyInto(BinFolder() + L"stand_in_tuner.exe", folder, L"tuner.exe");
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((BinFolder() + L"*.dll").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;  // not even Conduit.dll
  do ok = CopyInto(BinFolder() + data.cFileName, folder) && ok;
  while (FindNextFileW(find, &data));
  FindClose(find);
  return ok;
}

bool InstallConfigurator(const std::wstring& folder) {
  bool ok = CopyInto(BinFolder() + L"tuner.exe", folder);
  CreateDirectoryW((folder + L"images").c_str(), nullptr);
  CreateDirectoryW((folder + L"images\\0409").c_str(), nullptr);
  for (const wchar_t* part : {L"background\\", L"buttons\\", L"controls\\", L"strings\\"}) {
    const std::wstring relative = std::wstring(L"images\\0409\\") + part;
    CreateDirectoryW((folder + relative).c_str(), nullptr);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((BinFolder() + relative + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ok = CopyInto(BinFolder() + relative + data.cFileName, folder + relative) && ok;
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  return ok;
}

int StandInTunerStarts(const std::wstring& folder) {
  // The stand-in notes each start in a line of its log.
  const std::string log = ReadFileBytes(folder + L"tuner-started.log");
  int count = 0;
  for (std::size_t at = log.find("started"); at != std::string::npos;
       at = log.find("started", at + 1)) {
    ++count;
  }
  return count;
}

bool InstallSkinFiles(const std::wstring& folder, const std::wstring& skinFolder,
                      std::initializer_list<const wchar_t*> files) {
  const std::wstring relative = L"images\\0409\\" + skinFolder;
  // Each level of the path, so that a fresh folder gets all of them.
  for (std::size_t at = relative.find(L'\\'); at != std::wstring::npos;
       at = relative.find(L'\\', at + 1)) {
    CreateDirectoryW((folder + relative.substr(0, at)).c_str(), nullptr);
  }
  bool ok = true;
  for (const wchar_t* file : files) {
    ok = CopyInto(BinFolder() + relative + file, folder + relative) && ok;
  }
  return ok;
}

bool InstallProgressPictures(const std::wstring& folder) {
  return InstallSkinFiles(folder, L"controls\\",
                          {L"updatebar_Mask.BMP", L"updatebar_n.jpg", L"updatebar_o.jpg"});
}

}  // namespace harness
