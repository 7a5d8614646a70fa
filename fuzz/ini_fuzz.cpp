// The INI engine: any bytes parse; an unchanged document writes back byte for byte; after a
// series of writes the document re-parses to what was written (and everything else reads as
// before), the way the Windows functions would read it.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "fuzz/fuzz_input.h"
#include "settings/ini_document.h"

namespace {

bool IsBlank(char16_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}

std::u16string Trimmed(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return std::u16string(text);
}

// A name as the engine uses it: up to a NUL, without surrounding white space, and without
// regard to ASCII case.
std::u16string Folded(std::u16string_view name) {
  std::u16string out = Trimmed(name.substr(0, name.find(u'\0')));
  for (char16_t& c : out) {
    if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
  }
  return out;
}

bool HasLineBreak(std::u16string_view name) {
  return name.find_first_of(u"\r\n") != std::u16string_view::npos;
}

// A key the engine writes (a folded name): not empty, no line break, not read as a section.
bool IsWrittenKey(std::u16string_view key) {
  return !key.empty() && key.front() != u'[' && !HasLineBreak(key);
}

// What a value reads back as: one line, without surrounding white space, cut to the buffer.
std::u16string AsRead(std::u16string_view value) {
  const std::size_t stop = value.find_first_of(std::u16string_view(u"\0\r\n", 3));
  return Trimmed(value.substr(0, stop)).substr(0, 4095);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::string bytes = input.Text(input.Word());
  IniDocument doc = IniDocument::Parse(bytes);
  if (!doc.Refused()) FUZZ_CHECK(doc.Serialize() == bytes);

  // Lookups of any name answer something, and the same on a copy.
  const IniDocument original = doc;
  const std::u16string probeSection = input.Units(kInterestingUnits, 16);
  const std::u16string probeKey = input.Units(kInterestingUnits, 16);
  const std::u16string before = doc.GetText(probeSection, probeKey, u"\x01", 4096);
  const int beforeInt = doc.GetInt(probeSection, probeKey, -7);
  unsigned char block[8];
  doc.GetBlock(probeSection, probeKey, block, input.Below(sizeof block + 1));

  // Writes: the last value written to each (section, key) is what reads back.
  std::map<std::pair<std::u16string, std::u16string>, std::u16string> written;
  std::set<std::u16string> touched;  // sections written to
  for (int op = 0; op < 8 && !input.Empty(); ++op) {
    const std::u16string section = input.Units(kInterestingUnits, 12);
    const std::u16string key = input.Units(kInterestingUnits, 12);
    std::u16string value;
    switch (input.Byte() % 3) {
      case 0:
        value = input.Units(kInterestingUnits, 600);
        break;
      case 1: {
        const int number = static_cast<int>(input.Word() << 16 | input.Word());
        doc.SetInt(section, key, number);
        const std::string digits = std::to_string(number);
        value.assign(digits.begin(), digits.end());
        break;
      }
      default: {
        const std::vector<std::uint8_t> raw = input.Bytes(input.Below(64));
        value = EncodeIniBlock(raw.data(), raw.size());
        std::vector<std::uint8_t> back(raw.size());
        FUZZ_CHECK(DecodeIniBlock(value, back.data(), back.size()));
        FUZZ_CHECK(back == raw);
        break;
      }
    }
    doc.SetText(section, key, value);
    // A key with '=' writes a line that reads as another key of its section: it is no longer
    // known what the section holds.
    const std::u16string foldedSection = Folded(section);
    const std::u16string foldedKey = Folded(key);
    if (!IsWrittenKey(foldedKey) || HasLineBreak(foldedSection)) continue;
    touched.insert(foldedSection);
    if (foldedKey.find(u'=') == std::u16string::npos) {
      written[{foldedSection, foldedKey}] = AsRead(value);
    } else {
      std::erase_if(written, [&](const auto& entry) { return entry.first.first == foldedSection; });
    }
  }
  if (written.empty()) return 0;

  const IniDocument back = IniDocument::Parse(doc.Serialize());
  FUZZ_CHECK(!back.Refused() || original.Refused());
  for (const auto& [name, value] : written) {
    FUZZ_CHECK(back.GetText(name.first, name.second, u"\x01", 4096) == value);
  }
  // A name that was not written to reads as before.
  const std::u16string foldedSection = Folded(probeSection);
  const std::u16string foldedKey = Folded(probeKey);
  if (!written.count({foldedSection, foldedKey}) && !original.Refused() &&
      IsWrittenKey(foldedKey) && foldedKey.find(u'=') == std::u16string::npos &&
      !HasLineBreak(foldedSection) && !foldedSection.empty()) {
    if (!touched.count(foldedSection)) {
      FUZZ_CHECK(back.GetText(probeSection, probeKey, u"\x01", 4096) == before);
      FUZZ_CHECK(back.GetInt(probeSection, probeKey, -7) == beforeInt);
    }
  }
  return 0;
}
