#include "service/stop_semaphore.h"

#include <cstdint>

#include "support/test_helpers.h"

namespace {

// A name of this test process alone, so that no test ever touches the
// semaphore of a real service on the machine; removed whatever the outcome.
struct PrivateSemaphore {
  std::string name = "kavrix-test-stop-" + std::to_string(getpid());
  ~PrivateSemaphore() { LServiceClearSemaphore(name); }
};

}  // namespace

// 0xE539B227 was worked out by hand from the rule (11223, then *32 + byte);
// bytes above 0x7F count signed (0xE9 is -23), and a key that wraps to zero
// becomes one.
TEST(StopSemaphoreKey, KeysOfNamesIncludingSignedBytesAndWrapToZero) {
  const std::pair<std::string, uint32_t> cases[] = {
      {"kavrixserverd.stopping", 0xE539B227u},
      {"\xE9", 11223u * 32 - 23},
      {std::string("\x9c}d\x80\xfd`", 6), 1u},
  };
  for (const auto& [name, key] : cases) EXPECT_EQ(LServiceSemaphoreKey(name), key) << name;
}

// A missing semaphore is no wait, a held one runs out; creating it again
// opens the existing one. The desktop side and the service side are two
// processes: the waiter in the child returns once the parent removed it.
TEST(StopSemaphore, HeldSemaphoreRunsOutAndAWaiterInAnotherProcessIsReleasedByTheRemoval) {
  PrivateSemaphore semaphore;
  EXPECT_TRUE(LServiceWaitSemaphore(semaphore.name, 0));
  ASSERT_TRUE(LServiceCreateSemaphore(semaphore.name));
  ASSERT_TRUE(LServiceCreateSemaphore(semaphore.name));
  EXPECT_FALSE(LServiceWaitSemaphore(semaphore.name, 0));
  TestPipe ready;
  const pid_t child = ForkChild([&] {
    return ready.Send() && LServiceWaitSemaphore(semaphore.name, kLServiceWaitForever) ? 0 : 1;
  });
  ASSERT_GT(child, 0);
  ASSERT_TRUE(ready.Receive());
  EXPECT_TRUE(LServiceClearSemaphore(semaphore.name));
  EXPECT_EQ(WaitExit(child), 0);
  EXPECT_TRUE(LServiceWaitSemaphore(semaphore.name, 0));
}
