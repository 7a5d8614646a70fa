#pragma once
// The system's open and save dialogs for the exchange files a person imports and exports.
#include <windows.h>

#include <string>

struct ExchangeFileDialog {
  const wchar_t* filter =
      nullptr;  // pairs of zero-terminated texts, e.g. L"Macro File(*.MSDB)\0*.MSDB\0"
  const wchar_t* extension = nullptr;  // added to a typed name without one, e.g. L"MSDB"
  std::wstring folder;                 // where the dialog starts (the system's choice when missing)
  std::wstring fileName;               // what the name field shows first
};

// Runs the open dialog (the file must exist) or the save dialog (asking before it replaces a
// file) over `owner`; the chosen path, or "" when cancelled.
std::u16string AskExchangeFile(HWND owner, bool save, const ExchangeFileDialog& dialog);
