#include "agent/pointer_speed.h"

#include <algorithm>
#include <limits>

namespace {

bool IsWideSpace(char16_t ch) {
  return ch == u' ' || (ch >= u'\t' && ch <= u'\r');
}

}  // namespace

std::int32_t ParseRegistryInteger(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsWideSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) return static_cast<std::int32_t>(-value);
  return static_cast<std::int32_t>(std::min<std::int64_t>(value, kLimit - 1));
}

std::optional<std::int32_t> PointerSpeedOf(std::u16string_view text) {
  const std::int32_t value = ParseRegistryInteger(text);
  if (!RangeOf(ProfileField::MouseSensitivity).Contains(value)) return std::nullopt;
  return value;
}
