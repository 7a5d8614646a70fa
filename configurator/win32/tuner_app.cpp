#include "configurator/win32/tuner_app.h"

#include <windows.h>
// after windows.h, whose types it uses
#include <commctrl.h>

#include "configurator/win32/tuner_dlg.h"
#include "contract/program_names.h"
#include "settings/file_io.h"
#include "settings/folders.h"
#include "settings/win32/system_folders.h"
#include "win/text.h"

CTunerApp::CTunerApp() = default;

// GDI+ ends after every picture of the window; the base class closes the mutex last.
CTunerApp::~CTunerApp() = default;

bool CTunerApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
  ::InitCommonControlsEx(&controls);
  // A second start does nothing visible: it neither shows nor activates the first window.
  if (!AcquireSingleInstance(AsWide(program_names::kConfiguratorMutexName))) return false;
  m_gdiplus.emplace();

  // The skin is found below the program folder; the profiles live in the data folder, which
  // the configurator may be the first to use.
  InitProcessFolders();
  CreateFolder(DataFolder());

  CTunerDlg window;
  SetMainWindow(&window);
  window.DoModal();
  SetMainWindow(nullptr);
  return true;
}
