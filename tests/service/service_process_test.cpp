#include "service/service_process.h"

#include <filesystem>

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
