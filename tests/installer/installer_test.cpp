// The installer for real, in a Wine prefix of its own (scripts/wine-fresh-prefix.sh): a silent
// install lays out the program folder as the build made it, with the shortcut, the log-on entry
// and the uninstall registration, and starts the installed agent; an install over the running
// agent replaces it and leaves the user's files alone; a silent uninstall removes all of it but
// the user's files. Then the same for one user only.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

#include <map>
#include <string>

#include "contract/program_names.h"
#include "contract/window_messages.h"
#include "support/process_harness.h"
#include "win/text.h"
#include "win/unique_handle.h"

namespace {

constexpr wchar_t kProduct[] = VIREO_PRODUCT_NAME;
constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" VIREO_PRODUCT_NAME;
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// What the program folder holds besides the skin; each is the build's own file.
const wchar_t* const kModules[] = {L"hid.exe", L"tuner.exe", L"beacon.exe", L"Conduit.dll",
                                   L"Snare.dll"};

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = std::wstring(path) + L"\\";
  CoTaskMemFree(path);
  return folder;
}

std::wstring SetupProgram() {
  return harness::BinFolder() + L"..\\" VIREO_SETUP_NAME;
}

// The text of a registry value, or "(none)".
std::wstring RegistryText(HKEY root, const wchar_t* key, const wchar_t* name) {
  wchar_t value[1024];
  DWORD size = sizeof(value);
  if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    return L"(none)";
  }
  return value;
}

bool KeyExists(HKEY root, const wchar_t* key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every file below `root`: relative path -> content.
using Files = std::map<std::wstring, std::string>;
Files ReadTree(const std::wstring& root) {
  Files files;
  for (const std::wstring& relative : harness::FilesBelow(root)) {
    files[relative] = harness::ReadFileBytes(root + relative);
  }
  return files;
}

// Names the files that differ, so a failure does not print their bytes.
void ExpectSameFiles(const Files& expected, const Files& actual) {
  for (const auto& [name, bytes] : expected) {
    const auto found = actual.find(name);
    EXPECT_TRUE(found != actual.end() && found->second == bytes) << name;
  }
  EXPECT_EQ(actual.size(), expected.size());
}

DWORD RunProgram(const std::wstring& exe, const std::wstring& arguments) {
  harness::Process process(exe, arguments);
  DWORD code = 999;
  EXPECT_TRUE(process.WaitExit(120000, &code)) << exe << " did not end";
  return code;
}

// Runs a command line as registered, e.g. "C:\...\uninstall.exe" /AllUsers /S.
DWORD RunCommandLine(const std::wstring& commandLine) {
  const std::size_t end = commandLine.find(L'"', 1);
  if (commandLine.empty() || commandLine[0] != L'"' || end == std::wstring::npos) return 999;
  return RunProgram(commandLine.substr(1, end - 1), commandLine.substr(end + 1));
}

std::wstring ImageOf(DWORD processId) {
  wchar_t path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  if (HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId)) {
    if (!QueryFullProcessImageNameW(process, 0, path, &size)) path[0] = 0;
    CloseHandle(process);
  }
  return path;
}

// The process of the window with the title, once the window is ready; 0 when none comes.
DWORD ProcessOfWindow(const char16_t* title, DWORD milliseconds) {
  HWND window = harness::WaitForReadyWindow(AsWide(title), milliseconds);
  DWORD processId = 0;
  if (window != nullptr) GetWindowThreadProcessId(window, &processId);
  return processId;
}

DWORD AgentProcess() { return ProcessOfWindow(program_names::kAgentWindowTitle, 20000); }

// A running process held open, to see later whether it ended.
UniqueKernelHandle Watch(DWORD processId) {
  return UniqueKernelHandle(OpenProcess(SYNCHRONIZE, FALSE, processId));
}

bool Ended(const UniqueKernelHandle& process) {
  return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
}

std::wstring ShortcutTarget(const std::wstring& link) {
  wchar_t target[MAX_PATH] = {};
  IShellLinkW* shellLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&shellLink)))) {
    return {};
  }
  IPersistFile* file = nullptr;
  if (SUCCEEDED(shellLink->QueryInterface(IID_PPV_ARGS(&file)))) {
    if (FAILED(file->Load(link.c_str(), STGM_READ)) ||
        FAILED(shellLink->GetPath(target, MAX_PATH, nullptr, 0))) {
      target[0] = 0;
    }
    file->Release();
  }
  shellLink->Release();
  return target;
}

// Waits for the uninstaller: it runs from a copy of itself, so the started process ends at once.
bool WaitUninstalled(HKEY root, const std::wstring& folder) {
  for (int i = 0; i < 600; ++i) {
    if (!KeyExists(root, kUninstallKey) && !Exists(folder)) return true;
    Sleep(100);
  }
  return false;
}

class Installer : public testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m_data = KnownFolder(FOLDERID_Documents) + kProduct + L"\\";
  }
  void TearDown() override { CoUninitialize(); }

  // The program folder holds exactly what the build made; the log-on entry starts its agent,
  // which is running; Add/Remove Programs lists it under `root`.
  void ExpectInstalled(HKEY root, const std::wstring& folder) {
    for (const wchar_t* module : kModules) {
      const std::string built = harness::ReadFileBytes(harness::BinFolder() + module);
      EXPECT_FALSE(built.empty()) << module;
      EXPECT_TRUE(harness::ReadFileBytes(folder + module) == built) << module;
    }
    const Files builtSkin = ReadTree(harness::BinFolder() + L"images\\");
    const Files installedSkin = ReadTree(folder + L"images\\");
    EXPECT_GT(builtSkin.size(), 50u);
    ExpectSameFiles(builtSkin, installedSkin);

    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kRunKey, kProduct), L"\"" + folder + L"hid.exe\"");
    EXPECT_EQ(RegistryText(root, kUninstallKey, L"DisplayName"), kProduct);
    EXPECT_EQ(RegistryText(root, kUninstallKey, L"DisplayVersion"), VIREO_PRODUCT_VERSION);
    EXPECT_EQ(RegistryText(root, kUninstallKey, L"Publisher"), VIREO_PUBLISHER);
    EXPECT_EQ(RegistryText(root, kUninstallKey, L"DisplayIcon"), folder + L"hid.exe,0");

    const DWORD agent = AgentProcess();
    ASSERT_NE(agent, 0u) << "the agent was not started";
    EXPECT_EQ(_wcsicmp(ImageOf(agent).c_str(), (folder + L"hid.exe").c_str()), 0) << ImageOf(agent);
    EXPECT_EQ(RunProgram(harness::BinFolder() + L"vireoctl.exe", L"status"), 0u);
  }

  void UninstallAndExpectGone(HKEY root, const std::wstring& folder, const Files& userFiles) {
    const std::wstring quiet = RegistryText(root, kUninstallKey, L"QuietUninstallString");
    EXPECT_NE(quiet.find(folder + L"uninstall.exe\""), std::wstring::npos) << quiet;
    EXPECT_EQ(RunCommandLine(quiet), 0u);
    EXPECT_TRUE(WaitUninstalled(root, folder));
    EXPECT_TRUE(harness::WaitForNoWindow(AsWide(program_names::kAgentWindowTitle), 5000));
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kRunKey, kProduct), L"(none)");
    ExpectSameFiles(userFiles, ReadTree(m_data));
  }

  std::wstring m_data;  // the user's profiles and macros
};

TEST_F(Installer, InstallsUpgradesOverTheRunningAgentAndUninstallsKeepingTheUsersFiles) {
  const std::wstring folder = KnownFolder(FOLDERID_ProgramFiles) + kProduct + L"\\";
  ASSERT_FALSE(Exists(folder)) << "not a fresh prefix";
  ASSERT_EQ(RunProgram(SetupProgram(), L"/S"), 0u);
  ExpectInstalled(HKEY_LOCAL_MACHINE, folder);
  const std::wstring shortcut = KnownFolder(FOLDERID_CommonPrograms) + kProduct + L".lnk";
  EXPECT_EQ(_wcsicmp(ShortcutTarget(shortcut).c_str(), (folder + L"tuner.exe").c_str()), 0);
  // The agent's first start opens the installed settings window.
  const DWORD firstConfigurator = ProcessOfWindow(program_names::kConfiguratorWindowTitle, 10000);
  ASSERT_NE(firstConfigurator, 0u) << "the agent's first start opened no settings window";
  EXPECT_EQ(_wcsicmp(ImageOf(firstConfigurator).c_str(), (folder + L"tuner.exe").c_str()), 0)
      << ImageOf(firstConfigurator);

  // The user's files: what the agent made at its first start, and a macro of the user's own.
  ASSERT_TRUE(harness::WaitForFile(m_data + L"QVProfile5.pfd", 10000));
  // The first start is over when the agent has noted it in the library index.
  const std::wstring index = m_data + L"MacroDB\\MacroSet.MSDB";
  for (int i = 0; i < 100 && GetPrivateProfileIntW(L"Setting", L"FirstOpen", 0, index.c_str()) == 0;
       ++i) {
    Sleep(100);
  }
  const std::string macro = "[MACRO]\r\nCount=0\r\n";
  HANDLE file = CreateFileW((m_data + L"MacroDB\\Sniper.MSMACRO").c_str(), GENERIC_WRITE, 0,
                            nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, macro.data(), static_cast<DWORD>(macro.size()), &written, nullptr);
  CloseHandle(file);
  const Files userFiles = ReadTree(m_data);

  // Over the running agent and the settings window its first start opened: both must have ended
  // before their files were replaced (the installer stops otherwise).
  const DWORD oldAgent = AgentProcess();
  const UniqueKernelHandle oldAgentProcess = Watch(oldAgent);
  const UniqueKernelHandle oldConfigurator = Watch(firstConfigurator);
  ASSERT_TRUE(oldAgentProcess && oldConfigurator);
  ASSERT_EQ(RunProgram(SetupProgram(), L"/S"), 0u);
  EXPECT_TRUE(Ended(oldAgentProcess)) << "the old agent still runs";
  EXPECT_TRUE(Ended(oldConfigurator)) << "the old settings window still runs";
  ExpectInstalled(HKEY_LOCAL_MACHINE, folder);
  EXPECT_NE(AgentProcess(), oldAgent);
  // Only the first start opens it.
  EXPECT_FALSE(harness::WaitForWindow(AsWide(program_names::kConfiguratorWindowTitle), 0));
  ExpectSameFiles(userFiles, ReadTree(m_data));

  // The uninstaller closes an open settings window itself, also when the agent, whose Exit would
  // close it too, is gone (ended in the Task Manager) after the window's own look for it.
  harness::Process configurator(folder + L"tuner.exe");
  EXPECT_NE(ProcessOfWindow(program_names::kConfiguratorWindowTitle, 10000), 0u);
  Sleep(2 * configurator_msg::kAgentWatchdogDelayMs);
  {
    const UniqueKernelHandle agent(
        OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, AgentProcess()));
    ASSERT_TRUE(agent && TerminateProcess(agent.get(), 1));
    WaitForSingleObject(agent.get(), 10000);
  }
  ASSERT_TRUE(configurator.Running());
  UninstallAndExpectGone(HKEY_LOCAL_MACHINE, folder, userFiles);
  EXPECT_TRUE(configurator.WaitExit(0)) << "the settings window still runs";
  EXPECT_FALSE(Exists(shortcut));
}

TEST_F(Installer, ForOneUserInstallsIntoTheUsersProgramsAndRegistersThere) {
  // Where Windows keeps a user's programs; Wine has no such folder, and the installer takes the
  // same place then.
  std::wstring programs = KnownFolder(FOLDERID_UserProgramFiles);
  if (programs.empty()) programs = KnownFolder(FOLDERID_LocalAppData) + L"Programs\\";
  const std::wstring folder = programs + kProduct + L"\\";
  ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  ASSERT_EQ(RunProgram(SetupProgram(), L"/CurrentUser /S"), 0u);
  ExpectInstalled(HKEY_CURRENT_USER, folder);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  const Files userFiles = ReadTree(m_data);
  UninstallAndExpectGone(HKEY_CURRENT_USER, folder, userFiles);
}

}  // namespace
