#include "foundation/command_runner.h"

#include "support/test_helpers.h"

class CommandRunnerTest : public KavrixTempRoot {};

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
