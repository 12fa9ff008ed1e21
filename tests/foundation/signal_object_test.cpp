#include "foundation/signal_object.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "foundation/poll_retry.h"

TEST(SignalObjectTest, PipeEndsAreNonBlockingAndCloseOnExec) {
  LSignalObject object;
  ASSERT_TRUE(object.IsValid());
  EXPECT_TRUE(fcntl(object.GetFd(), F_GETFL) & O_NONBLOCK);
  EXPECT_TRUE(fcntl(object.GetFd(), F_GETFD) & FD_CLOEXEC);
}

// Level-triggered: once set, every wait returns at once until Reset.
TEST(SignalObjectTest, SignalSetBeforeWaitsSatisfiesEveryWaitUntilReset) {
  LSignalObject object;
  LSignalObject other;
  EXPECT_FALSE(object.IsSignaled());
  object.Signal();
  for (int i = 0; i < 50; ++i) {
    EXPECT_TRUE(object.IsSignaled());
    EXPECT_TRUE(object.WaitSignal(60000));
    EXPECT_TRUE(object.WaitSignalForever());
    EXPECT_TRUE(other.WaitSignalDual(object, 60000));
    EXPECT_TRUE(other.WaitSignalTriple(other.Ref(), object, 60000));
  }
  object.Reset();
  EXPECT_FALSE(object.IsSignaled());
  EXPECT_FALSE(object.WaitSignal(0));
  EXPECT_FALSE(other.WaitSignalDual(object, 0));
  EXPECT_FALSE(other.WaitSignalTriple(other, object, 0));
}

// A full pipe must neither block Signal nor lose the level; Reset drains all.
TEST(SignalObjectTest, SignalOnFullPipeDoesNotBlockAndResetDrainsEverything) {
  LSignalObject object;
  for (int i = 0; i < 70000; ++i) object.Signal();
  EXPECT_TRUE(object.IsSignaled());
  object.Reset();
  EXPECT_FALSE(object.IsSignaled());
  object.Signal();
  EXPECT_TRUE(object.Ref().IsSignaled());
}

TEST(SignalObjectTest, WaitTimesOutNoEarlierThanAsked) {
  LSignalObject object;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(object.WaitSignal(120));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(120));
  EXPECT_FALSE(object.WaitSignal(-5));  // never a wait without end by accident
}

TEST(SignalObjectTest, InvalidHandleNeverHangs) {
  LSignalObjectRef none;
  EXPECT_FALSE(none.IsSignaled());
  EXPECT_FALSE(none.WaitSignalForever());
}

// Signals arriving during a wait (EINTR) must not shorten it.
TEST(SignalObjectTest, InterruptedPollResumesWithTheTimeLeft) {
  struct sigaction action {};
  action.sa_handler = [](int) {};
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: poll fails with EINTR
  struct sigaction previous {};
  ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
  const pthread_t waiter = pthread_self();
  std::atomic<bool> finished{false};
  std::thread interrupter([&] {
    while (!finished.load()) {
      pthread_kill(waiter, SIGUSR1);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  LSignalObject object;
  pollfd entry{object.GetFd(), POLLIN, 0};
  const auto start = std::chrono::steady_clock::now();
  const int ready = LPollRetry(&entry, 1, 300);
  const auto waited = std::chrono::steady_clock::now() - start;
  finished.store(true);
  interrupter.join();
  sigaction(SIGUSR1, &previous, nullptr);
  EXPECT_EQ(ready, 0);
  EXPECT_GE(waited, std::chrono::milliseconds(300));
}
