#include "support/temp_root.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "foundation/test_hooks.h"

void KavrixTempRoot::SetUp() {
  char pattern[] = "/tmp/kavrix-test-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  dir_ = pattern;
  std::filesystem::create_directories(dir_ + "/home");
  setenv("KAVRIX_ROOT", InstallRoot().c_str(), 1);
  setenv("HOME", HomeFolder().c_str(), 1);
  LFoundationResetForTests();
}

void KavrixTempRoot::TearDown() {
  LFoundationResetForTests();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string KavrixReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool KavrixWriteFile(const std::string& path, const std::string& bytes) {
  return static_cast<bool>(std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes);
}

bool KavrixFileExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

std::vector<std::string> KavrixFolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}
