#include "skin/core/bmp_menu_info.h"

#include <algorithm>

#include "skin/core/bmp_menu_layout.h"

namespace {

tagBMPMENUINFO MakeRow(std::u16string_view text, int id) {
  tagBMPMENUINFO row;
  const std::size_t length = std::min(text.size(), std::size(row.text) - 1);
  std::copy_n(text.begin(), length, row.text);
  row.text[length] = u'\0';
  row.id = id;
  return row;
}

}  // namespace

std::u16string_view tagBMPMENUINFO::Text() const {
  return std::u16string_view(text);
}

bool AddMenuRow(std::vector<tagBMPMENUINFO>& rows, std::u16string_view text, int id) {
  if (rows.size() >= static_cast<std::size_t>(kMaxMenuRows)) return false;
  rows.push_back(MakeRow(text, id));
  return true;
}

bool AddMenuSubRow(std::vector<tagBMPMENUINFO>& rows, int row, std::u16string_view text, int id) {
  if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) return false;
  tagBMPMENUINFO& parent = rows[static_cast<std::size_t>(row)];
  if (parent.subItems.size() >= static_cast<std::size_t>(kMaxMenuRows)) return false;
  parent.subItems.push_back(MakeRow(text, id));
  parent.hasSubItems = 1;
  return true;
}
