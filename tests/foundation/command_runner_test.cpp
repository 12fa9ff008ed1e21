#include "foundation/command_runner.h"

#include "support/test_helpers.h"

class CommandRunnerTest : public KavrixTempRoot {};

// A command that fails still ran: done, with its status. More output than is
// kept must not block the command on a full pipe.
TEST_F(CommandRunnerTest, ExitStatusAndOutputAreReported) {
  LCommandOutcome outcome;
  EXPECT_EQ(LRunCommand(nullptr, "printf 'a\\nb\\0c'; exit 0", 60000, &outcome), kLProcessDone);
  EXPECT_TRUE(outcome.ExitedWithZero() && outcome.output == std::string("a\nb\0c", 5));
  EXPECT_EQ(LRunCommand(nullptr, "exit 3", 60000, &outcome), kLProcessDone);
  EXPECT_TRUE(WIFEXITED(outcome.wait_status) && WEXITSTATUS(outcome.wait_status) == 3);
  EXPECT_EQ(LRunCommand(nullptr, "head -c 300000 /dev/zero", -1, &outcome), kLProcessDone);
  EXPECT_EQ(outcome.output, std::string(kLCommandMaxOutput, '\0'));
}

// The command blocks on a FIFO until the test opens it for writing.
TEST_F(CommandRunnerTest, TimeoutFailsAndAStopOfTheCallerEndsTheWait) {
  const std::string fifo = TempDir() + "/gate", command = "cat '" + fifo + "' >/dev/null";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(LRunCommand(nullptr, command, 100), kLProcessFailed);
  LUniqueFd{open(fifo.c_str(), O_WRONLY)};  // lets the first command end
  std::atomic<int> result{-1};
  LambdaThread caller([&](LThread* self) { result = LRunCommand(self, command, -1); });
  ASSERT_TRUE(caller.Start(0));
  caller.StopThreadSoon();
  caller.Join();
  EXPECT_EQ(result.load(), kLProcessStopped);
  LUniqueFd{open(fifo.c_str(), O_WRONLY)};
}
