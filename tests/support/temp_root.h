#pragma once
// Every test gets a fresh temporary data root: KAVRIX_ROOT and HOME point into
// it, so nothing a test does reaches /opt, /etc or the machine's home folder.

#include <gtest/gtest.h>

#include <string>
#include <vector>

class KavrixTempRoot : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The temporary folder itself; KAVRIX_ROOT is <dir>/root, HOME <dir>/home.
  const std::string& TempDir() const { return dir_; }
  std::string InstallRoot() const { return dir_ + "/root"; }
  std::string SharedFolder() const { return dir_ + "/root/kavrixserver/etc"; }
  std::string HomeFolder() const { return dir_ + "/home"; }

 private:
  std::string dir_;
};

// Small file helpers for tests.
std::string KavrixReadFile(const std::string& path);
bool KavrixWriteFile(const std::string& path, const std::string& bytes);
bool KavrixFileExists(const std::string& path);
// Names in `folder`, sorted, without "." and "..".
std::vector<std::string> KavrixFolderEntries(const std::string& folder);
