#pragma once
// IniDocument: one INI file held in memory, line by line, with the lookup and update rules of
// the Windows private-profile functions (sections and keys without regard to ASCII case, the
// first match wins, surrounding white space and quotes, checksummed hex blocks). Lines it does
// not change are written back exactly as they were read.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class IniEncoding { Ansi, Utf8, Utf16Le, Utf16Be };

class IniDocument {
 public:
  IniDocument();  // an empty file that will be created as UTF-16LE with a byte-order mark
  ~IniDocument();
  IniDocument(const IniDocument&);
  IniDocument(IniDocument&&) noexcept;
  IniDocument& operator=(const IniDocument&);
  IniDocument& operator=(IniDocument&&) noexcept;

  // Never fails: whatever the bytes hold, the lines that make sense are used.
  static IniDocument Parse(std::string_view bytes);

  std::string Serialize() const;
  IniEncoding Encoding() const;

  // The raw value of the first matching key of the first matching section, without quote
  // stripping; nullopt when absent (or a bare key without '=').
  std::optional<std::u16string> Find(std::u16string_view section, std::u16string_view key) const;
  // Whether the file has a header of that section (with or without keys below it).
  bool HasSection(std::u16string_view section) const;

  // What GetPrivateProfileStringW returns with a buffer of bufferUnits units.
  std::u16string GetText(std::u16string_view section, std::u16string_view key,
                         std::u16string_view defaultText, std::size_t bufferUnits = 4096) const;
  // What GetPrivateProfileIntW returns (leading white space and sign, decimal unless a lower-case
  // 0x, 0o or 0b prefix says otherwise, stops at the first non-digit; the default only when the key
  // is missing or its value empty).
  int GetInt(std::u16string_view section, std::u16string_view key, int defaultValue) const;
  // What GetPrivateProfileStructW accepts; the buffer is written only on success.
  bool GetBlock(std::u16string_view section, std::u16string_view key, void* buffer,
                std::size_t size) const;

  // A value is one line: it ends at the first line break or NUL, and the white space around
  // it is dropped, as the Windows functions drop it when they read. A value that begins and
  // ends with the same quote is written inside double quotes, so it reads back with its own.
  // An empty key name, a name with a line break and a key that begins with '[' (its line would
  // read as a section) change nothing.
  void SetText(std::u16string_view section, std::u16string_view key, std::u16string_view text);
  void SetInt(std::u16string_view section, std::u16string_view key, int value);
  void SetBlock(std::u16string_view section, std::u16string_view key, const void* buffer,
                std::size_t size);

  // True when a Set* changed anything since Parse (or since MarkSaved, after the caller wrote
  // Serialize() to the file).
  bool Modified() const;
  void MarkSaved();

  // True when Parse refused the bytes: more lines than a file of that size is worth holding
  // (the budget is a small multiple of the size). The document is then empty, and its file
  // is unreadable rather than empty.
  bool Refused() const;

  // Defined in the implementation.
  struct Line;
  struct LineShape;
  enum class Eol : std::uint8_t;
  enum class LineKind : std::uint8_t;

 private:
  std::u16string_view TextOf(const Line& line) const;
  // Find's value as a view of the document's text (valid until the document changes).
  std::optional<std::u16string_view> FindValue(std::u16string_view section,
                                               std::u16string_view key) const;
  std::size_t NextHeader(std::size_t from) const;
  std::optional<std::pair<std::size_t, std::size_t>> FindSection(std::u16string_view name) const;
  // The first entry of that key in the range, and its shape; npos when there is none.
  std::size_t FindKey(std::pair<std::size_t, std::size_t> range, std::u16string_view key,
                      LineShape& shape) const;
  template <typename Units, typename Decode>
  bool SplitLines(Units units, bool keepRaw, std::size_t maxLines, Decode decode);
  // Inserts a line made of the parts.
  void InsertLine(std::size_t index, std::initializer_list<std::u16string_view> parts);
  void EnsureEncodable(std::u16string_view text);
  void MarkChanged();

  // The text of the lines as read, line ends included, and for ANSI and UTF-8 files their
  // bytes; changed and added lines keep their text in m_edits.
  std::u16string m_text;
  std::string m_raw;
  std::u16string m_edits;
  std::vector<Line> m_lines;
  std::vector<std::uint32_t> m_headers;  // the section header lines, in order
  IniEncoding m_encoding;
  Eol m_newline;  // line end of added lines: the file's own
  bool m_modified = false;
  bool m_refused = false;
  std::string m_tail;  // an odd last byte of a UTF-16 file, kept if unchanged
  bool m_hasBom = false;
};

// The text without the white space around it that the reader drops from names and values.
std::u16string_view TrimIniBlanks(std::u16string_view text);

// The checksummed upper-case hex encoding of the private-profile structure functions.
std::u16string EncodeIniBlock(const void* buffer, std::size_t size);
bool DecodeIniBlock(std::u16string_view text, void* buffer, std::size_t size);
