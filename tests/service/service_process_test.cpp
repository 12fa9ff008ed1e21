#include "service/service_process.h"

#include <sys/prctl.h>

#include "support/test_helpers.h"

namespace {

class ServiceProcessTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    proc_ = TempDir() + "/proc";
    ASSERT_EQ(mkdir(proc_.c_str(), 0755), 0);
  }

  // A process folder of the fake /proc with the given status text.
  void AddProcess(const std::string& entry, const std::string& status) {
    const std::string folder = proc_ + "/" + entry;
    mkdir(folder.c_str(), 0755);
    ASSERT_TRUE(KavrixWriteFile(folder + "/status", status));
  }

  std::string proc_;
};

}  // namespace

// Only entries of digits without a leading zero count, and only the first
// line naming exactly the service; broken status files are skipped.
TEST_F(ServiceProcessTest, FindsTheServiceByTheNameLineOfItsStatus) {
  for (const char* entry : {"0815", "12a"}) AddProcess(entry, "Name:\tkavrixserverd\n");
  AddProcess("10", "Name:\tkavrixserverd2\n");
  AddProcess("11", "Name:\tkavrixserver\n");
  AddProcess("13", "");
  ASSERT_EQ(mkdir((proc_ + "/15").c_str(), 0755), 0);  // ended meanwhile: no status
  AddProcess("16", "Name:\tbash\nName:\tkavrixserverd\n");
  EXPECT_EQ(LServiceFindProcess(proc_, "kavrixserverd"), LServiceSearch::kNotRunning);
  EXPECT_FALSE(LServiceIsRunning(proc_));
  for (const std::string& status :
       {std::string("Name:\tkavrixserverd\nUmask:\t0022\nState:\tS (sleeping)\n"),
        std::string("Name:\tkavrixserverd\0x\n", 22)}) {
    AddProcess("4711", status);
    pid_t pid = 0;
    EXPECT_EQ(LServiceFindProcess(proc_, "kavrixserverd", &pid), LServiceSearch::kRunning);
    EXPECT_EQ(pid, 4711);
    EXPECT_TRUE(LServiceIsRunning(proc_));
  }
  EXPECT_EQ(LServiceFindProcess(TempDir() + "/none", "kavrixserverd"), LServiceSearch::kUnknown);
  EXPECT_TRUE(LServiceIsRunning(TempDir() + "/none"));
}

// A real process that calls itself "kavrixserverd" is found in the real /proc.
TEST_F(ServiceProcessTest, FindsARealProcessByItsName) {
  TestPipe ready, release;
  const pid_t child = ForkChild([&] {
    prctl(PR_SET_NAME, "kavrixserverd", 0, 0, 0);
    release.out.Reset();
    return ready.Send() && !release.Receive() ? 0 : 3;
  });
  ASSERT_GT(child, 0);
  release.in.Reset();
  ASSERT_TRUE(ready.Receive());
  EXPECT_EQ(LServiceFindProcess("/proc", "kavrixserverd"), LServiceSearch::kRunning);
  EXPECT_TRUE(LServiceIsRunning("/proc"));
  release.out.Reset();
  EXPECT_EQ(WaitExit(child), 0);
}
