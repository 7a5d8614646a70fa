#pragma once
// The few file-system calls the portable core needs. Paths are Windows-style UTF-16 strings;
// the native build maps them to the local file system for tests.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Reads at most `limit` bytes of the file; false when it cannot be opened (a file that is
// being replaced by the other program at that moment is retried briefly).
bool ReadWholeFile(const std::u16string& path, std::string& bytes,
                   std::size_t limit = 64u * 1024u * 1024u);

// Writes the bytes to a temporary file in the same folder, flushes it and moves it over
// `path`, so a reader sees either the old or the new content, never a torn file. A read-only
// `path` fails at once.
bool ReplaceFileAtomically(const std::u16string& path, std::string_view bytes);

// Removes the temporary files that replacements in the folder of `path` left behind when their
// program died half-way (names as TempPathFor makes them). Called under the commit lock, when
// no replacement of ours is under way.
void RemoveLeftoverTempFiles(const std::u16string& path);

bool FileExists(const std::u16string& path);  // a file, not a folder
bool FolderExists(const std::u16string& path);
bool CreateFolder(const std::u16string& path);  // also true when it already exists
bool RemoveFile(const std::u16string& path);    // true when the file was removed
// Replaces `to` atomically with a copy of `from`.
bool CopyFileReplacing(const std::u16string& from, const std::u16string& to);

// One version of a file, told apart without reading it: a replaced file is another file (its
// identity changes), and one changed in place has another write time or size.
struct FileStamp {
  std::uint64_t Volume = 0;
  std::uint64_t Identity = 0;
  std::uint64_t WriteTime = 0;
  std::uint64_t Size = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
// nullopt when there is no such file.
std::optional<FileStamp> FileStampOf(const std::u16string& path);

// Serialises read-modify-write commits of INI files between the two programs (a named
// mutex on Windows, a lock file elsewhere). Held for the lifetime of the object; a thread may
// take it again while holding it. A holder that hangs delays the others only for a few seconds:
// then they go on without the lock rather than freeze.
class CommitLock {
 public:
  CommitLock();
  ~CommitLock();
  CommitLock(const CommitLock&) = delete;
  CommitLock& operator=(const CommitLock&) = delete;

 private:
  [[maybe_unused]] void* m_handle = nullptr;  // the named mutex (Windows)
  bool m_owned = false;
};
