#include "agent/win32/basic_function.h"

#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "agent/key_playback.h"
#include "agent/mail_command.h"
#include "agent/win32/keybd_event_synthesiser.h"
#include "agent/win32/registry_key.h"
#include "win/text.h"

namespace {

constexpr char kLockCommand[] = "Rundll32.exe user32.dll, LockWorkStation";
constexpr wchar_t kBrowserSettingsKey[] =
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main";
constexpr wchar_t kBrowserHomeValue[] = L"Start Page";
constexpr wchar_t kMailCommandKey[] = L"HKEY_CLASSES_ROOT\\mailto\\shell\\open\\command";
constexpr wchar_t kDefaultValue[] = L"";

// Text buffers of 260 units. A longer value counts as not there.
constexpr DWORD kTextBytes = 260 * sizeof(wchar_t);

// The shell may hand a file to extensions that want COM on the calling thread, and this runs
// on whatever thread reported the function.
class ComForShell {
 public:
  ComForShell()
      : m_initialised(
            SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
  }
  ~ComForShell() {
    if (m_initialised) CoUninitialize();
  }
  ComForShell(const ComForShell&) = delete;
  ComForShell& operator=(const ComForShell&) = delete;

 private:
  bool m_initialised;
};

// An empty name would leave the shell to guess what to open, so nothing is started then.
void OpenWithShell(const wchar_t* file) {
  if (file[0] == L'\0') return;
  ComForShell com;
  ShellExecuteW(nullptr, L"open", file, nullptr, nullptr, SW_SHOWDEFAULT);
}

}  // namespace

void CBasicFunction::Perform(PcOperation operation) {
  switch (operation) {
    case PcOperation::kCut:
      return Cut();
    case PcOperation::kCopy:
      return Copy();
    case PcOperation::kPaste:
      return Paste();
    case PcOperation::kSelectAll:
      return SelectAll();
    case PcOperation::kFind:
      return Find();
    case PcOperation::kNewDocument:
      return NewDocument();
    case PcOperation::kPrint:
      return Print();
    case PcOperation::kSave:
      return Save();
    case PcOperation::kSwitchWindow:
      return SwitchWindow();
    case PcOperation::kCloseWindow:
      return CloseWindow();
    case PcOperation::kOpenFileExplorer:
      return OpenFileExplorer();
    case PcOperation::kOpenRunDialog:
      return OpenRunDialog();
    case PcOperation::kShowDesktop:
      return ShowDesktop();
    case PcOperation::kRunLockCommand:
      return RunLockCommand();
    case PcOperation::kOpenBrowserHome:
      return OpenBrowserHome();
    case PcOperation::kBrowserBack:
      return BrowserBack();
    case PcOperation::kBrowserForward:
      return BrowserForward();
    case PcOperation::kBrowserStop:
      return BrowserStop();
    case PcOperation::kBrowserRefresh:
      return BrowserRefresh();
    case PcOperation::kSearch:
      return Search();
    case PcOperation::kBrowserFavourites:
      return BrowserFavourites();
    case PcOperation::kOpenMailClient:
      return OpenMailClient();
  }
}

void CBasicFunction::PlayKeys(PcOperation operation) {
  KeybdEventSynthesiser keys;
  PlayKeysOf(operation, keys);
}

void CBasicFunction::Cut() {
  PlayKeys(PcOperation::kCut);
}
void CBasicFunction::Copy() {
  PlayKeys(PcOperation::kCopy);
}
void CBasicFunction::Paste() {
  PlayKeys(PcOperation::kPaste);
}
void CBasicFunction::SelectAll() {
  PlayKeys(PcOperation::kSelectAll);
}
void CBasicFunction::Find() {
  PlayKeys(PcOperation::kFind);
}
void CBasicFunction::NewDocument() {
  PlayKeys(PcOperation::kNewDocument);
}
void CBasicFunction::Print() {
  PlayKeys(PcOperation::kPrint);
}
void CBasicFunction::Save() {
  PlayKeys(PcOperation::kSave);
}
void CBasicFunction::SwitchWindow() {
  PlayKeys(PcOperation::kSwitchWindow);
}
void CBasicFunction::CloseWindow() {
  PlayKeys(PcOperation::kCloseWindow);
}
void CBasicFunction::OpenFileExplorer() {
  PlayKeys(PcOperation::kOpenFileExplorer);
}
void CBasicFunction::OpenRunDialog() {
  PlayKeys(PcOperation::kOpenRunDialog);
}
void CBasicFunction::ShowDesktop() {
  PlayKeys(PcOperation::kShowDesktop);
}
void CBasicFunction::BrowserBack() {
  PlayKeys(PcOperation::kBrowserBack);
}
void CBasicFunction::BrowserForward() {
  PlayKeys(PcOperation::kBrowserForward);
}
void CBasicFunction::BrowserStop() {
  PlayKeys(PcOperation::kBrowserStop);
}
void CBasicFunction::BrowserRefresh() {
  PlayKeys(PcOperation::kBrowserRefresh);
}
void CBasicFunction::Search() {
  PlayKeys(PcOperation::kSearch);
}
void CBasicFunction::BrowserFavourites() {
  PlayKeys(PcOperation::kBrowserFavourites);
}

void CBasicFunction::RunLockCommand() {
  WinExec(kLockCommand, SW_HIDE);
}

void CBasicFunction::OpenBrowserHome() {
  RegistryKey key;
  key.Open(kBrowserSettingsKey, KEY_ALL_ACCESS);
  std::wstring target = key.ReadText(kBrowserHomeValue, kTextBytes).value_or(L"");
  // A default value, when the key has one, names the page instead; an empty one names none.
  const std::optional<std::wstring> defaultPage = key.ReadText(kDefaultValue, kTextBytes);
  if (defaultPage && !defaultPage->empty()) target = *defaultPage;
  OpenWithShell(target.c_str());
  key.Close();
}

void CBasicFunction::OpenMailClient() {
  RegistryKey key;
  key.Open(kMailCommandKey, KEY_ALL_ACCESS);
  const std::wstring command = key.ReadText(kDefaultValue, kTextBytes).value_or(L"");
  const std::u16string program = MailProgramFromCommand(ToU16(command));
  OpenWithShell(AsWide(program));
  key.Close();
}
