// The system's ANSI code page for INI files without a byte-order mark: the private-profile
// functions read such files through CP_ACP, so ours must too.
#include <windows.h>

#include <string>
#include <string_view>

#include "settings/ini_code_page.h"
#include "win/text.h"

namespace {

class SystemCodePage final : public IniCodePage {
 public:
  std::u16string Decode(std::string_view bytes) const override {
    std::u16string text;
    if (bytes.empty()) return text;
    const int size = static_cast<int>(bytes.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    if (units <= 0) return text;
    text.resize(static_cast<std::size_t>(units));
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, AsWide(text.data()), units);
    return text;
  }

  bool Encode(std::u16string_view text, std::string& bytes) const override {
    if (text.empty()) return true;
    const auto* wide = AsWide(text.data());
    const int units = static_cast<int>(text.size());
    // A UTF-8 system code page maps everything but lone surrogates; the default-character
    // report is not allowed for it.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* report = utf8 ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(CP_ACP, flags, wide, units, nullptr, 0, nullptr, report);
    if (size <= 0 || usedDefault) return false;
    std::string converted(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide, units, converted.data(), size, nullptr, report);
    if (usedDefault) return false;
    bytes += converted;
    return true;
  }
};

}  // namespace

const IniCodePage& PlatformAnsiCodePage() {
  static const SystemCodePage codePage;
  return codePage;
}
