// Every program and library the build makes carries the version resource of the product's one
// version, and every program the application manifest: the common controls of version 6,
// DPI-unaware (Windows scales the skinned windows whole), run as the invoker. The build folder
// is searched, so a new program that was not given its resources is found too.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "support/process_harness.h"

namespace {

bool EndsWith(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// What the tests themselves build (test and benchmark programs, stand-ins, the benchmark's bare
// window program it measures tuner.exe against) ships nowhere.
bool IsShipped(const std::wstring& name) {
  return !EndsWith(name, L"_test.exe") && !EndsWith(name, L"_bench.exe") &&
         name.rfind(L"stand_in_", 0) != 0 && name != L"bare_window.exe";
}

std::string ManifestOf(const std::wstring& path) {
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return {};
  std::string text;
  if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST)) {
    if (HGLOBAL loaded = LoadResource(module, found)) {
      text.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
    }
  }
  FreeLibrary(module);
  return text;
}

struct VersionInfo {
  VS_FIXEDFILEINFO fixed{};
  std::wstring productName, productVersion, fileVersion, description, originalName;
};

bool ReadVersionInfo(const std::wstring& path, VersionInfo& info) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return false;
  std::vector<BYTE> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return false;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", &value, &length) || length < sizeof info.fixed) {
    return false;
  }
  info.fixed = *static_cast<const VS_FIXEDFILEINFO*>(value);
  const auto text = [&](const wchar_t* key) {
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
    if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || length == 0)
      return std::wstring();
    return std::wstring(static_cast<const wchar_t*>(value));
  };
  info.productName = text(L"ProductName");
  info.productVersion = text(L"ProductVersion");
  info.fileVersion = text(L"FileVersion");
  info.description = text(L"FileDescription");
  info.originalName = text(L"OriginalFilename");
  return true;
}

TEST(ProgramResources, EveryShippedModuleHasTheVersionAndEveryProgramTheManifest) {
  std::vector<std::wstring> modules;
  for (const std::wstring& relative : harness::FilesBelow(harness::BinFolder())) {
    const std::wstring name = relative.substr(relative.find_last_of(L'\\') + 1);
    if ((EndsWith(name, L".exe") || EndsWith(name, L".dll")) && IsShipped(name)) {
      modules.push_back(relative);
    }
  }
  // Checked whenever built; the ones the installer carries, always.
  const std::set<std::wstring> required = {L"hid.exe",     L"tuner.exe", L"beacon.exe",
                                           L"Conduit.dll", L"Snare.dll", L"vireoctl.exe"};
  std::set<std::wstring> seen;
  for (const std::wstring& relative : modules) {
    const std::wstring path = harness::BinFolder() + relative;
    const std::wstring name = relative.substr(relative.find_last_of(L'\\') + 1);
    seen.insert(name);
    SCOPED_TRACE(std::string(relative.begin(), relative.end()));

    VersionInfo info;
    if (!ReadVersionInfo(path, info)) {
      ADD_FAILURE() << "no version resource";
      continue;
    }
    EXPECT_EQ(info.fixed.dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(info.fixed.dwFileVersionMS, MAKELONG(VIREO_VERSION_MINOR, VIREO_VERSION_MAJOR));
    EXPECT_EQ(info.fixed.dwFileVersionLS, MAKELONG(VIREO_VERSION_TWEAK, VIREO_VERSION_PATCH));
    EXPECT_EQ(info.fixed.dwProductVersionMS, info.fixed.dwFileVersionMS);
    EXPECT_EQ(info.fixed.dwProductVersionLS, info.fixed.dwFileVersionLS);
    EXPECT_EQ(info.productName, VIREO_PRODUCT_NAME);
    EXPECT_EQ(info.productVersion, VIREO_PRODUCT_VERSION);
    EXPECT_EQ(info.fileVersion, VIREO_FILE_VERSION);
    EXPECT_FALSE(info.description.empty());
    // A resource copied from another module would name that one.
    EXPECT_EQ(info.originalName, name);

    const bool program = EndsWith(name, L".exe");
    EXPECT_EQ(info.fixed.dwFileType, program ? DWORD{VFT_APP} : DWORD{VFT_DLL});
    if (!program) continue;
    const std::string manifest = ManifestOf(path);
    if (manifest.empty()) {
      ADD_FAILURE() << "no manifest";
      continue;
    }
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    EXPECT_NE(manifest.find(">false</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find(">unaware</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  }
  for (const std::wstring& name : required) {
    EXPECT_TRUE(seen.count(name)) << std::string(name.begin(), name.end()) << " not found";
  }
}

}  // namespace
