#include "configurator/win32/snare_library.h"

#include "contract/program_names.h"
#include "contract/window_messages.h"
#include "settings/folders.h"
#include "win/text.h"

namespace {

template <typename Function>
Function EntryPoint(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace

SnareLibrary::~SnareLibrary() {
  Remove();
}

bool SnareLibrary::Load() {
  return Load(ToWide(ProgramFolder() + program_names::kHookLibrary));
}

bool SnareLibrary::Load(const std::wstring& path) {
  Remove();
  m_module.reset(::LoadLibraryW(path.c_str()));
  const HMODULE module = m_module.get();
  m_installHook = module ? EntryPoint<InstallHook>(module, hook_msg::kInstallHook) : nullptr;
  m_removeHook = module ? EntryPoint<RemoveHook>(module, hook_msg::kRemoveHook) : nullptr;
  m_enableHook = module ? EntryPoint<EnableHook>(module, hook_msg::kEnableHook) : nullptr;
  return Loaded();
}

void SnareLibrary::Install(HWND window, bool deliver) {
  if (m_installHook == nullptr) return;
  m_installed = m_installHook(window) != 0;
  Enable(deliver);
}

void SnareLibrary::Enable(bool deliver) {
  if (m_installed && m_enableHook != nullptr) m_enableHook(deliver ? 1 : 0);
}

void SnareLibrary::Remove() {
  if (!m_installed) return;
  Enable(false);
  if (m_removeHook != nullptr) m_removeHook();
  m_installed = false;
}
