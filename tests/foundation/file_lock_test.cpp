#include "foundation/file_lock.h"

#include <fcntl.h>
#include <sys/wait.h>

#include <chrono>

#include "foundation/paths.h"
#include "foundation/unique_fd.h"
#include "support/temp_root.h"

class FileLockTest : public KavrixTempRoot {};

TEST_F(FileLockTest, FreeFileLocksAtOnce) {
  LUniqueFd fd(open((TempDir() + "/f").c_str(), O_RDWR | O_CREAT, 0666));
  ASSERT_TRUE(fd);
  EXPECT_EQ(flocktimed(fd.Get(), LOCK_EX, 2000), 0);
}

TEST_F(FileLockTest, SharedLocksDoNotExcludeEachOther) {
  const std::string path = TempDir() + "/f";
  LUniqueFd a(open(path.c_str(), O_RDWR | O_CREAT, 0666));
  LUniqueFd b(open(path.c_str(), O_RDONLY));
  LFileLockGuard first(a.Get(), LOCK_SH, 1000);
  LFileLockGuard second(b.Get(), LOCK_SH, 1000);
  EXPECT_TRUE(first.Locked());
  EXPECT_TRUE(second.Locked());
}

// A held lock makes the second try fail after the documented sleeps
// (timeout/32+1 doubling while below the timeout); the caller then goes on
// unlocked. The sleeps add up to at least 63+126+252+504+1008 ms for 2000.
TEST_F(FileLockTest, TimedOutLockReturnsFailureAfterTheWaitSequence) {
  const std::string path = TempDir() + "/f";
  LUniqueFd holder(open(path.c_str(), O_RDWR | O_CREAT, 0666));
  LUniqueFd waiter(open(path.c_str(), O_RDWR));
  ASSERT_EQ(flocktimed(holder.Get(), LOCK_EX, 100), 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(flocktimed(waiter.Get(), LOCK_EX, 2000), -1);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(63 + 126 + 252 + 504 + 1008));
  LFileLockGuard guard(waiter.Get(), LOCK_EX, 64);
  EXPECT_FALSE(guard.Locked());
}

TEST_F(FileLockTest, BadDescriptorFailsWithoutWaiting) {
  EXPECT_EQ(flocktimed(-1, LOCK_EX, 100000), -1);
}

TEST_F(FileLockTest, PathsFollowKavrixRootAndHome) {
  EXPECT_EQ(LFile::GetSharedDataFolderApp(), SharedFolder());
  EXPECT_EQ(LFile::GetSharedDataFolderAppSubFolder("Logs"), SharedFolder() + "/Logs");
  EXPECT_TRUE(KavrixFileExists(SharedFolder() + "/Logs"));
  EXPECT_EQ(LFile::GetUserDataFolderApp(), HomeFolder() + "/.mardel/kavrixserver");
  EXPECT_EQ(LFile::GetHelpFolder(), InstallRoot() + "/kavrixserver/share/help");
  EXPECT_EQ(LFile::FilePathCat("a/", "b"), "a/b");
  EXPECT_EQ(LFile::FilePathCat("a\\", "b"), "a\\b");
  EXPECT_EQ(LFile::FilePathCat("", "b"), "b");
  EXPECT_EQ(LFile::FilePathCat(std::string(300, 'x'), "b").size(), 259u);
}
