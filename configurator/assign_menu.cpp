#include "configurator/assign_menu.h"

#include <algorithm>
#include <initializer_list>

#include "configurator/catalogue_text.h"
#include "settings/button_functions.h"
#include "settings/skin_texts.h"

namespace assign_menu {
namespace {

// A top-level row and the codes of its cascade (first to last, none when first is 0).
struct FullMenuRow {
  int code;
  int firstSub;
  int lastSub;
};
constexpr FullMenuRow kFullMenu[] = {
    {1, 0, 0},
    {2, 0, 0},
    {3, 0, 0},
    {4, 0, 0},
    {5, 0, 0},
    {6, 0, 0},
    {7, 0, 0},
    {8, 17, 24},
    {9, 25, 38},
    {10, 39, 46},
    {kFunctionMacro, 0, 0},
    {12, 0, 0},
    {13, 47, 49},
    {14, 0, 0},
    {15, 50, 51},
    {54, 0, 0},
    {16, 0, 0},
};
constexpr int kWheelMenu[] = {52, 53, 43, 44, 4, 5, 1, 2, 3, 6, 7};

}  // namespace

bool IsWheelButton(int button) {
  return button == 8 || button == 9;
}

std::vector<tagBMPMENUINFO> Rows(int button, const SkinTexts& texts,
                                 const std::vector<MacroListEntry>& macros) {
  std::vector<tagBMPMENUINFO> rows;
  if (IsWheelButton(button)) {
    for (int code : kWheelMenu) AddMenuRow(rows, CatalogueText(code, texts), code);
    return rows;
  }
  for (const FullMenuRow& row : kFullMenu) {
    AddMenuRow(rows, CatalogueText(row.code, texts), row.code);
    const int index = static_cast<int>(rows.size()) - 1;
    for (int sub = row.firstSub; row.firstSub != 0 && sub <= row.lastSub; ++sub) {
      AddMenuSubRow(rows, index, CatalogueText(sub, texts), sub);
    }
    if (row.code == kFunctionMacro) {
      AddMenuSubRow(rows, index, texts.General(u"MACRO", 1), kMacroEditorRow);
      for (const MacroListEntry& macro : macros) {
        if (!macro.Name.empty()) AddMenuSubRow(rows, index, macro.Name, macro.Slot);
      }
    }
  }
  return rows;
}

bool Offers(int code, int sub) {
  for (const FullMenuRow& row : kFullMenu) {
    if (row.code != code) continue;
    if (code == kFunctionMacro) {
      return sub == kMacroEditorRow || (sub >= 0 && sub < kMacroLibrarySlots);
    }
    return row.firstSub == 0 ? sub == 0 : sub >= row.firstSub && sub <= row.lastSub;
  }
  return sub == 0 &&
         std::find(std::begin(kWheelMenu), std::end(kWheelMenu), code) != std::end(kWheelMenu);
}

MenuRect Place(const MenuRect& button, MenuRowSize menu, const MenuRect& workArea) {
  int x = button.left;
  int y = button.bottom;
  if (x + menu.width > workArea.right) x = workArea.right - menu.width;
  if (y + menu.height > workArea.bottom) y = button.top - menu.height;
  x = std::max(x, workArea.left);
  y = std::max(y, workArea.top);
  return {x, y, x + menu.width, y + menu.height};
}

}  // namespace assign_menu
