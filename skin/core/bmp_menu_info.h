#pragma once
// One row of a skinned popup menu and the rows of its cascade. A menu keeps a list of these;
// the list refuses rows past the number of row buttons a menu has.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct tagBMPMENUINFO {
  char16_t text[260] = {};  // zero-terminated, longer captions are cut
  std::uint8_t hasSubItems = 0;
  std::uint8_t subMenuOpen = 0;
  int id = 0;
  std::vector<tagBMPMENUINFO> subItems;  // the cascade's rows, in order

  std::u16string_view Text() const;
};

// Appends a row; false (nothing added) when the list already has kMaxMenuRows rows.
bool AddMenuRow(std::vector<tagBMPMENUINFO>& rows, std::u16string_view text, int id);

// Appends a cascade row to row `row` and marks it as having sub-items; false when the row does
// not exist or its cascade is full.
bool AddMenuSubRow(std::vector<tagBMPMENUINFO>& rows, int row, std::u16string_view text, int id);
