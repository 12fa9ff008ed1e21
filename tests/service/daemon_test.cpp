#include "service/daemon.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

struct ExitOf {
  bool exited = false;
  int status = -1;
};

ExitOf WaitFor(pid_t pid) {
  int status = 0;
  ExitOf result;
  if (waitpid(pid, &status, 0) != pid) return result;
  result.exited = WIFEXITED(status);
  result.status = result.exited ? WEXITSTATUS(status) : -1;
  return result;
}

// What the daemon child found after detaching, sent to the test through a
// pipe of its own.
struct DetachReport {
  int ok;
  pid_t pid;
  pid_t session;
  mode_t umask;
  char cwd[64];
  int standardOnNull;
};

bool IsDevNull(int fd) {
  struct stat fdInfo {}, nullInfo {};
  return fstat(fd, &fdInfo) == 0 && stat("/dev/null", &nullInfo) == 0 && fdInfo.st_rdev == nullInfo.st_rdev &&
         S_ISCHR(fdInfo.st_mode);
}

// The test process adopts the orphaned daemon children, so that each one is
// waited for here and none is left behind.
class DaemonTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0), 0); }
};

}  // namespace

TEST_F(DaemonTest, ParentReportsSuccessOnlyAfterTheChildSaysStarted) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  LUniqueFd readEnd(ends[0]), writeEnd(ends[1]);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    readEnd.Reset();
    _exit(LServiceReportStarted(writeEnd) ? 0 : 1);
  }
  writeEnd.Reset();
  EXPECT_EQ(LServiceAwaitStarted(readEnd.Get()), 0);
  EXPECT_EQ(WaitFor(child).status, 0);
}

TEST_F(DaemonTest, ChildThatEndsWithoutReportingGivesFailure) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  LUniqueFd readEnd(ends[0]), writeEnd(ends[1]);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(0);
  writeEnd.Reset();
  EXPECT_EQ(LServiceAwaitStarted(readEnd.Get()), 1);
  EXPECT_EQ(WaitFor(child).status, 0);
}

TEST_F(DaemonTest, ReportIsTheSevenBytesStarted) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  LUniqueFd readEnd(ends[0]), writeEnd(ends[1]);
  EXPECT_TRUE(LServiceReportStarted(writeEnd));
  EXPECT_FALSE(writeEnd.IsValid());
  char bytes[16] = {};
  EXPECT_EQ(read(readEnd.Get(), bytes, sizeof(bytes)), 7);
  EXPECT_EQ(std::string(bytes, 7), "started");
  EXPECT_EQ(read(readEnd.Get(), bytes, sizeof(bytes)), 0);
}

// The whole fork: the launcher (the program's first process) ends with 0
// once the detached daemon has reported.
TEST_F(DaemonTest, LauncherExitsZeroAfterTheDaemonStarted) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  LUniqueFd reportRead(ends[0]), reportWrite(ends[1]);
  const pid_t launcher = fork();
  ASSERT_GE(launcher, 0);
  if (launcher == 0) {
    reportRead.Reset();
    LUniqueFd started = LServiceForkDaemon();
    // Only the daemon gets here.
    DetachReport report{};
    report.ok = LServiceDetachSession() ? 1 : 0;
    report.pid = getpid();
    report.session = getsid(0);
    report.umask = umask(0);
    if (getcwd(report.cwd, sizeof(report.cwd)) == nullptr) report.cwd[0] = '\0';
    report.standardOnNull = IsDevNull(0) && IsDevNull(1) && IsDevNull(2) ? 1 : 0;
    if (write(reportWrite.Get(), &report, sizeof(report)) != sizeof(report)) _exit(2);
    _exit(LServiceReportStarted(started) ? 0 : 3);
  }
  reportWrite.Reset();
  DetachReport report{};
  ASSERT_EQ(read(reportRead.Get(), &report, sizeof(report)), static_cast<ssize_t>(sizeof(report)));
  EXPECT_EQ(report.ok, 1);
  EXPECT_EQ(report.session, report.pid);
  EXPECT_EQ(report.umask, 0u);
  EXPECT_STREQ(report.cwd, "/");
  EXPECT_EQ(report.standardOnNull, 1);
  EXPECT_EQ(WaitFor(launcher).status, 0);
  // The orphaned daemon came to this process (the subreaper).
  EXPECT_EQ(WaitFor(report.pid).status, 0);
}

// A daemon that dies before its report must not leave the launcher (and so
// the init script) waiting: the launcher ends with 1.
TEST_F(DaemonTest, LauncherExitsOneWhenTheDaemonDiesBeforeStarting) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  LUniqueFd pidRead(ends[0]), pidWrite(ends[1]);
  const pid_t launcher = fork();
  ASSERT_GE(launcher, 0);
  if (launcher == 0) {
    pidRead.Reset();
    LUniqueFd started = LServiceForkDaemon();
    const pid_t self = getpid();
    if (write(pidWrite.Get(), &self, sizeof(self)) != sizeof(self)) _exit(2);
    _exit(9);  // an engine start that failed
  }
  pidWrite.Reset();
  pid_t daemon = 0;
  ASSERT_EQ(read(pidRead.Get(), &daemon, sizeof(daemon)), static_cast<ssize_t>(sizeof(daemon)));
  EXPECT_EQ(WaitFor(launcher).status, 1);
  EXPECT_EQ(WaitFor(daemon).status, 9);
}
