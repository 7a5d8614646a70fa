// vireoctl: talks to a running agent the way the configurator does, for the demo, scripts and
// people trying things out.
//   vireoctl status                 agent window, configurator window, data folder and files
//   vireoctl send MSG [WPARAM LPARAM]  SendMessage to the agent window (numbers may be 0x...)
//   vireoctl close-agent            the agent's exit command (closes the configurator too)
//   vireoctl apply                  presses the configurator's Apply button and waits for it

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "configurator/tuner_ids.h"
#include "contract/program_names.h"
#include "contract/window_messages.h"
#include "settings/folders.h"
#include "settings/win32/system_folders.h"
#include "win/text.h"

namespace {

HWND AgentWindow() {
  return FindWindowW(nullptr, AsWide(program_names::kAgentWindowTitle));
}

long long Number(const wchar_t* text) {
  return std::wcstoll(text, nullptr, 0);
}

void ListFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    std::wprintf(L"  (missing)\n");
    return;
  }
  do {
    if (data.cFileName[0] == L'.') continue;
    std::wprintf(L"  %ls%ls\n", data.cFileName,
                 (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? L"\\" : L"");
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

int Status() {
  InitProcessFolders();
  const std::wstring data(DataFolder().begin(), DataFolder().end());
  std::wprintf(L"agent window \"%ls\": %ls\n", AsWide(program_names::kAgentWindowTitle),
               AgentWindow() ? L"running" : L"absent");
  std::wprintf(
      L"configurator window \"%ls\": %ls\n", AsWide(program_names::kConfiguratorWindowTitle),
      FindWindowW(nullptr, AsWide(program_names::kConfiguratorWindowTitle)) ? L"open" : L"absent");
  std::wprintf(L"data folder %ls\n", data.c_str());
  ListFolder(data);
  std::wprintf(L"macro folder %lsMacroDB\\\n", data.c_str());
  ListFolder(data + L"MacroDB\\");
  return AgentWindow() ? 0 : 1;
}

int Send(int argc, wchar_t** argv) {
  HWND agent = AgentWindow();
  if (!agent) {
    std::fwprintf(stderr, L"the agent is not running\n");
    return 1;
  }
  const UINT message = static_cast<UINT>(Number(argv[2]));
  const WPARAM wParam = argc > 3 ? static_cast<WPARAM>(Number(argv[3])) : 0;
  const LPARAM lParam = argc > 4 ? static_cast<LPARAM>(Number(argv[4])) : 0;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(agent, message, wParam, lParam, SMTO_NORMAL, 60000, &result)) {
    std::fwprintf(stderr, L"no answer within 60 s\n");
    return 1;
  }
  std::wprintf(L"0x%X answered %lld\n", message, static_cast<long long>(result));
  return 0;
}

int Apply() {
  HWND configurator = FindWindowW(AsWide(program_names::kConfiguratorWindowClass),
                                  AsWide(program_names::kConfiguratorWindowTitle));
  HWND button = configurator ? GetDlgItem(configurator, tuner_id::kApply) : nullptr;
  if (!button) {
    std::fwprintf(stderr, L"the configurator is not open\n");
    return 1;
  }
  // Answered when the configurator has written the files and the agent the mouse.
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 60000, &result)) {
    std::fwprintf(stderr, L"no answer within 60 s\n");
    return 1;
  }
  return 0;
}

int CloseAgent() {
  HWND agent = AgentWindow();
  if (!agent) return 0;
  PostMessageW(agent, WM_COMMAND, agent_msg::kCommandExit, 0);
  for (int i = 0; i < 50 && IsWindow(agent); ++i) Sleep(100);
  return IsWindow(agent) ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 2 && std::wcscmp(argv[1], L"status") == 0) return Status();
  if (argc >= 3 && std::wcscmp(argv[1], L"send") == 0) return Send(argc, argv);
  if (argc >= 2 && std::wcscmp(argv[1], L"close-agent") == 0) return CloseAgent();
  if (argc >= 2 && std::wcscmp(argv[1], L"apply") == 0) return Apply();
  std::fwprintf(stderr,
                L"usage: vireoctl status | send MSG [WPARAM LPARAM] | close-agent | apply\n");
  return 2;
}
