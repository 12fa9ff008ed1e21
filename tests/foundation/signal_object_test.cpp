#include "foundation/signal_object.h"

#include "foundation/poll_retry.h"
#include "support/fake_poll.h"
#include "support/loopback.h"
#include "support/test_helpers.h"

// Level-triggered: once set, every wait returns at once until Reset.
TEST(SignalObjectTest, SignalSetBeforeWaitsSatisfiesEveryWaitUntilReset) {
  LSignalObject object;
  EXPECT_FALSE(object.IsSignaled());
  object.Signal();
  EXPECT_TRUE(object.WaitSignal(60000) && object.WaitSignalForever() && object.IsSignaled());
  object.Reset();
  EXPECT_FALSE(object.WaitSignal(0));
  EXPECT_FALSE(object.WaitSignal(-5));  // never a wait without end by accident
  EXPECT_FALSE(LSignalObjectRef().WaitSignalForever());
  // Signal never blocks, and the descriptor must not leak into commands.
  EXPECT_TRUE((fcntl(object.GetFd(), F_GETFL) & O_NONBLOCK) && (fcntl(object.GetFd(), F_GETFD) & FD_CLOEXEC));
}

// Signals arriving during a wait (EINTR) neither shorten nor stretch it.
TEST(SignalObjectTest, InterruptedPollResumesWithTheTimeLeft) {
  KavrixFakePoll fake;
  fake.InterruptAfter(100);
  fake.InterruptAfter(150);
  pollfd entry{-1, POLLIN, 0};
  EXPECT_EQ(LPollRetry(&entry, 1, 300), 0);
  EXPECT_EQ(fake.Timeouts(), (std::vector<int>{300, 200, 50}));
  fake.InterruptAfter(100);
  EXPECT_EQ(LPollRetry(&entry, 1, -1), 0);
  EXPECT_EQ(fake.Timeouts().back(), -1) << "a wait without limit stays so";
}
