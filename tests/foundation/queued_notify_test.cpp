#include "foundation/queued_notify.h"

#include <glib.h>

#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/thread_queued_notify.h"

namespace {

struct Received {
  int code;
  bool had_data;
  std::string bytes;
};

class RecordingHandler : public LQueuedNotifyDataHandler {
 public:
  RecordingHandler(GMainLoop* loop, size_t expected) : loop_(loop), expected_(expected) {}
  void EvQueuedNotifyData(int code, const void* data, size_t length) override {
    const char* text = static_cast<const char*>(data);
    received.push_back({code, data != nullptr, data ? std::string(text, length) : ""});
    main_thread_ok = main_thread_ok && std::this_thread::get_id() == main_thread_;
    if (received.size() == expected_) g_main_loop_quit(loop_);
  }
  std::vector<Received> received;
  bool main_thread_ok = true;

 private:
  GMainLoop* loop_;
  size_t expected_;
  std::thread::id main_thread_ = std::this_thread::get_id();
};

// Runs every source that is ready now, without waiting.
int DrainDefaultContext() {
  int dispatched = 0;
  while (g_main_context_iteration(nullptr, FALSE)) ++dispatched;
  return dispatched;
}

}  // namespace

TEST(QueuedNotifyTest, WorkerNotificationsArriveInOrderOnTheLoopThread) {
  GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
  RecordingHandler handler(loop, 101);
  LQueuedNotifyDataSender sender(&handler);
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i) {
      std::string payload = "n" + std::to_string(i) + std::string(1, '\0') + "\xff";
      EXPECT_TRUE(sender.NotifyData(i, payload.data(), payload.size()));
      payload.assign(payload.size(), 'X');  // the queued copy must not change
    }
    EXPECT_TRUE(sender.NotifyData(-7, nullptr, 12));
  });
  g_main_loop_run(loop);
  worker.join();
  g_main_loop_unref(loop);
  ASSERT_EQ(handler.received.size(), 101u);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(handler.received[i].code, i);
    EXPECT_EQ(handler.received[i].bytes, "n" + std::to_string(i) + std::string(1, '\0') + "\xff");
  }
  EXPECT_EQ(handler.received[100].code, -7);
  EXPECT_FALSE(handler.received[100].had_data);
  EXPECT_TRUE(handler.main_thread_ok);
  EXPECT_EQ(DrainDefaultContext(), 0);  // each callback ran once
}

TEST(QueuedNotifyTest, SenderWithoutHandlerPostsNothing) {
  LQueuedNotifyDataSender sender;
  EXPECT_FALSE(sender.NotifyData(1, "abc", 3));
  EXPECT_FALSE(g_main_context_pending(nullptr));
}

namespace {

class CountingNotify : public LThreadQueuedNotify {
 public:
  std::string trace;
  int calls = 0;
  bool requeue_once = false;

 protected:
  void EvThreadQueuedNotify() override {
    ++calls;
    trace += "N";
    if (requeue_once) {
      requeue_once = false;
      QueueNotify();  // as a worker would while the callback runs
    }
  }
  void EnterToolkitLock() override { trace += "["; }
  void LeaveToolkitLock() override { trace += "]"; }
};

}  // namespace

TEST(ThreadQueuedNotifyTest, PendingWakeUpsCoalesceIntoOneCallback) {
  CountingNotify notify;
  notify.QueueNotify();
  notify.QueueNotify();
  std::thread worker([&] { notify.QueueNotify(); });
  worker.join();
  EXPECT_TRUE(notify.IsNotifyPending());
  EXPECT_EQ(DrainDefaultContext(), 1);
  EXPECT_EQ(notify.calls, 1);
  EXPECT_EQ(notify.trace, "[N]");
  EXPECT_FALSE(notify.IsNotifyPending());
}

TEST(ThreadQueuedNotifyTest, WakeUpDuringTheCallbackIsNotLost) {
  CountingNotify notify;
  notify.requeue_once = true;
  notify.QueueNotify();
  DrainDefaultContext();
  EXPECT_EQ(notify.calls, 2);
  EXPECT_EQ(notify.trace, "[N][N]");
}

TEST(ThreadQueuedNotifyTest, DestroyedObjectCancelsItsPendingWakeUp) {
  auto* notify = new CountingNotify;
  notify->QueueNotify();
  delete notify;
  EXPECT_EQ(DrainDefaultContext(), 0);
}
