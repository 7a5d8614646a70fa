#include "settings/ini_code_page.h"

#include <atomic>
#include <cstdint>

namespace {

// Windows-1252 bytes 0x80..0x9F; the five undefined ones map to the C1 controls of the same
// value, as the Windows conversion does, so every byte round-trips.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

class Windows1252 final : public IniCodePage {
 public:
  std::u16string Decode(std::string_view bytes) const override {
    std::u16string text(bytes.size(), u'\0');
    char16_t* out = text.data();
    for (char c : bytes) {
      const auto b = static_cast<std::uint8_t>(c);
      *out++ = b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char16_t(b);
    }
    return text;
  }

  bool Encode(std::u16string_view text, std::string& bytes) const override {
    for (char16_t c : text) {
      if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        bytes.push_back(static_cast<char>(c));
        continue;
      }
      bool found = false;
      for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == c) {
          bytes.push_back(static_cast<char>(0x80 + i));
          found = true;
          break;
        }
      }
      if (!found) return false;
    }
    return true;
  }
};

std::atomic<const IniCodePage*> g_codePage{nullptr};

}  // namespace

const IniCodePage& Windows1252CodePage() {
  static const Windows1252 codePage;
  return codePage;
}

const IniCodePage& AnsiCodePage() {
  const IniCodePage* codePage = g_codePage.load(std::memory_order_acquire);
  return codePage ? *codePage : PlatformAnsiCodePage();
}

void SetAnsiCodePage(const IniCodePage* codePage) {
  g_codePage.store(codePage, std::memory_order_release);
}
