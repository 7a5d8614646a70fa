#include "settings/ini_document.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "settings/ini_code_page.h"
#include "settings/utf8.h"

namespace {

constexpr std::size_t npos = std::u16string::npos;

// The private-profile functions treat these as white space (Ctrl-Z included: old files end
// with it).
bool IsBlank(char16_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}

std::u16string_view CutAtNul(std::u16string_view text) {
  const std::size_t nul = text.find(u'\0');
  return nul == npos ? text : text.substr(0, nul);
}

// Names are C strings to the Windows functions, and compared trimmed.
std::u16string_view CleanName(std::u16string_view name) {
  name = CutAtNul(name);
  while (!name.empty() && IsBlank(name.front())) name.remove_prefix(1);
  while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
  return name;
}

// Names compare without regard to ASCII case only, as the Windows functions under Wine do;
// other letters must match exactly.
char16_t Fold(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

bool IsComment(std::u16string_view text) {
  for (char16_t c : text) {
    if (!IsBlank(c)) return c == u';' || c == u'#';
  }
  return false;
}

void AppendAnsi(std::u16string_view text, std::string& out) {
  const IniCodePage& codePage = AnsiCodePage();
  std::string bytes;
  if (codePage.Encode(text, bytes)) {
    out += bytes;
    return;
  }
  // Only reached if the code page changed under us; never write a partial line.
  for (char16_t c : text) {
    bytes.clear();
    out += codePage.Encode(std::u16string_view(&c, 1), bytes) ? bytes : std::string("?");
  }
}

void AppendUtf16(std::u16string_view text, bool bigEndian, std::string& out) {
  for (char16_t c : text) {
    const char low = char(c & 0xFF);
    const char high = char(c >> 8);
    out.push_back(bigEndian ? high : low);
    out.push_back(bigEndian ? low : high);
  }
}

// What RtlUnicodeStringToInteger does with base 0, as GetPrivateProfileIntW calls it: skip
// leading characters up to the space, an optional sign, an optional 0x, 0o or 0b prefix (any
// case), then digits of that base; anything else ends the number. Overflow wraps.
int ParseInteger(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] <= u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  std::uint32_t base = 10;
  if (i + 1 < text.size() && text[i] == u'0') {
    switch (text[i + 1] | 0x20) {
      case u'x':
        base = 16;
        break;
      case u'o':
        base = 8;
        break;
      case u'b':
        base = 2;
        break;
      default:
        break;
    }
    if (base != 10) i += 2;
  }
  std::uint32_t total = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    std::uint32_t digit = 99;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    if (c >= u'A' && c <= u'Z') digit = c - u'A' + 10;
    if (c >= u'a' && c <= u'z') digit = c - u'a' + 10;
    if (digit >= base) break;
    total = total * base + digit;
  }
  if (negative) total = 0u - total;
  return static_cast<int>(total);
}

// GetPrivateProfileStringW copies a value with matching surrounding quotes without them, and
// cuts to the buffer.
std::u16string CopyEntry(std::u16string_view value, std::size_t bufferUnits) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::u16string(value.substr(0, bufferUnits - 1));
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

}  // namespace

struct IniDocument::Line {
  enum class Kind : std::uint8_t { Blank, Section, Entry };

  std::u16string text;  // without its line end
  std::u16string eol;   // "\r\n", "\n", "\r", or empty on a last line without one
  std::string raw;      // bytes as read (ANSI and UTF-8 files) while `original`
  bool original = false;
  Kind kind = Kind::Blank;
  std::size_t nameBegin = 0;
  std::size_t nameEnd = 0;
  std::size_t valueBegin = npos;  // npos: a key without '='
  std::size_t valueEnd = 0;

  // Splits the line the way the private-profile functions read it: trimmed, "[name]" up to
  // the last ']', otherwise a key up to the first '=' with the rest as its value.
  void Classify() {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    valueBegin = npos;
    if (begin == end) {
      kind = Kind::Blank;
      return;
    }
    if (text[begin] == u'[') {
      const std::size_t close = std::u16string_view(text).substr(0, end).rfind(u']');
      if (close != npos && close > begin) {
        kind = Kind::Section;
        nameBegin = begin + 1;
        nameEnd = close;
        while (nameBegin < nameEnd && IsBlank(text[nameBegin])) ++nameBegin;
        while (nameEnd > nameBegin && IsBlank(text[nameEnd - 1])) --nameEnd;
        return;
      }
    }
    kind = Kind::Entry;
    nameBegin = begin;
    const std::size_t equals = std::u16string_view(text).substr(0, end).find(u'=', begin);
    if (equals == npos) {
      nameEnd = end;
      return;
    }
    nameEnd = equals;
    while (nameEnd > begin && IsBlank(text[nameEnd - 1])) --nameEnd;
    valueBegin = equals + 1;
    while (valueBegin < end && IsBlank(text[valueBegin])) ++valueBegin;
    valueEnd = end;
  }

  std::u16string_view Name() const {
    return CutAtNul(std::u16string_view(text).substr(nameBegin, nameEnd - nameBegin));
  }
  bool HasValue() const { return kind == Kind::Entry && valueBegin != npos; }
  std::u16string_view Value() const {
    return CutAtNul(std::u16string_view(text).substr(valueBegin, valueEnd - valueBegin));
  }
};

namespace {

using Line = IniDocument::Line;

struct SectionRange {
  std::size_t begin;  // first line after the header
  std::size_t end;    // the next header or the end of the file
};

std::size_t NextHeader(const std::vector<Line>& lines, std::size_t from) {
  while (from < lines.size() && lines[from].kind != Line::Kind::Section) ++from;
  return from;
}

// The first section of that name; the lines before any header form the nameless section.
std::optional<SectionRange> FindSection(const std::vector<Line>& lines, std::u16string_view name) {
  if (name.empty()) return SectionRange{0, NextHeader(lines, 0)};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == Line::Kind::Section && SameName(lines[i].Name(), name)) {
      return SectionRange{i + 1, NextHeader(lines, i + 1)};
    }
  }
  return std::nullopt;
}

std::size_t FindKey(const std::vector<Line>& lines, SectionRange range, std::u16string_view key) {
  for (std::size_t i = range.begin; i < range.end; ++i) {
    if (lines[i].kind == Line::Kind::Entry && SameName(lines[i].Name(), key)) return i;
  }
  return npos;
}

void SplitLines(std::u16string_view text, std::vector<Line>& lines) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t stop = std::min(text.find_first_of(u"\r\n", start), text.size());
    std::size_t next = stop;
    if (next < text.size()) {
      next += (text[next] == u'\r' && next + 1 < text.size() && text[next + 1] == u'\n') ? 2 : 1;
    }
    Line line;
    line.text.assign(text.substr(start, stop - start));
    line.eol.assign(text.substr(stop, next - stop));
    line.original = true;
    line.Classify();
    lines.push_back(std::move(line));
    start = next;
  }
}

template <typename Decode>
void SplitByteLines(std::string_view bytes, Decode decode, std::vector<Line>& lines) {
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t stop = std::min(bytes.find_first_of("\r\n", start), bytes.size());
    std::size_t next = stop;
    if (next < bytes.size()) {
      next += (bytes[next] == '\r' && next + 1 < bytes.size() && bytes[next + 1] == '\n') ? 2 : 1;
    }
    Line line;
    line.text = decode(bytes.substr(start, stop - start));
    for (std::size_t i = stop; i < next; ++i) line.eol.push_back(char16_t(bytes[i]));
    line.raw.assign(bytes.substr(start, next - start));
    line.original = true;
    line.Classify();
    lines.push_back(std::move(line));
    start = next;
  }
}

}  // namespace

IniDocument::IniDocument() : m_encoding(IniEncoding::Utf16Le) {}
IniDocument::~IniDocument() = default;
IniDocument::IniDocument(const IniDocument&) = default;
IniDocument::IniDocument(IniDocument&&) noexcept = default;
IniDocument& IniDocument::operator=(const IniDocument&) = default;
IniDocument& IniDocument::operator=(IniDocument&&) noexcept = default;

IniDocument IniDocument::Parse(std::string_view bytes) {
  IniDocument doc;
  if (bytes.empty()) return doc;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
    doc.m_encoding = IniEncoding::Utf8;
    doc.m_hasBom = true;
    SplitByteLines(bytes.substr(3), Utf8ToUtf16, doc.m_lines);
  } else if (bytes.size() >= 2 &&
             ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF))) {
    const bool bigEndian = byte(0) == 0xFE;
    doc.m_encoding = bigEndian ? IniEncoding::Utf16Be : IniEncoding::Utf16Le;
    doc.m_hasBom = true;
    const std::size_t units = (bytes.size() - 2) / 2;
    std::u16string text(units, u'\0');
    for (std::size_t i = 0; i < units; ++i) {
      const char16_t first = byte(2 + 2 * i);
      const char16_t second = byte(3 + 2 * i);
      text[i] = bigEndian ? char16_t(first << 8 | second) : char16_t(second << 8 | first);
    }
    // A torn last unit is not text; it is kept only to write the file back unchanged.
    doc.m_tail.assign(bytes.substr(2 + 2 * units));
    SplitLines(text, doc.m_lines);
  } else {
    doc.m_encoding = IniEncoding::Ansi;
    const IniCodePage& codePage = AnsiCodePage();
    SplitByteLines(
        bytes, [&](std::string_view line) { return codePage.Decode(line); }, doc.m_lines);
  }
  for (const Line& line : doc.m_lines) {
    if (!line.eol.empty()) {
      doc.m_newline = line.eol;
      break;
    }
  }
  return doc;
}

std::string IniDocument::Serialize() const {
  std::string out;
  const bool bytesKept = m_encoding == IniEncoding::Ansi || m_encoding == IniEncoding::Utf8;
  if (m_encoding != IniEncoding::Ansi && (m_hasBom || !m_lines.empty())) {
    switch (m_encoding) {
      case IniEncoding::Utf8:
        out = "\xEF\xBB\xBF";
        break;
      case IniEncoding::Utf16Le:
        out = "\xFF\xFE";
        break;
      case IniEncoding::Utf16Be:
        out = "\xFE\xFF";
        break;
      case IniEncoding::Ansi:
        break;
    }
  }
  std::u16string text;
  for (const Line& line : m_lines) {
    if (bytesKept && line.original) {
      out += line.raw;
      continue;
    }
    text = line.text;
    text += line.eol;
    switch (m_encoding) {
      case IniEncoding::Ansi:
        AppendAnsi(text, out);
        break;
      case IniEncoding::Utf8:
        AppendUtf8(text, out);
        break;
      case IniEncoding::Utf16Le:
        AppendUtf16(text, false, out);
        break;
      case IniEncoding::Utf16Be:
        AppendUtf16(text, true, out);
        break;
    }
  }
  out += m_tail;
  return out;
}

IniEncoding IniDocument::Encoding() const {
  return m_encoding;
}

bool IniDocument::Modified() const {
  return m_modified;
}

void IniDocument::MarkSaved() {
  m_modified = false;
}

void IniDocument::MarkChanged() {
  m_modified = true;
  m_tail.clear();
}

std::optional<std::u16string> IniDocument::Find(std::u16string_view section,
                                                std::u16string_view key) const {
  key = CleanName(key);
  const std::optional<SectionRange> range = FindSection(m_lines, CleanName(section));
  if (!range) return std::nullopt;
  const std::size_t index = FindKey(m_lines, *range, key);
  if (index == npos || !m_lines[index].HasValue()) return std::nullopt;
  return std::u16string(m_lines[index].Value());
}

std::u16string IniDocument::GetText(std::u16string_view section, std::u16string_view key,
                                    std::u16string_view defaultText,
                                    std::size_t bufferUnits) const {
  if (bufferUnits == 0) return {};
  // The default loses trailing spaces (but never its first character), as in the API.
  defaultText = CutAtNul(defaultText);
  std::size_t last = defaultText.size();
  while (last > 1 && defaultText[last - 1] == u' ') --last;
  defaultText = defaultText.substr(0, last);
  const std::optional<std::u16string> value = Find(section, key);
  return CopyEntry(value ? std::u16string_view(*value) : defaultText, bufferUnits);
}

int IniDocument::GetInt(std::u16string_view section, std::u16string_view key,
                        int defaultValue) const {
  // The API reads the value through a 30-unit buffer first.
  const std::u16string text = GetText(section, key, u"", 30);
  return text.empty() ? defaultValue : ParseInteger(text);
}

bool IniDocument::GetBlock(std::u16string_view section, std::u16string_view key, void* buffer,
                           std::size_t size) const {
  const std::optional<std::u16string> value = Find(section, key);
  return value && DecodeIniBlock(*value, buffer, size);
}

void IniDocument::SetText(std::u16string_view section, std::u16string_view key,
                          std::u16string_view text) {
  section = CleanName(section);
  key = CleanName(key);
  if (key.empty()) return;
  // A line break would end the line and turn the rest into keys of its own.
  const std::size_t stop = text.find_first_of(std::u16string_view(u"\0\r\n", 3));
  if (stop != npos) text = text.substr(0, stop);
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);

  const std::optional<SectionRange> range = FindSection(m_lines, section);
  if (!range) {
    std::u16string header = u"[";
    header += section;
    header += u"]";
    InsertLine(m_lines.size(), std::move(header));
    std::u16string entry(key);
    entry += u"=";
    entry += text;
    InsertLine(m_lines.size(), std::move(entry));
    return;
  }
  const std::size_t index = FindKey(m_lines, *range, key);
  if (index != npos) {
    Line& line = m_lines[index];
    if (line.HasValue() && line.Value() == text) return;
    std::u16string changed;
    if (line.HasValue()) {
      changed = line.text.substr(0, line.valueBegin);
    } else {
      changed = line.text.substr(0, line.nameEnd);
      changed += u"=";
    }
    changed += text;
    EnsureEncodable(changed);
    line.text = std::move(changed);
    line.original = false;
    line.raw.clear();
    line.Classify();
    MarkChanged();
    return;
  }
  // After the last key of the section, so blank lines and comments before the next section
  // stay where they are.
  std::size_t position = range->begin;
  for (std::size_t i = range->begin; i < range->end; ++i) {
    if (m_lines[i].kind == Line::Kind::Entry && !IsComment(m_lines[i].text)) position = i + 1;
  }
  std::u16string entry(key);
  entry += u"=";
  entry += text;
  InsertLine(position, std::move(entry));
}

void IniDocument::SetInt(std::u16string_view section, std::u16string_view key, int value) {
  const std::string digits = std::to_string(value);
  SetText(section, key, std::u16string(digits.begin(), digits.end()));
}

void IniDocument::SetBlock(std::u16string_view section, std::u16string_view key, const void* buffer,
                           std::size_t size) {
  SetText(section, key, EncodeIniBlock(buffer, size));
}

std::size_t IniDocument::InsertLine(std::size_t index, std::u16string text) {
  EnsureEncodable(text);
  if (index > 0 && m_lines[index - 1].eol.empty()) {
    Line& previous = m_lines[index - 1];
    previous.eol = m_newline;
    // The line ends are ASCII in every encoding whose bytes we keep.
    if (previous.original) previous.raw.append(m_newline.begin(), m_newline.end());
  }
  Line line;
  line.text = std::move(text);
  line.eol = m_newline;
  line.Classify();
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
  MarkChanged();
  return index;
}

void IniDocument::EnsureEncodable(std::u16string_view text) {
  if (m_encoding != IniEncoding::Ansi) return;
  std::string bytes;
  // An ANSI file would turn these characters into '?'; keeping them matters more than
  // keeping the encoding, and both programs read UTF-16 files alike.
  if (!AnsiCodePage().Encode(text, bytes)) {
    m_encoding = IniEncoding::Utf16Le;
    m_hasBom = true;
  }
}

std::u16string EncodeIniBlock(const void* buffer, std::size_t size) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  std::u16string text;
  text.reserve(2 * size + 2);
  unsigned sum = 0;
  for (std::size_t i = 0; i < size; ++i) {
    text.push_back(kHex[bytes[i] >> 4]);
    text.push_back(kHex[bytes[i] & 0x0F]);
    sum += bytes[i];
  }
  text.push_back(kHex[(sum >> 4) & 0x0F]);
  text.push_back(kHex[sum & 0x0F]);
  return text;
}

bool DecodeIniBlock(std::u16string_view text, void* buffer, std::size_t size) {
  if (size > (std::numeric_limits<std::size_t>::max() - 2) / 2 || text.size() != 2 * size + 2) {
    return false;
  }
  std::vector<unsigned char> bytes(size + 1);
  unsigned sum = 0;
  for (std::size_t i = 0; i <= size; ++i) {
    const int high = HexDigit(text[2 * i]);
    const int low = HexDigit(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[i] = static_cast<unsigned char>(high << 4 | low);
    if (i < size) sum += bytes[i];
  }
  if ((sum & 0xFF) != bytes[size]) return false;
  if (size > 0) std::memcpy(buffer, bytes.data(), size);
  return true;
}
