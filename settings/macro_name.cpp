#include "settings/macro_name.h"

namespace {

bool IsControl(char16_t ch) {
  return ch < 0x20 || (ch >= 0x7F && ch <= 0x9F);
}

bool IsForbidden(char16_t ch) {
  return std::u16string_view(u"\\/:*?\"<>|").find(ch) != std::u16string_view::npos;
}

// The upper case the file system compares names by, for the scripts names are written in
// (Latin, Greek, Cyrillic, full-width Latin); other characters compare as they are.
char16_t Upper(char16_t ch) {
  const auto shifted = [ch](int by) { return char16_t(ch - by); };
  if (ch < 0x80) return ch >= u'a' && ch <= u'z' ? shifted(0x20) : ch;
  if (ch >= 0xE0 && ch <= 0xFE && ch != 0xF7) return shifted(0x20);
  if (ch == 0xFF) return 0x178;
  // Latin Extended-A pairs: upper case even before 0x138, odd from 0x139 to 0x148 and from
  // 0x179, even again from 0x14A to 0x177.
  if (ch >= 0x100 && ch <= 0x137 && ch != 0x131) return char16_t(ch & ~1u);
  if ((ch >= 0x139 && ch <= 0x148) || (ch >= 0x179 && ch <= 0x17E)) {
    return ch % 2 == 0 ? shifted(1) : ch;
  }
  if (ch >= 0x14A && ch <= 0x177) return char16_t(ch & ~1u);
  if (ch >= 0x3B1 && ch <= 0x3CB && ch != 0x3C2) return shifted(0x20);
  if (ch == 0x3AC) return 0x386;
  if (ch >= 0x3AD && ch <= 0x3AF) return shifted(0x25);
  if (ch == 0x3CC) return 0x38C;
  if (ch == 0x3CD || ch == 0x3CE) return shifted(0x3F);
  if (ch >= 0x430 && ch <= 0x44F) return shifted(0x20);
  if (ch >= 0x450 && ch <= 0x45F) return shifted(0x50);
  if (ch >= 0xFF41 && ch <= 0xFF5A) return shifted(0x20);
  return ch;
}

bool IsReservedDeviceName(std::u16string_view name) {
  // The device is reserved whatever follows the first dot, and Windows ignores spaces before it.
  std::u16string_view base = name.substr(0, name.find(u'.'));
  while (!base.empty() && base.back() == u' ') base.remove_suffix(1);
  for (std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL"}) {
    if (SameMacroName(base, device)) return true;
  }
  if (base.size() == 4 && base[3] >= u'1' && base[3] <= u'9') {
    const std::u16string_view stem = base.substr(0, 3);
    if (SameMacroName(stem, u"COM") || SameMacroName(stem, u"LPT")) return true;
  }
  return false;
}

}  // namespace

bool SameMacroName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

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
