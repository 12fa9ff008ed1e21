#include "foundation/signal_object.h"

#include <pthread.h>

#include "foundation/poll_retry.h"
#include "support/loopback.h"
#include "support/test_helpers.h"

// Level-triggered: once set, every wait returns at once until Reset.
TEST(SignalObjectTest, SignalSetBeforeWaitsSatisfiesEveryWaitUntilReset) {
  LSignalObject object, other;
  EXPECT_FALSE(object.IsSignaled());
  object.Signal();
  for (int i = 0; i < 50; ++i) {
    EXPECT_TRUE(object.IsSignaled() && object.WaitSignal(60000) && object.WaitSignalForever());
    EXPECT_TRUE(other.WaitSignalDual(object, 60000) && other.WaitSignalTriple(other.Ref(), object, 60000));
  }
  object.Reset();
  EXPECT_FALSE(object.WaitSignal(0) || other.WaitSignalDual(object, 0) || other.WaitSignalTriple(other, object, 0));
  EXPECT_GE(ElapsedMs([&] { EXPECT_FALSE(object.WaitSignal(120)); }), 120);
  EXPECT_FALSE(object.WaitSignal(-5));  // never a wait without end by accident
  EXPECT_FALSE(LSignalObjectRef().WaitSignalForever());
}

// A full pipe must neither block Signal nor lose the level; Reset drains
// all. The pipe ends must not leak into commands the service runs.
TEST(SignalObjectTest, SignalOnFullPipeDoesNotBlockAndResetDrainsEverything) {
  LSignalObject object;
  EXPECT_TRUE(fcntl(object.GetFd(), F_GETFL) & O_NONBLOCK);
  EXPECT_TRUE(fcntl(object.GetFd(), F_GETFD) & FD_CLOEXEC);
  for (int i = 0; i < 70000; ++i) object.Signal();
  EXPECT_TRUE(object.IsSignaled());
  object.Reset();
  EXPECT_FALSE(object.IsSignaled());
  object.Signal();
  EXPECT_TRUE(object.Ref().IsSignaled());
}

// Every thread owns an object: each costs exactly one descriptor, so that a
// connection thread holds two (its socket and its stop signal), not three.
TEST(SignalObjectTest, EachObjectHoldsOneDescriptor) {
  const int before = KavrixCountOpenFds();
  {
    std::vector<LSignalObject> objects(20);
    EXPECT_EQ(KavrixCountOpenFds(), before + 20);
  }
  EXPECT_EQ(KavrixCountOpenFds(), before);
}

// Signals arriving during a wait (EINTR) must not shorten it.
TEST(SignalObjectTest, InterruptedPollResumesWithTheTimeLeft) {
  struct sigaction action {}, previous {};
  action.sa_handler = [](int) {};  // no SA_RESTART: poll fails with EINTR
  ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
  const pthread_t waiter = pthread_self();
  std::atomic<bool> finished{false};
  std::thread interrupter([&] {
    for (; !finished.load(); std::this_thread::sleep_for(std::chrono::milliseconds(5))) pthread_kill(waiter, SIGUSR1);
  });
  LSignalObject object;
  pollfd entry{object.GetFd(), POLLIN, 0};
  int ready = -1;
  EXPECT_GE(ElapsedMs([&] { ready = LPollRetry(&entry, 1, 300); }), 300);
  finished.store(true);
  interrupter.join();
  sigaction(SIGUSR1, &previous, nullptr);
  EXPECT_EQ(ready, 0);
}
