#include "service/service_process.h"

#include <sys/prctl.h>

#include <filesystem>

#include "service/daemon.h"

#include "support/test_helpers.h"

namespace {

class ServiceProcessTest : public KavrixTempRoot {
 protected:
  std::string Proc() const { return TempDir() + "/proc"; }
  // A process folder of the fake /proc with the given status text.
  void AddProcess(const std::string& entry, const std::string& status) {
    std::filesystem::create_directories(Proc() + "/" + entry);
    ASSERT_TRUE(KavrixWriteFile(Proc() + "/" + entry + "/status", status));
  }
};

}  // namespace

// Only entries of digits without a leading zero count, and only the first
// line naming exactly the service; a process that ended meanwhile (no
// status) is skipped, and a process folder that cannot be listed may hide it.
TEST_F(ServiceProcessTest, FindsTheServiceByTheNameLineOfItsStatus) {
  for (const char* entry : {"0815", "12a"}) AddProcess(entry, "Name:\tkavrixserverd\n");
  AddProcess("10", "Name:\tkavrixserverd2\n");
  AddProcess("16", "Name:\tbash\nName:\tkavrixserverd\n");
  std::filesystem::create_directories(Proc() + "/15");
  EXPECT_EQ(LServiceFindProcess(Proc(), "kavrixserverd"), LServiceSearch::kNotRunning);
  AddProcess("4711", "Name:\tkavrixserverd\nUmask:\t0022\nState:\tS (sleeping)\n");
  pid_t pid = 0;
  EXPECT_EQ(LServiceFindProcess(Proc(), "kavrixserverd", &pid), LServiceSearch::kRunning);
  EXPECT_EQ(pid, 4711);
  EXPECT_EQ(LServiceFindProcess(TempDir() + "/none", "kavrixserverd"), LServiceSearch::kUnknown);
  EXPECT_TRUE(LServiceIsRunning(TempDir() + "/none"));
}

// A daemon that dies before its report must not leave the launcher (and so
// the init script) waiting or report a start: the launcher ends with 1. The
// test process adopts the orphaned daemon so that it is waited for here.
TEST(DaemonLauncher, EndsWithOneWhenTheDaemonDiesBeforeStarting) {
  ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0), 0);
  TestPipe pids;
  const pid_t launcher = ForkChild([&] {
    pids.in.Reset();
    LUniqueFd started = LServiceForkDaemon();
    const pid_t self = getpid();
    if (write(pids.out.Get(), &self, sizeof(self)) != sizeof(self)) return 2;
    return 9;  // an engine start that failed
  });
  ASSERT_GT(launcher, 0);
  pids.out.Reset();
  pid_t daemon = 0;
  ASSERT_EQ(read(pids.in.Get(), &daemon, sizeof(daemon)), static_cast<ssize_t>(sizeof(daemon)));
  EXPECT_EQ(WaitExit(launcher), 1);
  EXPECT_EQ(WaitExit(daemon), 9);
}
