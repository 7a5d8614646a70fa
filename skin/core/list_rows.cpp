#include "skin/core/list_rows.h"

#include <climits>

namespace {

constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return (r << 16) | (g << 8) | b;
}

bool IsSpace(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r');
}

}  // namespace

ListRowIcon IconOfRowData(std::uintptr_t data) {
  switch (data) {
    case 0:
      return ListRowIcon::kNone;
    case kBlankIconRowData:
      return ListRowIcon::kBlankCell;
    case kPressRowData:
      return ListRowIcon::kPress;
    case kReleaseRowData:
      return ListRowIcon::kRelease;
    default:
      return ListRowIcon::kResourceBitmap;
  }
}

int RowTextOffset(std::uintptr_t data, bool plainTextLayout) {
  if (data == 0) return plainTextLayout ? 0 : 8;
  return plainTextLayout ? 16 : 32;
}

bool IsDelayRow(std::uintptr_t data) {
  return data == 0;
}

std::u16string DelayRowText(int value) {
  std::u16string text(46, u' ');
  const std::string digits = std::to_string(value);
  text.append(digits.begin(), digits.end());
  return text;
}

int ParseDecimal(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

int NumberAfterLastSpace(std::u16string_view text) {
  const std::size_t space = text.rfind(u' ');
  return ParseDecimal(space == std::u16string_view::npos ? text : text.substr(space + 1));
}

std::vector<std::uint32_t> PanelTexturePixels() {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kPanelWidth) * kPanelHeight,
                                    Rgb(85, 84, 84));
  // Two dark columns on each side, outermost darkest; then the top and bottom rows.
  const std::uint32_t outer = Rgb(3, 3, 3);
  const std::uint32_t inner = Rgb(21, 21, 21);
  for (int y = 0; y < kPanelHeight; ++y) {
    std::uint32_t* row = pixels.data() + static_cast<std::size_t>(y) * kPanelWidth;
    row[0] = outer;
    row[1] = inner;
    row[kPanelWidth - 2] = inner;
    row[kPanelWidth - 1] = outer;
  }
  for (int x = 0; x < kPanelWidth; ++x) {
    pixels[static_cast<std::size_t>(x)] = Rgb(21, 21, 21);
    pixels[static_cast<std::size_t>(kPanelHeight - 1) * kPanelWidth + x] = Rgb(7, 7, 7);
  }
  return pixels;
}
