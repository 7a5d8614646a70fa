#pragma once
// The menus of the ten assignment buttons on page 1: what each row says and reports, and where
// the menu opens. The eight physical buttons get the full menu (every function, with cascades
// for the basic, advanced and media functions, the macros, resolution and polling rate); the
// two wheel directions get the short wheel menu without cascades. Row texts are the catalogue's
// (general.ini); macro rows carry their library slot, so a gap left by a deleted macro stays a
// gap and every reader of KeyNumber means the same macro.
#include <string>
#include <vector>

#include "settings/macro_library.h"
#include "skin/core/bmp_menu_info.h"
#include "skin/core/bmp_menu_layout.h"

class SkinTexts;

namespace assign_menu {

// The row of the macro cascade that opens the macro editor.
inline constexpr int kMacroEditorRow = 100;

// Buttons 9 and 10 (indices 8 and 9) scroll the wheel.
bool IsWheelButton(int button);

// The rows of button `button`'s menu, cascades included, named from `texts`; `macros` are the
// library's used slots in slot order.
std::vector<tagBMPMENUINFO> Rows(int button, const SkinTexts& texts,
                                 const std::vector<MacroListEntry>& macros);

// Whether a menu offers top-level code `code` with cascade code `sub` (0 for a row without a
// cascade); a choice that no menu offers is not one the user made.
bool Offers(int code, int sub);

// Where the menu of size `menu` opens for a button at `button` (screen): under the button's
// left edge, or above the button when it would cross the bottom of `workArea`, and moved left
// when it would cross the right edge; never off the work area's top or left.
MenuRect Place(const MenuRect& button, MenuRowSize menu, const MenuRect& workArea);

}  // namespace assign_menu
