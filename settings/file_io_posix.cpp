// The file calls of the native build, used by the unit tests: Windows-style paths map to the
// local file system (UTF-8, '/' for '\').
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "settings/file_io.h"
#include "settings/file_steps.h"
#include "settings/ini_code_page.h"
#include "settings/utf8.h"

namespace {

std::string NativePath(const std::u16string& path) {
  std::string out = ToUtf8(path);
  // A backslash byte never stands inside a multi-byte UTF-8 sequence: safe to swap after encoding.
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

bool Step(FileStep step) {
  return NextFileStep(step) == FileStepOutcome::Proceed;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    if (!Step(FileStep::Write)) return false;
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

constexpr auto kLockPatience = std::chrono::seconds(5);

// One lock per process, taken again by the same thread without blocking (as a Windows mutex
// is); the lock file serialises the processes.
std::recursive_timed_mutex g_commitMutex;
int g_lockDepth = 0;
int g_lockFile = -1;

std::string LockFilePath() {
  const char* folder = std::getenv("XDG_RUNTIME_DIR");
  std::string path = (folder && *folder) ? folder : "/tmp";
  return path + "/vireo-settings-commit-" + std::to_string(::getuid()) + ".lock";
}

}  // namespace

const IniCodePage& PlatformAnsiCodePage() {
  return Windows1252CodePage();
}

bool ReadWholeFile(const std::u16string& path, std::string& bytes, std::size_t limit) {
  bytes.clear();
  const int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  char chunk[65536];
  while (bytes.size() < limit) {
    const std::size_t wanted = std::min(sizeof chunk, limit - bytes.size());
    const ssize_t got = ::read(fd, chunk, wanted);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ::close(fd);
      bytes.clear();
      return false;
    }
    if (got == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return true;
}

bool ReplaceFileAtomically(const std::u16string& path, std::string_view bytes) {
  static std::atomic<std::uint32_t> counter{0};
  const std::string target = NativePath(path);
  struct stat info {};
  const bool exists = ::stat(target.c_str(), &info) == 0;
  // As on Windows, a read-only file is not replaced.
  if (exists && !(info.st_mode & S_IWUSR)) return false;
  const mode_t mode = exists ? (info.st_mode & 07777) : 0644;
  std::string temp;
  int fd = -1;
  for (std::uint32_t attempt = 0; attempt < 4 && fd < 0; ++attempt) {
    if (!Step(FileStep::Create)) return false;
    temp =
        NativePath(TempPathFor(path, static_cast<std::uint32_t>(::getpid()), counter++, attempt));
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  bool written = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes.data(), bytes.size());
  written = written && Step(FileStep::Flush) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (written && closed && Step(FileStep::Rename) && ::rename(temp.c_str(), target.c_str()) == 0) {
    return true;
  }
  // A stopped file layer leaves its temporary file behind, as a crash would.
  if (!FileLayerStopped()) ::unlink(temp.c_str());
  return false;
}

void RemoveLeftoverTempFiles(const std::u16string& path) {
  if (FileLayerStopped()) return;
  std::string folder = NativePath(path);
  const std::size_t slash = folder.rfind('/');
  folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash + 1);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    if (IsReplacementTempName(Utf8ToUtf16(entry->d_name))) {
      ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
  }
  ::closedir(dir);
}

bool FileExists(const std::u16string& path) {
  struct stat info {};
  return ::stat(NativePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool FolderExists(const std::u16string& path) {
  struct stat info {};
  return ::stat(NativePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CreateFolder(const std::u16string& path) {
  return ::mkdir(NativePath(path).c_str(), 0755) == 0 || (errno == EEXIST && FolderExists(path));
}

bool RemoveFile(const std::u16string& path) {
  return !FileLayerStopped() && FileExists(path) && ::unlink(NativePath(path).c_str()) == 0;
}

bool CopyFileReplacing(const std::u16string& from, const std::u16string& to) {
  std::string bytes;
  return ReadWholeFile(from, bytes) && ReplaceFileAtomically(to, bytes);
}

std::optional<FileStamp> FileStampOf(const std::u16string& path) {
  struct stat info {};
  if (::stat(NativePath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  FileStamp stamp;
  stamp.Volume = static_cast<std::uint64_t>(info.st_dev);
  stamp.Identity = static_cast<std::uint64_t>(info.st_ino);
  stamp.WriteTime = static_cast<std::uint64_t>(info.st_mtim.tv_sec) * 1000000000u +
                    static_cast<std::uint64_t>(info.st_mtim.tv_nsec);
  stamp.Size = static_cast<std::uint64_t>(info.st_size);
  return stamp;
}

CommitLock::CommitLock() {
  NextFileStep(FileStep::Lock);
  if (!g_commitMutex.try_lock_for(kLockPatience)) return;
  m_owned = true;
  if (g_lockDepth++ > 0) return;
  g_lockFile = ::open(LockFilePath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (g_lockFile < 0) return;
  const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
  while (::flock(g_lockFile, LOCK_EX | LOCK_NB) != 0) {
    if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() > deadline) {
      ::close(g_lockFile);
      g_lockFile = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

CommitLock::~CommitLock() {
  if (!m_owned) return;
  if (--g_lockDepth == 0 && g_lockFile >= 0) {
    ::close(g_lockFile);  // releases the flock
    g_lockFile = -1;
  }
  g_commitMutex.unlock();
}
