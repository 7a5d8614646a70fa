#pragma once
// A new, empty folder under the system's temporary folder for one test. ctest runs the tests of
// one fixture at the same time in separate processes, so a name shared by the fixture's tests
// (or by two runs) would let one test's clean-up delete another's files mid-test.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

inline std::filesystem::path NewScratchFolder(const std::string& prefix) {
  std::string pattern =
      (std::filesystem::temp_directory_path() / ("vireo-" + prefix + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "no scratch folder in " << pattern;
  return pattern;
}
