#include "skin/core/bmp_menu_layout.h"

#include <algorithm>

namespace {

int ClampRowCount(int rowCount) {
  return std::clamp(rowCount, 0, kMaxMenuRows);
}

std::uint32_t Words(int high, int low) {
  return (static_cast<std::uint32_t>(high & 0xFFFF) << 16) |
         static_cast<std::uint32_t>(low & 0xFFFF);
}

}  // namespace

MenuRowSize RowSizeOf(int imageWidth, int imageHeight) {
  if (imageWidth <= 0 || imageHeight <= 0) return kFallbackRowSize;
  return {imageWidth, imageHeight};
}

MenuRect BmpMenuRect(int x, int y, int rowImageWidth, int rowImageHeight, int rowCount) {
  const int width = std::max(rowImageWidth, 0) + 20;
  const int height = std::max(rowImageHeight, 0) * ClampRowCount(rowCount);
  return {x, y, x + width, y + height};
}

MenuRect BmpMenuRowRect(int row, int rowImageWidth, int rowImageHeight) {
  const int h = std::max(rowImageHeight, 0);
  return {0, row * h, std::max(rowImageWidth, 0) + 20, (row + 1) * h};
}

bool UsesSecondFaces(int row) {
  switch (row) {
    case 7:
    case 8:
    case 9:
    case 10:
    case 12:
    case 14:
      return true;
    default:
      return false;
  }
}

MenuRect CascadeRect(int menuX, int menuY, int rowImageWidth, int rowImageHeight, int parentRow,
                     int subImageWidth, int subImageHeight, int subCount, int screenWidth,
                     int screenHeight) {
  const int n = ClampRowCount(subCount);
  int x = menuX + rowImageWidth + 20;
  if (x + subImageWidth > screenWidth) x = menuX + 20 - subImageWidth;
  int y = menuY + parentRow * rowImageHeight;
  // The long cascades of rows 8 and 10 are lifted so they stay beside the menu.
  if (parentRow == 8) {
    y -= 100;
  } else if (parentRow == 10 && n >= 7) {
    y -= 20 * n - 140;
  }
  const int width = subImageWidth + (parentRow == 10 ? 20 : 0);
  const int height = n * std::max(subImageHeight, 0) + 1;
  // Rows past the bottom of the screen could not be chosen.
  y = std::max(std::min(y, screenHeight - height), 0);
  return {x, y, x + width, y + height};
}

MenuRect CascadeRowRect(int subRow, int cascadeWidth, int subImageHeight) {
  return {0, 1 + subRow * subImageHeight, cascadeWidth, subRow * subImageHeight + subImageHeight};
}

MenuChoice RowChoice(int row, int rowId) {
  return {Words(row, 0), Words(rowId, 0)};
}

MenuChoice SubMenuReport(int parentRow, int subRow, int subRowId) {
  return {Words(parentRow, subRow), static_cast<std::uint32_t>(subRowId)};
}

MenuChoice CascadeChoice(const MenuChoice& subMenuReport, int parentRowId) {
  return {subMenuReport.wParam, Words(parentRowId, static_cast<int>(subMenuReport.lParam))};
}

DecodedMenuChoice DecodeMenuChoice(std::uint32_t wParam, std::uint32_t lParam) {
  return {static_cast<int>(wParam >> 16), static_cast<int>(wParam & 0xFFFF),
          static_cast<int>(lParam >> 16), static_cast<int>(lParam & 0xFFFF)};
}
