#pragma once
// IniFile: the one object through which every INI-format file of both programs is read and
// written. It reads what the Windows private-profile functions read and writes files that
// they read the same way, but parses each file once and replaces it atomically on commit.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

class IniDocument;

class IniFile {
 public:
  // Our files are a few kilobytes; a larger one is not one of them: it reads as unreadable and
  // is never overwritten.
  static constexpr std::size_t kDefaultMaxBytes = 16u * 1024u * 1024u;

  explicit IniFile(std::u16string path, std::size_t maxBytes = kDefaultMaxBytes);

  const std::u16string& Path() const { return m_path; }

  // Each call reads the file afresh (the other program may have changed it); a missing file
  // reads as defaults.
  int GetInt(std::u16string_view section, std::u16string_view key, int defaultValue) const;
  // At most 4095 units, as through a 4096-unit buffer.
  std::u16string GetText(std::u16string_view section, std::u16string_view key,
                         std::u16string_view defaultText) const;
  // True and the buffer filled only when the block is present, of the exact length and its
  // checksum matches; the buffer is untouched otherwise.
  bool GetBlock(std::u16string_view section, std::u16string_view key, void* buffer,
                std::size_t size) const;

  // Each call is one read-modify-write commit of the whole file.
  void SetInt(std::u16string_view section, std::u16string_view key, int value);
  void SetText(std::u16string_view section, std::u16string_view key, std::u16string_view text);
  void SetBlock(std::u16string_view section, std::u16string_view key, const void* buffer,
                std::size_t size);

  // Reads the file once for many lookups (a missing or unreadable file gives an empty one).
  IniDocument Load() const;

  // Many writes, one commit: the file is read under the commit lock, changed in memory and
  // replaced once by Commit(). Without Commit() nothing is written.
  class Transaction {
   public:
    explicit Transaction(IniFile& file);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void SetInt(std::u16string_view section, std::u16string_view key, int value);
    void SetText(std::u16string_view section, std::u16string_view key, std::u16string_view text);
    void SetBlock(std::u16string_view section, std::u16string_view key, const void* buffer,
                  std::size_t size);
    IniDocument& Document();
    // Returns false when the file could not be written (for example a missing folder, a
    // read-only or an unreadable file). Leftovers of replacements that a crash interrupted in
    // the same folder are removed first.
    bool Commit();

   private:
    struct State;
    IniFile& m_file;
    std::unique_ptr<State> m_state;
  };

 private:
  std::u16string m_path;
  std::size_t m_maxBytes;
};
