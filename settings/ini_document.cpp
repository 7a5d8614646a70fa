#include "settings/ini_document.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <type_traits>
#include <utility>

#include "settings/ini_code_page.h"
#include "settings/utf8.h"

namespace {

constexpr std::size_t npos = std::u16string::npos;

// The private-profile functions treat these as white space (Ctrl-Z included: old files end
// with it).
bool IsBlank(char16_t c) {
  constexpr std::uint64_t kBlanks = 0x3E00 | std::uint64_t{1} << 0x1A | std::uint64_t{1} << 0x20;
  return c <= 0x20 && (kBlanks >> c & 1) != 0;
}

std::u16string_view CutAtNul(std::u16string_view text) {
  const std::size_t nul = text.find(u'\0');
  return nul == npos ? text : text.substr(0, nul);
}

// Names are C strings to the Windows functions, and compared trimmed.
std::u16string_view CleanName(std::u16string_view name) {
  return TrimIniBlanks(CutAtNul(name));
}

// Names compare without regard to ASCII case only, as the Windows functions under Wine do;
// other letters must match exactly.
char16_t Fold(char16_t c) {
  return char16_t(c - u'A') < 26 ? char16_t(c + 32) : c;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a == b) return true;  // the usual case, at the cost of a memory compare
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

void SwapBytes(std::u16string& text) {
  for (char16_t& c : text) c = char16_t(c << 8 | c >> 8);
}

// Copied as a whole in the machine's own order, swapped only when that is not the file's.
void AppendUtf16(std::u16string_view text, bool bigEndian, std::string& out) {
  const std::size_t at = out.size();
  out.append(reinterpret_cast<const char*>(text.data()), 2 * text.size());
  if (bigEndian == (std::endian::native == std::endian::big)) return;
  for (std::size_t i = at; i + 1 < out.size(); i += 2) std::swap(out[i], out[i + 1]);
}

// The first unit equal to c from `from` on, or the size, found with memchr. A byte equal to c
// may be part of another unit (UTF-16 units are two bytes in the machine's order): the search
// then goes on. Not for NUL, whose byte is in every ASCII unit of UTF-16 text.
template <typename Unit>
std::size_t FindUnit(std::basic_string_view<Unit> units, Unit c, std::size_t from = 0) {
  const char* bytes = reinterpret_cast<const char*>(units.data());
  const std::size_t end = units.size() * sizeof(Unit);
  for (std::size_t at = from * sizeof(Unit); at < end;) {
    const void* hit = std::memchr(bytes + at, static_cast<unsigned char>(c), end - at);
    if (!hit) break;
    const std::size_t offset = static_cast<std::size_t>(static_cast<const char*>(hit) - bytes);
    if (units[offset / sizeof(Unit)] == c) return offset / sizeof(Unit);
    at = offset + 1;
  }
  return units.size();
}

// The next line break ('\r' or '\n') at or after a position: a file costs a few library calls
// per line instead of work per character. Positions asked for never go back.
template <typename Unit>
class LineBreaks {
 public:
  explicit LineBreaks(std::basic_string_view<Unit> units)
      : m_units(units), m_cr(FindUnit(units, Unit('\r'))), m_lf(FindUnit(units, Unit('\n'))) {}

  std::size_t Next(std::size_t from) {
    if (m_cr < from) m_cr = FindUnit(m_units, Unit('\r'), from);
    if (m_lf < from) m_lf = FindUnit(m_units, Unit('\n'), from);
    return std::min(m_cr, m_lf);
  }

 private:
  std::basic_string_view<Unit> m_units;
  std::size_t m_cr;
  std::size_t m_lf;
};

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
std::u16string_view EntryText(std::u16string_view value, std::size_t bufferUnits) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value.substr(0, bufferUnits - 1);
}

// A table, so that decoding a block costs one test per character.
struct HexTables {
  signed char digits[128];   // a character's value, -1 for anything but a hex digit
  std::uint32_t pairs[256];  // a byte's two upper-case digits, as two units in memory order
};
// Plain arrays, so that a lookup costs no call in builds that keep library functions out of line.
constexpr HexTables kHexTables = [] {
  constexpr char16_t kHex[] = u"0123456789ABCDEF";
  HexTables tables{};
  for (int c = 0; c < 128; ++c) {
    tables.digits[c] = static_cast<signed char>(c >= '0' && c <= '9'   ? c - '0'
                                                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                                       : -1);
  }
  for (int b = 0; b < 256; ++b) {
    const char16_t units[2] = {kHex[b >> 4], kHex[b & 0x0F]};
    tables.pairs[b] = std::bit_cast<std::uint32_t>(units);
  }
  return tables;
}();

// Negative for anything but a hex digit, without a branch: a unit beyond the table's ASCII
// range turns the value negative.
int HexDigit(char16_t c) {
  return kHexTables.digits[c & 0x7F] | -static_cast<int>((c + 0xFF80u) >> 16);
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

}  // namespace

// How the private-profile functions read a line: trimmed, "[name]" up to the last ']',
// otherwise a key up to the first '=' with the rest as its value.
struct IniDocument::LineShape {
  LineKind kind = LineKind::Blank;
  std::size_t nameBegin = 0;
  std::size_t nameEnd = 0;
  std::size_t valueBegin = npos;  // npos: a key without '='
  std::size_t valueEnd = 0;
};

namespace {

using LineShape = IniDocument::LineShape;

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
  const auto header = std::lower_bound(m_headers.begin(), m_headers.end(), from);
  return header == m_headers.end() ? m_lines.size() : *header;
}

// The first section of that name (a range of lines: after the header up to the next one); the
// lines before any header form the nameless section.
std::optional<std::pair<std::size_t, std::size_t>> IniDocument::FindSection(
    std::u16string_view name) const {
  if (name.empty()) return std::pair{std::size_t{0}, NextHeader(0)};
  const std::uint32_t hash = NameHash(name);
  for (std::size_t h = 0; h < m_headers.size(); ++h) {
    const Line& header = m_lines[m_headers[h]];
    if (header.nameHash != hash) continue;
    const std::u16string_view text = TextOf(header);
    if (SameName(NameOf(text, Classify(text)), name)) {
      const std::size_t end = h + 1 < m_headers.size() ? m_headers[h + 1] : m_lines.size();
      return std::pair{std::size_t{m_headers[h]} + 1, end};
    }
  }
  return std::nullopt;
}

std::size_t IniDocument::FindKey(std::pair<std::size_t, std::size_t> range, std::u16string_view key,
                                 LineShape& shape) const {
  const std::uint32_t hash = NameHash(key);
  for (std::size_t i = range.first; i < range.second; ++i) {
    if (m_lines[i].kind != LineKind::Entry || m_lines[i].nameHash != hash) continue;
    const std::u16string_view text = TextOf(m_lines[i]);
    shape = Classify(text);
    if (SameName(NameOf(text, shape), key)) return i;
  }
  return npos;
}

// Splits decoded lines into records, a run of blank lines into one. `decode` appends a line's
// text to the document's text (nullptr: the units are that text already); false when the
// records outgrow `maxLines`.
template <typename Units, typename Decode>
bool IniDocument::SplitLines(Units units, bool keepRaw, std::size_t maxLines, Decode decode) {
  using Unit = typename Units::value_type;
  LineBreaks<Unit> lineBreaks(units);
  // Room for lines of a few dozen characters, so the records are seldom moved while they grow.
  m_lines.reserve(std::min(maxLines, units.size() / 24 + 8));
  std::size_t start = 0;
  while (start < units.size()) {
    const std::size_t stop = lineBreaks.Next(start);
    std::size_t next = stop;
    Eol eol = Eol::None;
    if (next < units.size()) {
      const bool crlf =
          units[next] == Unit('\r') && next + 1 < units.size() && units[next + 1] == Unit('\n');
      eol = crlf ? Eol::CrLf : (units[next] == Unit('\r') ? Eol::Cr : Eol::Lf);
      next += crlf ? 2 : 1;
    }
    // Without a decoder the units are the document's text already.
    std::size_t textBegin = start;
    std::size_t textEnd = stop;
    if constexpr (!std::is_same_v<Decode, std::nullptr_t>) {
      textBegin = m_text.size();
      decode(units.substr(start, stop - start));
      textEnd = m_text.size();
      m_text.append(EolText(eol));
    }
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
      if (kind == LineKind::Section)
        m_headers.push_back(static_cast<std::uint32_t>(m_lines.size()));
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
    doc.m_text.assign(units, u'\0');
    std::memcpy(doc.m_text.data(), bytes.data() + 2, 2 * units);
    if (bigEndian != (std::endian::native == std::endian::big)) SwapBytes(doc.m_text);
    // A torn last unit is not text; it is kept only to write the file back unchanged.
    doc.m_tail.assign(bytes.substr(2 + 2 * units));
    withinBudget = doc.SplitLines(std::u16string_view(doc.m_text), false, maxLines, nullptr);
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
  // Enough for the whole file in most cases: one allocation instead of a dozen.
  out.reserve(out.size() + m_raw.size() + 2 * (m_text.size() + m_edits.size()) +
              4 * m_lines.size() + m_tail.size());
  for (const Line& line : m_lines) {
    if (bytesKept && line.original) {
      out.append(m_raw, line.rawBegin, line.rawLength);
      // The line ends are ASCII in every encoding whose bytes we keep.
      if (line.eolAdded) {
        for (char16_t c : EolText(line.eol)) out.push_back(char(c));
      }
      continue;
    }
    for (const std::u16string_view text : {TextOf(line), EolText(line.eol)}) {
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
  const std::optional<std::u16string_view> value = FindValue(section, key);
  return value ? std::optional<std::u16string>(*value) : std::nullopt;
}

std::optional<std::u16string_view> IniDocument::FindValue(std::u16string_view section,
                                                          std::u16string_view key) const {
  key = CleanName(key);
  const auto range = FindSection(CleanName(section));
  if (!range) return std::nullopt;
  LineShape shape;
  const std::size_t index = FindKey(*range, key, shape);
  if (index == npos || shape.valueBegin == npos) return std::nullopt;
  return ValueOf(TextOf(m_lines[index]), shape);
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
  const std::optional<std::u16string_view> value = FindValue(section, key);
  return std::u16string(EntryText(value.value_or(defaultText), bufferUnits));
}

int IniDocument::GetInt(std::u16string_view section, std::u16string_view key,
                        int defaultValue) const {
  // The API reads the value through a 30-unit buffer first.
  const std::optional<std::u16string_view> value = FindValue(section, key);
  const std::u16string_view text = value ? EntryText(*value, 30) : std::u16string_view();
  return text.empty() ? defaultValue : ParseInteger(text);
}

bool IniDocument::GetBlock(std::u16string_view section, std::u16string_view key, void* buffer,
                           std::size_t size) const {
  const std::optional<std::u16string_view> value = FindValue(section, key);
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
  text = CutAtNul(text);
  text = text.substr(0, std::min(FindUnit(text, u'\r'), FindUnit(text, u'\n')));
  // White space around the value is not read back: it is not written either, so the quotes
  // below are the ones the reader sees.
  text = TrimIniBlanks(text);
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
    InsertLine(m_lines.size(), {u"[", section, u"]"});
    InsertLine(m_lines.size(), {key, u"=", text});
    return;
  }
  LineShape shape;
  const std::size_t index = FindKey(*range, key, shape);
  if (index != npos) {
    const bool hasValue = shape.valueBegin != npos;
    if (hasValue && ValueOf(TextOf(m_lines[index]), shape) == text) return;
    // The line up to its value is kept; reserved first, so that the old text stays in place
    // while it is copied.
    const std::size_t kept = hasValue ? shape.valueBegin : shape.nameEnd;
    m_edits.reserve(m_edits.size() + kept + 1 + text.size());
    const std::size_t begin = m_edits.size();
    m_edits += TextOf(m_lines[index]).substr(0, kept);
    if (!hasValue) m_edits += u'=';
    m_edits += text;
    const std::u16string_view changed = std::u16string_view(m_edits).substr(begin);
    EnsureEncodable(changed);
    // It still begins with its key, never '[': it stays an entry of the same name and hash.
    Line& line = m_lines[index];
    line.begin = static_cast<std::uint32_t>(begin);
    line.length = static_cast<std::uint32_t>(changed.size());
    line.original = false;
    line.eolAdded = false;
    MarkChanged();
    return;
  }
  // After the last key of the section, so blank lines and comments before the next section
  // stay where they are.
  std::size_t position = range->second;
  while (position > range->first && (m_lines[position - 1].kind != LineKind::Entry ||
                                     IsComment(TextOf(m_lines[position - 1])))) {
    --position;
  }
  InsertLine(position, {key, u"=", text});
}

void IniDocument::SetInt(std::u16string_view section, std::u16string_view key, int value) {
  char16_t digits[12];
  char16_t* first = std::end(digits);
  // In unsigned arithmetic, so that the most negative value has its digits too.
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  do {
    *--first = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--first = u'-';
  SetText(section, key, std::u16string_view(first, std::end(digits)));
}

void IniDocument::SetBlock(std::u16string_view section, std::u16string_view key, const void* buffer,
                           std::size_t size) {
  SetText(section, key, EncodeIniBlock(buffer, size));
}

void IniDocument::InsertLine(std::size_t index, std::initializer_list<std::u16string_view> parts) {
  const std::size_t begin = m_edits.size();
  for (std::u16string_view part : parts) m_edits += part;
  const std::u16string_view text = std::u16string_view(m_edits).substr(begin);
  EnsureEncodable(text);
  if (index > 0 && m_lines[index - 1].eol == Eol::None) {
    Line& previous = m_lines[index - 1];
    previous.eol = m_newline;
    previous.eolAdded = previous.original;
  }
  Line line;
  line.begin = static_cast<std::uint32_t>(begin);
  line.length = static_cast<std::uint32_t>(text.size());
  line.eol = m_newline;
  line.kind = Classify(text).kind;
  line.nameHash = LineNameHash(text);
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), line);
  // The headers from the new line on move down by one.
  auto header = std::lower_bound(m_headers.begin(), m_headers.end(), index);
  for (auto moved = header; moved != m_headers.end(); ++moved) ++*moved;
  if (line.kind == LineKind::Section) m_headers.insert(header, static_cast<std::uint32_t>(index));
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

std::u16string_view TrimIniBlanks(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::u16string EncodeIniBlock(const void* buffer, std::size_t size) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  std::u16string text(2 * size + 2, u'0');
  char16_t* out = text.data();
  unsigned sum = 0;
  for (const unsigned char* byte = bytes; byte != bytes + size; ++byte, out += 2) {
    std::memcpy(out, &kHexTables.pairs[*byte], sizeof kHexTables.pairs[0]);
    sum += *byte;
  }
  out[0] = kHex[(sum >> 4) & 0x0F];
  out[1] = kHex[sum & 0x0F];
  return text;
}

bool DecodeIniBlock(std::u16string_view text, void* buffer, std::size_t size) {
  if (size > (std::numeric_limits<std::size_t>::max() - 2) / 2 || text.size() != 2 * size + 2) {
    return false;
  }
  // The buffer is written only when the whole block is sound: small blocks decode on the stack.
  // A character that is no hex digit is noted, not tested for, so a block costs one test.
  unsigned char local[512];
  std::vector<unsigned char> heap(size + 1 > sizeof local ? size + 1 : 0);
  unsigned char* const bytes = heap.empty() ? local : heap.data();
  const char16_t* digits = text.data();
  int invalid = 0;
  unsigned sum = 0;
  for (unsigned char* byte = bytes; byte != bytes + size + 1; ++byte, digits += 2) {
    const int high = HexDigit(digits[0]);
    const int low = HexDigit(digits[1]);
    invalid |= high | low;
    *byte =
        static_cast<unsigned char>(static_cast<unsigned>(high) << 4 | static_cast<unsigned>(low));
    sum += *byte;
  }
  sum -= bytes[size];
  if (invalid < 0 || (sum & 0xFF) != bytes[size]) return false;
  if (size > 0) std::memcpy(buffer, bytes, size);
  return true;
}
