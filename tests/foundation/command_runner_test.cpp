#include "foundation/command_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <atomic>

#include "foundation/unique_fd.h"
#include "support/temp_root.h"
#include "thread_test_util.h"

class CommandRunnerTest : public KavrixTempRoot {
 protected:
  // A command that blocks on a FIFO until the test opens it for writing.
  std::string MakeBlockingCommand() {
    fifo_ = TempDir() + "/gate";
    EXPECT_EQ(mkfifo(fifo_.c_str(), 0600), 0);
    return "cat '" + fifo_ + "' >/dev/null";
  }
  // Lets the blocked command end (open waits until it has the FIFO open).
  void ReleaseBlockingCommand() { LUniqueFd writer(open(fifo_.c_str(), O_WRONLY)); }

  std::string fifo_;
};

TEST_F(CommandRunnerTest, ExitStatusAndOutputAreReported) {
  LCommandOutcome outcome;
  EXPECT_EQ(LRunCommand(nullptr, "printf 'a\\nb\\0c'; exit 0", 60000, &outcome), kLProcessDone);
  EXPECT_TRUE(outcome.ExitedWithZero());
  EXPECT_EQ(outcome.output, std::string("a\nb\0c", 5));
  // A command that fails still ran: done, with its status.
  EXPECT_EQ(LRunCommand(nullptr, "exit 3", 60000, &outcome), kLProcessDone);
  EXPECT_FALSE(outcome.ExitedWithZero());
  ASSERT_TRUE(WIFEXITED(outcome.wait_status));
  EXPECT_EQ(WEXITSTATUS(outcome.wait_status), 3);
  EXPECT_EQ(LRunCommand(nullptr, "kill -9 $$", 60000, &outcome), kLProcessDone);
  EXPECT_FALSE(outcome.ExitedWithZero());
  EXPECT_TRUE(WIFSIGNALED(outcome.wait_status));
}

// More output than is kept must not block the command on a full pipe.
TEST_F(CommandRunnerTest, LongOutputIsCutAndTheCommandEnds) {
  LCommandOutcome outcome;
  EXPECT_EQ(LRunCommand(nullptr, "head -c 300000 /dev/zero", -1, &outcome), kLProcessDone);
  EXPECT_TRUE(outcome.ExitedWithZero());
  EXPECT_EQ(outcome.output, std::string(kLCommandMaxOutput, '\0'));
}

TEST_F(CommandRunnerTest, CommandStillRunningAtTheTimeoutFails) {
  const std::string command = MakeBlockingCommand();
  EXPECT_EQ(LRunCommand(nullptr, command, 100), kLProcessFailed);
  ReleaseBlockingCommand();
}

TEST_F(CommandRunnerTest, StopOfTheCallingThreadEndsTheWait) {
  const std::string command = MakeBlockingCommand();
  std::atomic<int> result{-1};
  LambdaThread caller([&](LThread* self) { result = LRunCommand(self, command, -1); });
  ASSERT_TRUE(caller.Start(0));
  caller.StopThreadSoon();
  caller.Join();
  EXPECT_EQ(result.load(), kLProcessStopped);
  ReleaseBlockingCommand();
}

// With SIGCHLD ignored the kernel reaps the shell and pclose fails with
// ECHILD: the command did run, so the result is done, status unknown.
TEST_F(CommandRunnerTest, ReapedChildCountsAsDoneWithUnknownStatus) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  struct sigaction previous {};
  ASSERT_EQ(sigaction(SIGCHLD, &ignore, &previous), 0);
  LCommandOutcome outcome;
  const LProcessResult result = LRunCommand(nullptr, "echo ran", 60000, &outcome);
  sigaction(SIGCHLD, &previous, nullptr);
  EXPECT_EQ(result, kLProcessDone);
  EXPECT_EQ(outcome.wait_status, -1);
  EXPECT_EQ(outcome.output, "ran\n");
}
