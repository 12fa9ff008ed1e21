#include "foundation/command_runner.h"

#include "support/test_helpers.h"

class CommandRunnerTest : public KavrixTempRoot {};

// Each command blocks on a FIFO of its own until the test opens it for
// writing; with one FIFO for both, the first command's reader could take the
// second opening and leave the second command waiting for ever.
TEST_F(CommandRunnerTest, TimeoutFailsAndAStopOfTheCallerEndsTheWait) {
  const auto gated = [&](const std::string& fifo) {
    EXPECT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    return "cat '" + fifo + "' >/dev/null";
  };
  const std::string first = TempDir() + "/gate1", second = TempDir() + "/gate2";
  EXPECT_EQ(LRunCommand(nullptr, gated(first), 100), kLProcessFailed);
  LUniqueFd{open(first.c_str(), O_WRONLY)};  // lets the first command end
  std::atomic<int> result{-1};
  const std::string command = gated(second);
  LambdaThread caller([&](LThread* self) { result = LRunCommand(self, command, -1); });
  ASSERT_TRUE(caller.Start(0));
  caller.StopThreadSoon();
  caller.Join();
  EXPECT_EQ(result.load(), kLProcessStopped);
  LUniqueFd{open(second.c_str(), O_WRONLY)};
}
