#include "settings/ini_file.h"

#include <optional>
#include <utility>

#include "settings/file_io.h"
#include "settings/ini_document.h"

namespace {

constexpr std::size_t kTextUnits = 4096;

enum class FileState { Read, Missing, Unreadable };

FileState ReadDocument(const std::u16string& path, std::size_t maxBytes, IniDocument& document) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes, maxBytes + 1)) {
    document = IniDocument();
    return FileExists(path) ? FileState::Unreadable : FileState::Missing;
  }
  if (bytes.size() > maxBytes) {
    document = IniDocument();
    return FileState::Unreadable;
  }
  document = IniDocument::Parse(bytes);
  return document.Refused() ? FileState::Unreadable : FileState::Read;
}

}  // namespace

IniFile::IniFile(std::u16string path, std::size_t maxBytes)
    : m_path(std::move(path)), m_maxBytes(maxBytes) {}

IniDocument IniFile::Load() const {
  IniDocument document;
  ReadDocument(m_path, m_maxBytes, document);
  return document;
}

int IniFile::GetInt(std::u16string_view section, std::u16string_view key, int defaultValue) const {
  return Load().GetInt(section, key, defaultValue);
}

std::u16string IniFile::GetText(std::u16string_view section, std::u16string_view key,
                                std::u16string_view defaultText) const {
  return Load().GetText(section, key, defaultText, kTextUnits);
}

bool IniFile::GetBlock(std::u16string_view section, std::u16string_view key, void* buffer,
                       std::size_t size) const {
  return Load().GetBlock(section, key, buffer, size);
}

void IniFile::SetInt(std::u16string_view section, std::u16string_view key, int value) {
  Transaction transaction(*this);
  transaction.SetInt(section, key, value);
  transaction.Commit();
}

void IniFile::SetText(std::u16string_view section, std::u16string_view key,
                      std::u16string_view text) {
  Transaction transaction(*this);
  transaction.SetText(section, key, text);
  transaction.Commit();
}

void IniFile::SetBlock(std::u16string_view section, std::u16string_view key, const void* buffer,
                       std::size_t size) {
  Transaction transaction(*this);
  transaction.SetBlock(section, key, buffer, size);
  transaction.Commit();
}

struct IniFile::Transaction::State {
  std::optional<CommitLock> lock;
  IniDocument document;
  // A file that exists but could not be read (locked, too large) is never overwritten: that
  // would replace everything in it with the few keys of this transaction.
  bool writable = true;
};

IniFile::Transaction::Transaction(IniFile& file) : m_file(file), m_state(new State) {
  m_state->lock.emplace();
  m_state->writable =
      ReadDocument(m_file.m_path, m_file.m_maxBytes, m_state->document) != FileState::Unreadable;
}

IniFile::Transaction::~Transaction() = default;

void IniFile::Transaction::SetInt(std::u16string_view section, std::u16string_view key, int value) {
  m_state->document.SetInt(section, key, value);
}

void IniFile::Transaction::SetText(std::u16string_view section, std::u16string_view key,
                                   std::u16string_view text) {
  m_state->document.SetText(section, key, text);
}

void IniFile::Transaction::SetBlock(std::u16string_view section, std::u16string_view key,
                                    const void* buffer, std::size_t size) {
  m_state->document.SetBlock(section, key, buffer, size);
}

IniDocument& IniFile::Transaction::Document() {
  return m_state->document;
}

bool IniFile::Transaction::Commit() {
  if (!m_state->writable) {
    m_state->lock.reset();
    return false;
  }
  bool written = true;
  if (m_state->document.Modified()) {
    // A second Commit after more changes locks again; the first one has already let go.
    if (!m_state->lock) m_state->lock.emplace();
    const std::string bytes = m_state->document.Serialize();
    RemoveLeftoverTempFiles(m_file.m_path);
    written = ReplaceFileAtomically(m_file.m_path, bytes);
    if (written) m_state->document.MarkSaved();
  }
  m_state->lock.reset();
  return written;
}
