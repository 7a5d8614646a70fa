#pragma once
// An empty dialog template built in memory: our dialogs have no resources and create every
// control in code.
#include <windows.h>

#include <string>
#include <vector>

class DialogTemplate {
 public:
  // Size in dialog units. With a font name the template carries DS_SETFONT and that font.
  DialogTemplate(DWORD style, DWORD exStyle, short width, short height, std::wstring title = {},
                 std::wstring fontName = L"MS Shell Dlg", WORD pointSize = 8);

  // DLGTEMPLATE, no menu, the default class, the title, the font; DWORD-aligned as the dialog
  // functions require.
  std::vector<DWORD> Build() const;

  DWORD Style() const noexcept;

 private:
  DWORD m_style;
  DWORD m_exStyle;
  short m_width;
  short m_height;
  std::wstring m_title;
  std::wstring m_fontName;
  WORD m_pointSize;
};
