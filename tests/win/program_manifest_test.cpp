// Every program carries the application manifest: the common controls of version 6,
// DPI-unaware (Windows scales the skinned windows whole), run as the invoker.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/process_harness.h"

namespace {

std::string ManifestOf(const std::wstring& program) {
  HMODULE module = LoadLibraryExW(program.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return {};
  std::string text;
  if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
    if (HGLOBAL loaded = LoadResource(module, found)) {
      text.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
    }
  }
  FreeLibrary(module);
  return text;
}

TEST(ProgramManifest, EveryProgramIsDpiUnawareWithCommonControlsSix) {
  struct Program {
    const wchar_t* file;
    bool built;  // false: checked once it exists
  };
  const Program programs[] = {{L"hid.exe", true},      {L"beacon.exe", true},
                              {L"vireoctl.exe", true}, {L"gallery.exe", true},
                              {L"vmouse.exe", true},   {L"tuner.exe", false}};
  for (const Program& program : programs) {
    const std::wstring path = harness::BinFolder() + program.file;
    SCOPED_TRACE(std::string(path.begin(), path.end()));
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      EXPECT_FALSE(program.built) << "not built";
      continue;
    }
    const std::string manifest = ManifestOf(path);
    ASSERT_FALSE(manifest.empty()) << "no manifest";
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    EXPECT_NE(manifest.find(">false</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find(">unaware</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  }
}

}  // namespace
