#pragma once
// Geometry and choice words of the skinned popup menus. Row buttons are stacked from the top,
// each as high as the row image; the window is 20 pixels wider than the image. A cascade opens
// to the right of its menu unless it would cross the screen edge, then to the left.
#include <cstdint>

// A menu and each cascade have this many row buttons; further rows are refused.
inline constexpr int kMaxMenuRows = 20;

// Cascade → menu (inside the menu) and menu → parent (the choice).
inline constexpr unsigned kSubMenuChoiceMessage = 0x500;  // WM_USER + 256
inline constexpr unsigned kMenuChoiceMessage = 0x501;     // WM_USER + 257

struct MenuRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const MenuRect&) const = default;
};

// Size of a row: the row image's, or a plain default when the image is missing, so that a menu
// without pictures still shows its captions and can be used.
struct MenuRowSize {
  int width = 0;
  int height = 0;
  bool operator==(const MenuRowSize&) const = default;
};
inline constexpr MenuRowSize kFallbackRowSize{160, 24};
MenuRowSize RowSizeOf(int imageWidth, int imageHeight);

// Window rectangle of a menu of `rowCount` rows at (x, y) (screen); rows beyond the limit and
// negative counts do not count.
MenuRect BmpMenuRect(int x, int y, int rowImageWidth, int rowImageHeight, int rowCount);

// Row button `row` in menu client coordinates.
MenuRect BmpMenuRowRect(int row, int rowImageWidth, int rowImageHeight);

// Rows 7, 8, 9, 10, 12 and 14 show the second pair of faces.
bool UsesSecondFaces(int row);

// Screen rectangle of the cascade of row `parentRow` with `subCount` rows, for a menu at
// (menuX, menuY) whose row image is rowImageWidth × rowImageHeight and whose sub-row image is
// subImageWidth × subImageHeight. Lifted to end at the bottom of the screen rather than run past
// it, and never placed above its top.
MenuRect CascadeRect(int menuX, int menuY, int rowImageWidth, int rowImageHeight, int parentRow,
                     int subImageWidth, int subImageHeight, int subCount, int screenWidth,
                     int screenHeight);

// Sub-row button `subRow` in cascade client coordinates (one pixel lower, one pixel shorter than
// a whole row).
MenuRect CascadeRowRect(int subRow, int cascadeWidth, int subImageHeight);

// The parameters of a choice message.
struct MenuChoice {
  std::uint32_t wParam = 0;
  std::uint32_t lParam = 0;
  bool operator==(const MenuChoice&) const = default;
};

// 0x501 for a row without sub-items: index and id in the high words.
MenuChoice RowChoice(int row, int rowId);
// 0x500 from a cascade to its menu: (parent row << 16) | sub-row, and the sub-row's id.
MenuChoice SubMenuReport(int parentRow, int subRow, int subRowId);
// 0x501 for a cascade choice, from the cascade's 0x500 report and the parent row's id: parent
// row and sub-row in wParam, parent id and the low 16 bits of the sub-row id in lParam.
MenuChoice CascadeChoice(const MenuChoice& subMenuReport, int parentRowId);

// What a receiver of 0x501 reads back.
struct DecodedMenuChoice {
  int row = 0;
  int subRow = 0;
  int rowId = 0;
  int subRowId = 0;
  bool operator==(const DecodedMenuChoice&) const = default;
};
DecodedMenuChoice DecodeMenuChoice(std::uint32_t wParam, std::uint32_t lParam);
