#include "service/service_process.h"

#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "foundation/unique_fd.h"
#include "support/temp_root.h"

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
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    ASSERT_TRUE(KavrixWriteFile(folder + "/status", status));
  }

  std::string proc_;
};

}  // namespace

TEST_F(ServiceProcessTest, FindsTheServiceByTheNameLineOfItsStatus) {
  AddProcess("1", "Name:\tinit\nUmask:\t0022\n");
  AddProcess("4711", "Name:\tkavrixserverd\nUmask:\t0022\nState:\tS (sleeping)\n");
  AddProcess("4712", "Name:\tbash\n");
  pid_t pid = 0;
  EXPECT_EQ(LServiceFindProcess(proc_, "kavrixserverd", &pid), LServiceSearch::kRunning);
  EXPECT_EQ(pid, 4711);
  EXPECT_TRUE(LServiceIsRunning(proc_));
}

TEST_F(ServiceProcessTest, OnlyEntriesOfDigitsWithoutLeadingZeroCount) {
  AddProcess("0815", "Name:\tkavrixserverd\n");
  AddProcess("12a", "Name:\tkavrixserverd\n");
  AddProcess("self", "Name:\tkavrixserverd\n");
  AddProcess("0", "Name:\tkavrixserverd\n");
  EXPECT_EQ(LServiceFindProcess(proc_, "kavrixserverd"), LServiceSearch::kNotRunning);
  EXPECT_FALSE(LServiceIsRunning(proc_));
}

TEST_F(ServiceProcessTest, NameMustMatchExactlyAndBrokenStatusFilesAreSkipped) {
  AddProcess("10", "Name:\tkavrixserverd2\n");
  AddProcess("11", "Name:\tkavrixserver\n");
  AddProcess("12", "Name:\n");
  AddProcess("13", "");
  AddProcess("14", std::string("Name:\tkavrixserverd\0x\n", 22));
  ASSERT_EQ(mkdir((proc_ + "/15").c_str(), 0755), 0);  // ended meanwhile: no status
  // The first line only: a later line naming the service does not count.
  AddProcess("16", "Name:\tbash\nName:\tkavrixserverd\n");
  pid_t pid = 0;
  EXPECT_EQ(LServiceFindProcess(proc_, "kavrixserverd", &pid), LServiceSearch::kRunning);
  EXPECT_EQ(pid, 14);
  ASSERT_EQ(unlink((proc_ + "/14/status").c_str()), 0);
  EXPECT_EQ(LServiceFindProcess(proc_, "kavrixserverd"), LServiceSearch::kNotRunning);
}

TEST_F(ServiceProcessTest, UnreadableProcessFolderCountsAsRunning) {
  EXPECT_EQ(LServiceFindProcess(TempDir() + "/none", "kavrixserverd"), LServiceSearch::kUnknown);
  EXPECT_TRUE(LServiceIsRunning(TempDir() + "/none"));
}

// A real process that calls itself "kavrixserverd" is found in the real /proc.
TEST_F(ServiceProcessTest, FindsARealProcessByItsName) {
  int ready[2], release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  LUniqueFd readyRead(ready[0]), readyWrite(ready[1]);
  LUniqueFd releaseRead(release[0]), releaseWrite(release[1]);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    prctl(PR_SET_NAME, "kavrixserverd", 0, 0, 0);
    const char byte = 'r';
    if (write(readyWrite.Get(), &byte, 1) != 1) _exit(2);
    char ignored;
    releaseWrite.Reset();
    _exit(read(releaseRead.Get(), &ignored, 1) == 0 ? 0 : 3);
  }
  readyWrite.Reset();
  releaseRead.Reset();
  char byte = 0;
  ASSERT_EQ(read(readyRead.Get(), &byte, 1), 1);
  EXPECT_EQ(LServiceFindProcess("/proc", "kavrixserverd"), LServiceSearch::kRunning);
  EXPECT_TRUE(LServiceIsRunning("/proc"));
  releaseWrite.Reset();
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
