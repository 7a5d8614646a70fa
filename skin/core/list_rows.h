#pragma once
// What an owner-drawn list row shows, decided by its row data, and the text of the delay rows
// that the list edits in place.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::uintptr_t kReleaseRowData = 137;  // 0x89, icon "424.png"
inline constexpr std::uintptr_t kPressRowData = 138;    // 0x8A, icon "423.png"
inline constexpr std::uintptr_t kBlankIconRowData = 1;  // room for an icon, none drawn

enum class ListRowIcon { kNone, kBlankCell, kPress, kRelease, kResourceBitmap };

ListRowIcon IconOfRowData(std::uintptr_t data);

// Where the row text starts, from the row's left edge.
int RowTextOffset(std::uintptr_t data, bool plainTextLayout);

// Only delay rows (data 0) are edited in place.
bool IsDelayRow(std::uintptr_t data);

// A delay row: 46 spaces and the value in decimal.
std::u16string DelayRowText(int value);

// A decimal integer as the C library reads it: leading white space, a sign, digits up to the
// first other character; 0 when there are none. Values beyond int are limited to its range.
int ParseDecimal(std::u16string_view text);

// The number after the text's last space (the whole text when there is none).
int NumberAfterLastSpace(std::u16string_view text);

// The macro list's built-in panel texture: kPanelWidth × kPanelHeight pixels, 0x00RRGGBB, top row
// first. Flat grey inside a dark frame.
inline constexpr int kPanelWidth = 175;
inline constexpr int kPanelHeight = 299;
std::vector<std::uint32_t> PanelTexturePixels();
