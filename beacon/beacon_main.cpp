// beacon.exe: tells the user that the mouse is connected, then ends.
#include <windows.h>

#include "beacon/beacon_window.h"
#include "settings/skin_texts.h"
#include "settings/win32/system_folders.h"
#include "win/application.h"
#include "win/text.h"

namespace {
constexpr wchar_t kMutexName[] = L"VireoMouseBeacon_Mutex";
// The notification's texts in the skin text file, beside the tray menu's.
constexpr char16_t kTextSection[] = u"BEACON";
constexpr int kTitleKey = 3;
constexpr int kTextKey = 4;
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  Application app;
  // A plug-in while the notification is still up needs no second one.
  if (!app.AcquireSingleInstance(kMutexName)) return 0;
  InitProcessFolders();
  CBeaconWnd window;
  if (!window.CreateBeaconWindow(ToWide(SkinText(kTextSection, kTitleKey)),
                                 ToWide(SkinText(kTextSection, kTextKey)))) {
    return 1;
  }
  app.SetMainWindow(&window);
  return app.Run();
}
