#pragma once
// ScratchFolder: a folder of the fuzzing process for targets that go through the file layer,
// in memory (/dev/shm) where there is one, so that an input costs microseconds, not a disk
// flush. Emptied for each input.

#include <unistd.h>

#include <filesystem>
#include <string>

class ScratchFolder {
 public:
  ScratchFolder(const char* name) {
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? "/dev/shm"
                                           : std::filesystem::temp_directory_path();
    m_path = base / (std::string("vireo-fuzz-") + name + "-" + std::to_string(::getpid()));
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Removes everything and makes the folder anew.
  void Reset() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
    std::filesystem::create_directories(m_path);
  }
  const std::filesystem::path& Path() const { return m_path; }
  // The folder as the programs pass it: ending in a separator.
  std::u16string DataFolder() const { return m_path.u16string() + u"/"; }

 private:
  std::filesystem::path m_path;
};
