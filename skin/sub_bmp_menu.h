#pragma once
// The cascading window of a skinned popup menu: one image button per sub-item, opened by the
// menu beside a row that has sub-items. A click reports 0x500 to the menu, which turns it into
// the choice its parent receives.
#include <windows.h>

#include <array>
#include <vector>

#include "skin/bitmap_btn.h"
#include "skin/core/bmp_menu_info.h"
#include "skin/core/bmp_menu_layout.h"
#include "skin/skin_image.h"
#include "win/dialog.h"

class CSubBmpMenu : public Dialog {
 public:
  // `subItems` belong to the menu's row `parentRow` and outlive this window. The faces (normal,
  // hover, pressed, disabled) are this window's own; `rect` is its place on the screen.
  CSubBmpMenu(HWND menu, int parentRow, const std::vector<tagBMPMENUINFO>* subItems,
              std::array<SkinImage, 4> faces, const MenuRect& rect);
  ~CSubBmpMenu() override;

  // Creates and shows the window without taking the activation from the menu.
  bool Open();

  int ParentRow() const noexcept { return m_parentRow; }
  int RowCount() const noexcept;
  HWND RowButton(int subRow) const noexcept;

 private:
  BOOL OnInitDialog() override;
  void OnRowClicked(int id, HWND button);
  void OnPaint();
  BOOL OnEraseBackground(HDC) { return TRUE; }

  BEGIN_MESSAGE_TABLE(CSubBmpMenu, Dialog)
    COMMAND_CODE_HANDLER(BN_CLICKED, OnRowClicked)
    MSG_WM_PAINT(OnPaint)
    MSG_WM_ERASEBKGND(OnEraseBackground)
  END_MESSAGE_TABLE()

  HWND m_menu;
  int m_parentRow;
  const std::vector<tagBMPMENUINFO>* m_subItems;
  std::array<SkinImage, 4> m_faces;
  MenuRect m_rect;
  std::array<CBitmapBtn, kMaxMenuRows> m_buttons;
};
