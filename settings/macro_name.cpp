#include "settings/macro_name.h"

namespace {

bool IsControl(char16_t ch) {
  return ch < 0x20 || (ch >= 0x7F && ch <= 0x9F);
}

bool IsForbidden(char16_t ch) {
  return std::u16string_view(u"\\/:*?\"<>|").find(ch) != std::u16string_view::npos;
}

char16_t Upper(char16_t ch) {
  return ch >= u'a' && ch <= u'z' ? char16_t(ch - u'a' + u'A') : ch;
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

bool IsReservedDeviceName(std::u16string_view name) {
  // The device is reserved whatever follows the first dot, and Windows ignores spaces before it.
  std::u16string_view base = name.substr(0, name.find(u'.'));
  while (!base.empty() && base.back() == u' ') base.remove_suffix(1);
  for (std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL"}) {
    if (EqualsIgnoringCase(base, device)) return true;
  }
  if (base.size() == 4 && base[3] >= u'1' && base[3] <= u'9') {
    const std::u16string_view stem = base.substr(0, 3);
    if (EqualsIgnoringCase(stem, u"COM") || EqualsIgnoringCase(stem, u"LPT")) return true;
  }
  return false;
}

}  // namespace

bool IsValidMacroName(std::u16string_view name) {
  if (name.empty() || name.size() > kMacroNameMaxLength) return false;
  for (char16_t ch : name) {
    if (IsControl(ch) || IsForbidden(ch)) return false;
  }
  for (char16_t edge : {name.front(), name.back()}) {
    if (edge == u' ' || edge == u'.') return false;
  }
  return !IsReservedDeviceName(name);
}
