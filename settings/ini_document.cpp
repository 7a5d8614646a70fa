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
// leading characters up to the space, an optional sign, an optional 0x, 0o or 0b prefix (lower
// case only: "0X10" reads as 0), then digits of that base; anything else ends the number.
// Overflow wraps.
int ParseInteger(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] <= u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  std::uint32_t base = 10;
  if (i + 1 < text.size() && text[i] == u'0') {
    switch (text[i + 1]) {
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

enum class IniDocument::Eol : std::uint8_t { None, Lf, Cr, CrLf };
enum class IniDocument::LineKind : std::uint8_t { Blank, Section, Entry };

namespace {

using Eol = IniDocument::Eol;
using LineKind = IniDocument::LineKind;

std::u16string_view EolText(Eol eol) {
  switch (eol) {
    case Eol::Lf:
      return u"\n";
    case Eol::Cr:
      return u"\r";
    case Eol::CrLf:
      return u"\r\n";
    case Eol::None:
      break;
  }
  return {};
}

// How the private-profile functions read a line: trimmed, "[name]" up to the last ']',
// otherwise a key up to the first '=' with the rest as its value.
struct LineShape {
  LineKind kind = LineKind::Blank;
  std::size_t nameBegin = 0;
  std::size_t nameEnd = 0;
  std::size_t valueBegin = npos;  // npos: a key without '='
  std::size_t valueEnd = 0;
};

LineShape Classify(std::u16string_view text) {
  LineShape shape;
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  if (begin == end) return shape;
  if (text[begin] == u'[') {
    const std::size_t close = text.substr(0, end).rfind(u']');
    if (close != npos && close > begin) {
      shape.kind = LineKind::Section;
      shape.nameBegin = begin + 1;
      shape.nameEnd = close;
      while (shape.nameBegin < shape.nameEnd && IsBlank(text[shape.nameBegin])) ++shape.nameBegin;
      while (shape.nameEnd > shape.nameBegin && IsBlank(text[shape.nameEnd - 1])) --shape.nameEnd;
      return shape;
    }
  }
  shape.kind = LineKind::Entry;
  shape.nameBegin = begin;
  const std::size_t equals = text.substr(0, end).find(u'=', begin);
  if (equals == npos) {
    shape.nameEnd = end;
    return shape;
  }
  shape.nameEnd = equals;
  while (shape.nameEnd > begin && IsBlank(text[shape.nameEnd - 1])) --shape.nameEnd;
  shape.valueBegin = equals + 1;
  while (shape.valueBegin < end && IsBlank(text[shape.valueBegin])) ++shape.valueBegin;
  shape.valueEnd = end;
  return shape;
}

std::u16string_view NameOf(std::u16string_view text, const LineShape& shape) {
  return CutAtNul(text.substr(shape.nameBegin, shape.nameEnd - shape.nameBegin));
}

// A hash of the name as names compare (ASCII case folded), so that lookups classify only the
// lines that may match.
std::uint32_t NameHash(std::u16string_view name) {
  std::uint32_t hash = 2166136261u;
  for (char16_t c : name) hash = (hash ^ Fold(c)) * 16777619u;
  return hash;
}

std::uint32_t LineNameHash(std::u16string_view text) {
  const LineShape shape = Classify(text);
  return shape.kind == LineKind::Blank ? 0 : NameHash(NameOf(text, shape));
}

std::u16string_view ValueOf(std::u16string_view text, const LineShape& shape) {
  return CutAtNul(text.substr(shape.valueBegin, shape.valueEnd - shape.valueBegin));
}

// The parse may hold this many bytes of line records per byte of file (plus a little): a file
// that needs more (millions of one-character keys) is refused as unreadable. Blank lines cost
// nothing, as a run of them is one record.
constexpr std::size_t kLineBytesPerFileByte = 4;
constexpr std::size_t kLineBytesAllowance = 64 * 1024;
// Offsets are 32-bit.
constexpr std::size_t kMaxParsedBytes = std::size_t{1} << 30;

}  // namespace

// One line of the file, or a run of blank lines read from it. The text is not held here: an
// original line's text is a range of the document's decoded text (and its bytes a range of the
// bytes as read), a changed or added line's a range of the edits.
struct IniDocument::Line {
  std::uint32_t begin = 0;
  std::uint32_t length = 0;  // without the last line end
  std::uint32_t rawBegin = 0;
  std::uint32_t rawLength = 0;  // with its line ends
  std::uint32_t nameHash = 0;
  Eol eol = Eol::None;
  LineKind kind = LineKind::Blank;
  bool original = false;
  bool eolAdded = false;  // an original last line that got a line end
};

namespace {

using Line = IniDocument::Line;

}  // namespace

std::u16string_view IniDocument::TextOf(const Line& line) const {
  const std::u16string& store = line.original ? m_text : m_edits;
  return std::u16string_view(store).substr(line.begin, line.length);
}

std::size_t IniDocument::NextHeader(std::size_t from) const {
  while (from < m_lines.size() && m_lines[from].kind != LineKind::Section) ++from;
  return from;
}

// The first section of that name (a range of lines: after the header up to the next one); the
// lines before any header form the nameless section.
std::optional<std::pair<std::size_t, std::size_t>> IniDocument::FindSection(
    std::u16string_view name) const {
  if (name.empty()) return std::pair{std::size_t{0}, NextHeader(0)};
  const std::uint32_t hash = NameHash(name);
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    if (m_lines[i].kind != LineKind::Section || m_lines[i].nameHash != hash) continue;
    const std::u16string_view text = TextOf(m_lines[i]);
    if (SameName(NameOf(text, Classify(text)), name)) return std::pair{i + 1, NextHeader(i + 1)};
  }
  return std::nullopt;
}

std::size_t IniDocument::FindKey(std::pair<std::size_t, std::size_t> range,
                                 std::u16string_view key) const {
  const std::uint32_t hash = NameHash(key);
  for (std::size_t i = range.first; i < range.second; ++i) {
    if (m_lines[i].kind != LineKind::Entry || m_lines[i].nameHash != hash) continue;
    const std::u16string_view text = TextOf(m_lines[i]);
    if (SameName(NameOf(text, Classify(text)), key)) return i;
  }
  return npos;
}

// Splits decoded lines into records, a run of blank lines into one. `decode` appends a line's
// text to the document's text; false when the records outgrow `maxLines`.
template <typename Units, typename Decode>
bool IniDocument::SplitLines(Units units, bool keepRaw, std::size_t maxLines, Decode decode) {
  using Unit = typename Units::value_type;
  std::size_t start = 0;
  while (start < units.size()) {
    std::size_t stop = start;
    while (stop < units.size() && units[stop] != Unit('\r') && units[stop] != Unit('\n')) ++stop;
    std::size_t next = stop;
    Eol eol = Eol::None;
    if (next < units.size()) {
      const bool crlf =
          units[next] == Unit('\r') && next + 1 < units.size() && units[next + 1] == Unit('\n');
      eol = crlf ? Eol::CrLf : (units[next] == Unit('\r') ? Eol::Cr : Eol::Lf);
      next += crlf ? 2 : 1;
    }
    const std::size_t textBegin = m_text.size();
    decode(units.substr(start, stop - start));
    const std::size_t textEnd = m_text.size();
    m_text.append(EolText(eol));
    const std::u16string_view lineText =
        std::u16string_view(m_text).substr(textBegin, textEnd - textBegin);
    const LineShape shape = Classify(lineText);
    const LineKind kind = shape.kind;
    if (m_newline == Eol::None) m_newline = eol;
    if (kind == LineKind::Blank && !m_lines.empty() && m_lines.back().kind == LineKind::Blank) {
      // The run goes on: its text now reaches to the end of this line.
      Line& run = m_lines.back();
      run.length = static_cast<std::uint32_t>(textEnd - run.begin);
      run.rawLength += static_cast<std::uint32_t>(keepRaw ? next - start : 0);
      run.eol = eol;
    } else {
      if (m_lines.size() >= maxLines) return false;
      Line line;
      line.begin = static_cast<std::uint32_t>(textBegin);
      line.length = static_cast<std::uint32_t>(textEnd - textBegin);
      line.rawBegin = static_cast<std::uint32_t>(keepRaw ? start : 0);
      line.rawLength = static_cast<std::uint32_t>(keepRaw ? next - start : 0);
      line.eol = eol;
      line.kind = kind;
      line.nameHash = kind == LineKind::Blank ? 0 : NameHash(NameOf(lineText, shape));
      line.original = true;
      m_lines.push_back(line);
    }
    start = next;
  }
  return true;
}

IniDocument::IniDocument() : m_encoding(IniEncoding::Utf16Le), m_newline(Eol::CrLf) {}
IniDocument::~IniDocument() = default;
IniDocument::IniDocument(const IniDocument&) = default;
IniDocument::IniDocument(IniDocument&&) noexcept = default;
IniDocument& IniDocument::operator=(const IniDocument&) = default;
IniDocument& IniDocument::operator=(IniDocument&&) noexcept = default;

IniDocument IniDocument::Parse(std::string_view bytes) {
  IniDocument doc;
  if (bytes.empty()) return doc;
  if (bytes.size() > kMaxParsedBytes) {
    doc.m_refused = true;
    return doc;
  }
  // A run of blank lines is one record; anything else costs a record per line, within budget.
  const std::size_t maxLines =
      (kLineBytesPerFileByte * bytes.size() + kLineBytesAllowance) / sizeof(Line);
  doc.m_newline = Eol::None;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  bool withinBudget = true;
  if (bytes.size() >= 2 &&
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
    doc.m_text.reserve(text.size());
    withinBudget = doc.SplitLines(std::u16string_view(text), false, maxLines,
                                  [&](std::u16string_view line) { doc.m_text.append(line); });
  } else {
    // ANSI and UTF-8 files keep their bytes, so unchanged lines are written back exactly.
    const bool utf8 = bytes.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF;
    if (utf8) {
      doc.m_encoding = IniEncoding::Utf8;
      doc.m_hasBom = true;
      bytes.remove_prefix(3);
    } else {
      doc.m_encoding = IniEncoding::Ansi;
    }
    doc.m_raw.assign(bytes);
    const IniCodePage& codePage = AnsiCodePage();
    withinBudget = doc.SplitLines(bytes, true, maxLines, [&](std::string_view line) {
      doc.m_text.append(utf8 ? Utf8ToUtf16(line) : codePage.Decode(line));
    });
  }
  if (!withinBudget) {
    doc = IniDocument();
    doc.m_refused = true;
    return doc;
  }
  if (doc.m_newline == Eol::None) doc.m_newline = Eol::CrLf;
  return doc;
}

bool IniDocument::Refused() const {
  return m_refused;
}

std::string IniDocument::Serialize() const {
  std::string out;
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
  const bool bytesKept = m_encoding == IniEncoding::Ansi || m_encoding == IniEncoding::Utf8;
  std::u16string text;
  for (const Line& line : m_lines) {
    if (bytesKept && line.original) {
      out.append(m_raw, line.rawBegin, line.rawLength);
      // The line ends are ASCII in every encoding whose bytes we keep.
      if (line.eolAdded) {
        for (char16_t c : EolText(line.eol)) out.push_back(char(c));
      }
      continue;
    }
    text = TextOf(line);
    text += EolText(line.eol);
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
  // An ANSI file whose first bytes became a byte-order mark ("\xFF\xFE" from a name such as
  // "\u00FF\u00FE") would read back as Unicode: it becomes a Unicode file instead.
  if (m_encoding != IniEncoding::Ansi) return;
  std::string head;
  for (std::size_t i = 0; i < m_lines.size() && head.size() < 3; ++i) {
    const Line& line = m_lines[i];
    if (line.original) {
      head.append(m_raw, line.rawBegin, line.rawLength);
    } else {
      std::u16string text(TextOf(line));
      text += EolText(line.eol);
      AppendAnsi(text, head);
    }
  }
  const auto starts = [&head](std::string_view mark) { return head.starts_with(mark); };
  if (starts("\xFF\xFE") || starts("\xFE\xFF") || starts("\xEF\xBB\xBF")) {
    m_encoding = IniEncoding::Utf16Le;
    m_hasBom = true;
  }
}

std::optional<std::u16string> IniDocument::Find(std::u16string_view section,
                                                std::u16string_view key) const {
  key = CleanName(key);
  const auto range = FindSection(CleanName(section));
  if (!range) return std::nullopt;
  const std::size_t index = FindKey(*range, key);
  if (index == npos) return std::nullopt;
  const std::u16string_view text = TextOf(m_lines[index]);
  const LineShape shape = Classify(text);
  if (shape.valueBegin == npos) return std::nullopt;
  return std::u16string(ValueOf(text, shape));
}

bool IniDocument::HasSection(std::u16string_view section) const {
  section = CleanName(section);
  return !section.empty() && FindSection(section).has_value();
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
  // A line break in a name would start a line of its own, and a key line that begins with '['
  // reads as a section header: either writes a section or key of someone else's.
  constexpr std::u16string_view kLineBreaks = u"\r\n";
  if (key.empty() || key.front() == u'[' || key.find_first_of(kLineBreaks) != npos ||
      section.find_first_of(kLineBreaks) != npos) {
    return;
  }
  // A line break would end the line and turn the rest into keys of its own.
  const std::size_t stop = text.find_first_of(std::u16string_view(u"\0\r\n", 3));
  if (stop != npos) text = text.substr(0, stop);
  // White space around the value is not read back: it is not written either, so the quotes
  // below are the ones the reader sees.
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  // The reader drops one pair of matching quotes: a value that has them of its own gets another
  // pair, so that it reads back as it was written.
  std::u16string quoted;
  if (text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') &&
      text.back() == text.front()) {
    quoted = u"\"";
    quoted += text;
    quoted += u"\"";
    text = quoted;
  }

  const auto range = FindSection(section);
  if (!range) {
    std::u16string header = u"[";
    header += section;
    header += u"]";
    InsertLine(m_lines.size(), header);
    std::u16string entry(key);
    entry += u"=";
    entry += text;
    InsertLine(m_lines.size(), entry);
    return;
  }
  const std::size_t index = FindKey(*range, key);
  if (index != npos) {
    const std::u16string_view old = TextOf(m_lines[index]);
    const LineShape shape = Classify(old);
    std::u16string changed;
    if (shape.valueBegin != npos) {
      if (ValueOf(old, shape) == text) return;
      changed = old.substr(0, shape.valueBegin);
    } else {
      changed = old.substr(0, shape.nameEnd);
      changed += u"=";
    }
    changed += text;
    EnsureEncodable(changed);
    Line& line = m_lines[index];
    line.begin = static_cast<std::uint32_t>(m_edits.size());
    line.length = static_cast<std::uint32_t>(changed.size());
    line.original = false;
    line.eolAdded = false;
    line.kind = Classify(changed).kind;
    line.nameHash = LineNameHash(changed);
    m_edits += changed;
    MarkChanged();
    return;
  }
  // After the last key of the section, so blank lines and comments before the next section
  // stay where they are.
  std::size_t position = range->first;
  for (std::size_t i = range->first; i < range->second; ++i) {
    if (m_lines[i].kind == LineKind::Entry && !IsComment(TextOf(m_lines[i]))) position = i + 1;
  }
  std::u16string entry(key);
  entry += u"=";
  entry += text;
  InsertLine(position, entry);
}

void IniDocument::SetInt(std::u16string_view section, std::u16string_view key, int value) {
  const std::string digits = std::to_string(value);
  SetText(section, key, std::u16string(digits.begin(), digits.end()));
}

void IniDocument::SetBlock(std::u16string_view section, std::u16string_view key, const void* buffer,
                           std::size_t size) {
  SetText(section, key, EncodeIniBlock(buffer, size));
}

void IniDocument::InsertLine(std::size_t index, std::u16string_view text) {
  EnsureEncodable(text);
  if (index > 0 && m_lines[index - 1].eol == Eol::None) {
    Line& previous = m_lines[index - 1];
    previous.eol = m_newline;
    previous.eolAdded = previous.original;
  }
  Line line;
  line.begin = static_cast<std::uint32_t>(m_edits.size());
  line.length = static_cast<std::uint32_t>(text.size());
  line.eol = m_newline;
  line.kind = Classify(text).kind;
  line.nameHash = LineNameHash(text);
  m_edits += text;
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), line);
  MarkChanged();
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
