#include "configurator/win32/exchange_file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "win/text.h"

std::u16string AskExchangeFile(HWND owner, bool save, const ExchangeFileDialog& dialog) {
  // Room for a long path; the name field starts with the given name.
  std::vector<wchar_t> path(32768, L'\0');
  std::copy_n(dialog.fileName.begin(), std::min(dialog.fileName.size(), path.size() - 1),
              path.begin());
  OPENFILENAMEW request{};
  request.lStructSize = sizeof(request);
  request.hwndOwner = owner;
  request.lpstrFilter = dialog.filter;
  request.lpstrFile = path.data();
  request.nMaxFile = static_cast<DWORD>(path.size());
  request.lpstrInitialDir = dialog.folder.empty() ? nullptr : dialog.folder.c_str();
  request.lpstrDefExt = dialog.extension;
  request.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR;
  if (!save) request.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  const BOOL chosen = save ? ::GetSaveFileNameW(&request) : ::GetOpenFileNameW(&request);
  return chosen ? ToU16(path.data()) : std::u16string();
}
