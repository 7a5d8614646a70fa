// The file calls of the programs: atomic replacement in the same folder, reads that tolerate a
// file being replaced at that moment, and the commit lock shared by both programs.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>

#include "settings/file_io.h"
#include "settings/file_steps.h"
#include "win/text.h"

namespace {

// The other program may be replacing the file this very moment; these errors pass quickly.
bool IsTransient(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

constexpr int kAttempts = 10;
constexpr int kReplaceAttempts = 30;
constexpr DWORD kRetryDelayMs = 15;
constexpr DWORD kLockPatienceMs = 5000;

bool Step(FileStep step) {
  return NextFileStep(step) == FileStepOutcome::Proceed;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    if (!Step(FileStep::Write)) return false;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

std::u16string TempPathBeside(const std::u16string& path, std::uint32_t attempt) {
  static std::atomic<std::uint32_t> counter{0};
  return TempPathFor(path, GetCurrentProcessId(), counter.fetch_add(1), attempt);
}

bool IsReadOnly(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(AsWide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

std::u16string FolderOf(const std::u16string& path) {
  const std::size_t separator = path.find_last_of(u"\\/");
  return separator == std::u16string::npos ? std::u16string() : path.substr(0, separator + 1);
}

}  // namespace

bool ReadWholeFile(const std::u16string& path, std::string& bytes, std::size_t limit) {
  bytes.clear();
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    file = CreateFileW(AsWide(path), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) break;
    const DWORD error = GetLastError();
    // Access is also denied for folders; those are not worth waiting for.
    if (!IsTransient(error) || !FileExists(path)) return false;
    Sleep(kRetryDelayMs);
  }
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) {
    CloseHandle(file);
    return false;
  }
  const std::size_t wanted =
      std::min<unsigned long long>(static_cast<unsigned long long>(size.QuadPart), limit);
  bytes.resize(wanted);
  std::size_t done = 0;
  bool ok = true;
  while (done < wanted) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wanted - done, 1u << 20));
    DWORD got = 0;
    if (!ReadFile(file, bytes.data() + done, chunk, &got, nullptr)) {
      ok = false;
      break;
    }
    if (got == 0) break;  // the file shrank while we read
    done += got;
  }
  CloseHandle(file);
  bytes.resize(ok ? done : 0);
  return ok;
}

bool ReplaceFileAtomically(const std::u16string& path, std::string_view bytes) {
  // Nothing waits for a read-only file to become writable.
  if (IsReadOnly(path)) return false;
  std::u16string temp;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (std::uint32_t attempt = 0; attempt < 4 && file == INVALID_HANDLE_VALUE; ++attempt) {
    if (!Step(FileStep::Create)) return false;
    temp = TempPathBeside(path, attempt);
    file = CreateFileW(AsWide(temp), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool written = WriteAll(file, bytes) && Step(FileStep::Flush) && FlushFileBuffers(file);
  CloseHandle(file);
  if (written) {
    // A file that is open cannot be replaced: the other program reading it, an editor or a
    // virus scanner holds it for moments, so keep trying for about a second. A file made
    // read-only meanwhile is denied for good.
    for (int attempt = 0; attempt < kReplaceAttempts && Step(FileStep::Rename); ++attempt) {
      if (MoveFileExW(AsWide(temp), AsWide(path),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
      }
      if (!IsTransient(GetLastError()) || IsReadOnly(path)) break;
      Sleep(std::min<DWORD>(5 + 5 * attempt, 50));
    }
  }
  // A stopped file layer leaves its temporary file behind, as a crash would.
  if (!FileLayerStopped()) DeleteFileW(AsWide(temp));
  return false;
}

void RemoveLeftoverTempFiles(const std::u16string& path) {
  if (FileLayerStopped()) return;
  const std::u16string folder = FolderOf(path);
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileExW(AsWide(folder + u"*.tmp"), FindExInfoBasic, &found,
                                 FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::u16string name(reinterpret_cast<const char16_t*>(found.cFileName));
    // One still being written by a program that went on without the lock is open, and stays.
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsReplacementTempName(name)) {
      DeleteFileW(AsWide(folder + name));
    }
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

bool FileExists(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(AsWide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(AsWide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolder(const std::u16string& path) {
  return CreateDirectoryW(AsWide(path), nullptr) ||
         (GetLastError() == ERROR_ALREADY_EXISTS && FolderExists(path));
}

bool RemoveFile(const std::u16string& path) {
  return !FileLayerStopped() && DeleteFileW(AsWide(path)) != FALSE;
}

bool CopyFileReplacing(const std::u16string& from, const std::u16string& to) {
  std::string bytes;
  return ReadWholeFile(from, bytes) && ReplaceFileAtomically(to, bytes);
}

std::optional<FileStamp> FileStampOf(const std::u16string& path) {
  // Attributes only, shared every way: the other program may be reading or replacing it.
  HANDLE file = CreateFileW(AsWide(path), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(file, &info) != FALSE;
  CloseHandle(file);
  if (!known || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
  auto join = [](DWORD high, DWORD low) { return std::uint64_t{high} << 32 | low; };
  FileStamp stamp;
  stamp.Volume = info.dwVolumeSerialNumber;
  stamp.Identity = join(info.nFileIndexHigh, info.nFileIndexLow);
  stamp.WriteTime = join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
  stamp.Size = join(info.nFileSizeHigh, info.nFileSizeLow);
  return stamp;
}

CommitLock::CommitLock() {
  NextFileStep(FileStep::Lock);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\VireoSettingsCommit");
  if (!mutex) return;
  m_handle = mutex;
  // An abandoned mutex (its holder crashed) is ours now; a holder that hangs is waited for
  // only so long, then the commit goes on unlocked rather than freezing the program.
  const DWORD result = WaitForSingleObject(mutex, kLockPatienceMs);
  m_owned = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

CommitLock::~CommitLock() {
  if (!m_handle) return;
  if (m_owned) ReleaseMutex(static_cast<HANDLE>(m_handle));
  CloseHandle(static_cast<HANDLE>(m_handle));
}
