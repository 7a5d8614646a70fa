#pragma once
// The configurator's skinned popup menu: a borderless window whose rows are image buttons
// stacked from the top. A row with sub-items opens a cascade (CSubBmpMenu) when the pointer
// reaches it. A choice is posted to the parent as 0x501 (see skin/core/bmp_menu_layout.h for
// the words); the parent then destroys the menu.
//
//   auto menu = std::make_unique<CBmpMenu>();
//   menu->SetRowFaces(n, d, d2, n2);  menu->SetSubRowFaces(n, d, d2, n2);
//   menu->AddRow(L"Basic", 8);  menu->AddSubRow(0, L"Copy", 17);
//   const MenuRowSize size = menu->WindowSize(menu->RowCount());  // to keep it on the screen
//   menu->SetPosition(x, y);  menu->Open(Hwnd());
#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "skin/bitmap_btn.h"
#include "skin/core/bmp_menu_info.h"
#include "skin/core/bmp_menu_layout.h"
#include "skin/skin_image.h"
#include "win/dialog.h"

class CSubBmpMenu;

class CBmpMenu : public Dialog {
 public:
  CBmpMenu();
  ~CBmpMenu() override;

  // Image files for the rows: normal, hover, second hover, second normal (rows 7, 8, 9, 10, 12
  // and 14 use the second pair). A missing file leaves that face empty.
  void SetRowFaces(const std::wstring& normal, const std::wstring& hover,
                   const std::wstring& secondHover, const std::wstring& secondNormal);
  // The same for the rows of the cascades.
  void SetSubRowFaces(const std::wstring& normal, const std::wstring& hover,
                      const std::wstring& secondHover, const std::wstring& secondNormal);

  // False when the menu (or the row's cascade) already has kMaxMenuRows rows, the row does not
  // exist, or the menu is open (rows are added before Open).
  bool AddRow(std::wstring_view text, int id);
  bool AddSubRow(int row, std::wstring_view text, int id);

  // Screen position of the top-left corner.
  void SetPosition(int x, int y) noexcept {
    m_x = x;
    m_y = y;
  }

  // Creates the window owned by `parent`, which receives the choices, and shows it.
  bool Open(HWND parent);

  int RowCount() const noexcept { return static_cast<int>(m_rows.size()); }
  // Known from the row faces before the menu opens, for placing it at the screen edges: the
  // size of one row's picture, and of the menu window with `rowCount` rows.
  MenuRowSize RowSize() const noexcept;
  MenuRowSize WindowSize(int rowCount) const noexcept;
  HWND RowButton(int row) const noexcept;
  // The cascade being shown, or null.
  CSubBmpMenu* OpenCascade() const noexcept { return m_cascade.get(); }

 private:
  BOOL OnInitDialog() override;
  void OnRowClicked(int id, HWND button);
  void OnRowHover(HWND button);
  void OnSubMenuChoice(int parentRow, int subRow, int subRowId);
  void OnPaint();
  BOOL OnEraseBackground(HDC) { return TRUE; }
  void OnDestroy();

  BEGIN_MESSAGE_TABLE(CBmpMenu, Dialog)
    COMMAND_CODE_HANDLER(BN_CLICKED, OnRowClicked)
    MSG_BUTTON_HOVER(OnRowHover)
    MSG_SUBMENU_CHOICE(OnSubMenuChoice)
    MSG_WM_PAINT(OnPaint)
    MSG_WM_ERASEBKGND(OnEraseBackground)
    MSG_WM_DESTROY(OnDestroy)
  END_MESSAGE_TABLE()

  void OpenCascadeFor(int row);
  void CloseCascade() noexcept;

  // This menu's rows (each menu object has its own, so two menus never share them).
  std::vector<tagBMPMENUINFO> m_rows;
  std::array<SkinImage, 4> m_faces;
  std::array<SkinImage, 4> m_subFaces;
  int m_x = 0;
  int m_y = 0;
  HWND m_parent = nullptr;
  HWND m_hoveredRow = nullptr;
  std::array<CBitmapBtn, kMaxMenuRows> m_buttons;
  std::unique_ptr<CSubBmpMenu> m_cascade;
};
