// Times a full save and load of the five profile files through our INI engine. On Windows it
// also replays the same keys, in the same order, one by one through the private-profile API
// with a flush after each write (the way the files were written before the engine existed),
// and prints the ratio.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/file_io.h"
#include "settings/ini_file.h"
#include "settings/profile_files.h"
#include "settings/profile_set.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// A validated set with every field and key block in use, so the files are full size.
ProfileSet FullSet() {
  ProfileSet set;
  ResetProfileSet(set);
  ProfileSet validated;
  ValidateProfileSet(validated, set);
  for (int p = 0; p < kProfileCount; ++p) {
    ProfileRecord& record = validated.Profiles[p];
    for (int b = 0; b < kButtonCount; ++b) {
      ButtonAssignment& button = record.Buttons[b];
      for (std::size_t i = 0; i < kKeyBlockSize; ++i) {
        button.KeyBlock[i] = static_cast<std::uint8_t>(p * 31 + b * 7 + i);
      }
      button.ButtonFunc = 100;
      SetMacroName(button, u"Macro name of a fair length " + std::u16string(1, u'A' + b));
    }
    for (int l = 0; l < kLedLevelCount; ++l) record.LedLevels[l] = {2, 8};
  }
  return validated;
}

std::u16string ToU16(const std::string& s) {
  return std::u16string(s.begin(), s.end());
}

struct Figures {
  double best = 1e30;
  double total = 0;
  int runs = 0;
  void Add(double ms) {
    best = std::min(best, ms);
    total += ms;
    ++runs;
  }
  double Mean() const { return runs ? total / runs : 0; }
};

#ifdef _WIN32
std::wstring Wide(const std::u16string& s) {
  return std::wstring(s.begin(), s.end());
}

// Writes every key of our saved files again, key by key, through the Windows API.
double KeyByKeySave(const std::u16string& ourFolder, const std::u16string& apiFolder) {
  const auto start = Clock::now();
  for (int n = 1; n <= kProfileCount; ++n) {
    const std::u16string name = u"QVProfile" + ToU16(std::to_string(n)) + u".pfd";
    std::string bytes;
    ReadWholeFile(ourFolder + name, bytes);
    const std::wstring target = Wide(apiFolder + name);
    // Replay line by line in file order: the sections and keys as our engine wrote them
    // (a new file is UTF-16LE with a byte-order mark).
    std::u16string text;
    std::u16string section;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                           (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    std::size_t pos = 0;
    while (pos < text.size()) {
      std::size_t end = text.find(u"\r\n", pos);
      if (end == std::u16string::npos) end = text.size();
      std::u16string line = text.substr(pos, end - pos);
      pos = end + 2;
      if (line.empty()) continue;
      if (line.front() == u'[') {
        section = line.substr(1, line.find(u']') - 1);
        continue;
      }
      const std::size_t eq = line.find(u'=');
      if (eq == std::u16string::npos) continue;
      WritePrivateProfileStringW(Wide(section).c_str(), Wide(line.substr(0, eq)).c_str(),
                                 Wide(line.substr(eq + 1)).c_str(), target.c_str());
      WritePrivateProfileStringW(nullptr, nullptr, nullptr, target.c_str());
    }
  }
  return Milliseconds(Clock::now() - start);
}

std::u16string TempFolder(const char* leaf) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + std::wstring(leaf, leaf + std::strlen(leaf)) + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return std::u16string(folder.begin(), folder.end());
}
#else
std::u16string TempFolder(const char* leaf) {
  std::filesystem::path folder = std::filesystem::temp_directory_path() / leaf;
  std::filesystem::create_directories(folder);
  return ToU16(folder.string() + "/");
}
#endif

}  // namespace

int Run(int runs) {
  const std::u16string folder = TempFolder("vireo-bench-profiles");
  const ProfileSet set = FullSet();

  Figures save, load;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    SaveProfileFiles(set, folder);
    save.Add(Milliseconds(Clock::now() - start));

    ProfileSet loaded;
    ResetProfileSet(loaded);
    start = Clock::now();
    LoadProfileFiles(loaded, folder);
    load.Add(Milliseconds(Clock::now() - start));
    ProfileSet validated;
    ValidateProfileSet(validated, loaded);
    if (std::memcmp(&validated, &set, sizeof(set)) != 0) {
      std::printf("error: the loaded set differs from the saved one\n");
      return 1;
    }
  }
  std::printf("profile files: %d runs\n", runs);
  std::printf("  engine save of 5 files:   best %8.3f ms, mean %8.3f ms\n", save.best, save.Mean());
  std::printf("  engine load of 5 files:   best %8.3f ms, mean %8.3f ms\n", load.best, load.Mean());
  std::printf("  engine save + load:       best %8.3f ms (goal <= 20 ms under Wine)\n",
              save.best + load.best);
#ifdef _WIN32
  const std::u16string apiFolder = TempFolder("vireo-bench-profiles-api");
  Figures api;
  const int apiRuns = std::min(runs, 3);
  for (int i = 0; i < apiRuns; ++i) api.Add(KeyByKeySave(folder, apiFolder));
  std::printf("  key-by-key API save:      best %8.3f ms, mean %8.3f ms (%d runs)\n", api.best,
              api.Mean(), apiRuns);
  std::printf("  ratio API save / engine save: %.1f x\n", api.best / save.best);
#endif
  return 0;
}

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  return Run(argc > 1 ? std::max(1, _wtoi(argv[1])) : 20);
}
#else
int main(int argc, char** argv) {
  return Run(argc > 1 ? std::max(1, std::atoi(argv[1])) : 20);
}
#endif
