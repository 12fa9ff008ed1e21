#include "service/stop_semaphore.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "foundation/unique_fd.h"

namespace {

// A name of this test process alone, so that no test ever touches the
// semaphore of a real service on the machine.
std::string PrivateName(const char* what) {
  return std::string("kavrix-test-") + what + "-" + std::to_string(getpid());
}

// Removes the semaphore whatever the test's outcome.
struct SemaphoreCleanup {
  std::string name;
  ~SemaphoreCleanup() { LServiceClearSemaphore(name); }
};

int ExitStatusOf(pid_t child) {
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace

// 0xE539B227 was worked out by hand from the rule (11223, then *32 + byte).
TEST(StopSemaphoreKey, StopSemaphoreNameHasItsFixedKey) {
  EXPECT_EQ(LServiceSemaphoreKey("kavrixserverd.stopping"), 3845763623u);
  EXPECT_EQ(LServiceSemaphoreKey("kavrixserverd.stopping"), 0xE539B227u);
}

TEST(StopSemaphoreKey, EmptyNameAndBytesAboveSeventyFAreSigned) {
  EXPECT_EQ(LServiceSemaphoreKey(""), 11223u);
  EXPECT_EQ(LServiceSemaphoreKey("a"), 11223u * 32 + 97);
  // 0xE9 counts as -23.
  EXPECT_EQ(LServiceSemaphoreKey("\xE9"), 11223u * 32 - 23);
}

TEST(StopSemaphoreKey, KeyThatWrapsToZeroBecomesOne) {
  const std::string name("\x9c}d\x80\xfd`", 6);
  EXPECT_EQ(LServiceSemaphoreKey(name), 1u);
}

TEST(StopSemaphoreKey, EveryProcessDerivesTheSameKey) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  LUniqueFd readEnd(ends[0]), writeEnd(ends[1]);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const uint32_t key = LServiceSemaphoreKey("kavrixserverd.stopping");
    _exit(write(writeEnd.Get(), &key, sizeof(key)) == sizeof(key) ? 0 : 1);
  }
  writeEnd.Reset();
  uint32_t childKey = 0;
  ASSERT_EQ(read(readEnd.Get(), &childKey, sizeof(childKey)), static_cast<ssize_t>(sizeof(childKey)));
  EXPECT_EQ(ExitStatusOf(child), 0);
  EXPECT_EQ(childKey, LServiceSemaphoreKey("kavrixserverd.stopping"));
}

TEST(StopSemaphore, MissingSemaphoreWaitsNothingAndClearsFine) {
  const std::string name = PrivateName("missing");
  EXPECT_TRUE(LServiceWaitSemaphore(name, 5000));
  EXPECT_TRUE(LServiceClearSemaphore(name));
}

TEST(StopSemaphore, HeldSemaphoreTimesOutAfterTheWholeTimeout) {
  SemaphoreCleanup cleanup{PrivateName("held")};
  ASSERT_TRUE(LServiceCreateSemaphore(cleanup.name));
  // Creating it again opens the existing one.
  ASSERT_TRUE(LServiceCreateSemaphore(cleanup.name));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(LServiceWaitSemaphore(cleanup.name, 600));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(600));
  EXPECT_TRUE(LServiceClearSemaphore(cleanup.name));
  EXPECT_TRUE(LServiceWaitSemaphore(cleanup.name, 600));
}

// The desktop side and the service side are two processes: the waiter in the
// child returns once the parent has removed the semaphore.
TEST(StopSemaphore, WaiterInAnotherProcessIsReleasedByTheRemoval) {
  SemaphoreCleanup cleanup{PrivateName("handshake")};
  ASSERT_TRUE(LServiceCreateSemaphore(cleanup.name));
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  LUniqueFd readEnd(ends[0]), writeEnd(ends[1]);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    readEnd.Reset();
    const char ready = 'r';
    if (write(writeEnd.Get(), &ready, 1) != 1) _exit(2);
    _exit(LServiceWaitSemaphore(cleanup.name, kLServiceWaitForever) ? 0 : 1);
  }
  writeEnd.Reset();
  char ready = 0;
  ASSERT_EQ(read(readEnd.Get(), &ready, 1), 1);
  EXPECT_TRUE(LServiceClearSemaphore(cleanup.name));
  EXPECT_EQ(ExitStatusOf(child), 0);
}
