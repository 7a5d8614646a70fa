#pragma once
// IniDocument: one INI file held in memory, line by line, with the lookup and update rules of
// the Windows private-profile functions (sections and keys without regard to ASCII case, the
// first match wins, surrounding white space and quotes, checksummed hex blocks). Lines it does
// not change are written back exactly as they were read.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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

  // What GetPrivateProfileStringW returns with a buffer of bufferUnits units.
  std::u16string GetText(std::u16string_view section, std::u16string_view key,
                         std::u16string_view defaultText, std::size_t bufferUnits = 4096) const;
  // What GetPrivateProfileIntW returns (leading white space and sign, decimal unless a 0x, 0o
  // or 0b prefix says otherwise, stops at the first non-digit; the default only when the key
  // is missing or its value empty).
  int GetInt(std::u16string_view section, std::u16string_view key, int defaultValue) const;
  // What GetPrivateProfileStructW accepts; the buffer is written only on success.
  bool GetBlock(std::u16string_view section, std::u16string_view key, void* buffer,
                std::size_t size) const;

  // A value is one line: it ends at the first line break or NUL, and leading white space is
  // dropped, as the Windows functions drop it. An empty key name changes nothing.
  void SetText(std::u16string_view section, std::u16string_view key, std::u16string_view text);
  void SetInt(std::u16string_view section, std::u16string_view key, int value);
  void SetBlock(std::u16string_view section, std::u16string_view key, const void* buffer,
                std::size_t size);

  // True when a Set* changed anything since Parse (or since MarkSaved, after the caller wrote
  // Serialize() to the file).
  bool Modified() const;
  void MarkSaved();

  struct Line;  // defined in the implementation

 private:
  std::size_t InsertLine(std::size_t index, std::u16string text);
  void EnsureEncodable(std::u16string_view text);
  void MarkChanged();

  std::vector<Line> m_lines;
  IniEncoding m_encoding;
  bool m_modified = false;
  std::u16string m_newline = u"\r\n";  // line end of added lines: the file's own
  std::string m_tail;                  // an odd last byte of a UTF-16 file, kept if unchanged
  bool m_hasBom = false;
};

// The checksummed upper-case hex encoding of the private-profile structure functions.
std::u16string EncodeIniBlock(const void* buffer, std::size_t size);
bool DecodeIniBlock(std::u16string_view text, void* buffer, std::size_t size);
