#include "foundation/queued_notify.h"

#include <glib.h>

#include "foundation/thread_queued_notify.h"
#include "support/test_helpers.h"

namespace {

// Runs every source that is ready now, without waiting.
int DrainDefaultContext() {
  int dispatched = 0;
  while (g_main_context_iteration(nullptr, FALSE)) ++dispatched;
  return dispatched;
}

// Records "code:payload " of each notification; the last one has code -7.
struct RecordingHandler : LQueuedNotifyDataHandler {
  void EvQueuedNotifyData(int code, const void* data, size_t length) override {
    const std::string payload = data ? std::string(static_cast<const char*>(data), length) : "null";
    received += std::to_string(code) + ":" + payload + " ";
    main_thread_ok = main_thread_ok && std::this_thread::get_id() == main_thread;
    if (code < 0) g_main_loop_quit(loop);
  }
  GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
  std::thread::id main_thread = std::this_thread::get_id();
  std::string received;
  bool main_thread_ok = true;
};

struct CountingNotify : LThreadQueuedNotify {
  std::string trace;
  bool requeue_once = false;

  void EvThreadQueuedNotify() override {
    trace += "N";
    if (std::exchange(requeue_once, false)) QueueNotify();  // as a worker would while the callback runs
  }
  void EnterToolkitLock() override { trace += "["; }
  void LeaveToolkitLock() override { trace += "]"; }
};

}  // namespace

TEST(QueuedNotifyTest, WorkerNotificationsArriveOnceInOrderOnTheLoopThread) {
  RecordingHandler handler;
  LQueuedNotifyDataSender sender(&handler);
  std::thread worker([&] {
    std::string payload("a\0\xff", 3);
    EXPECT_TRUE(sender.NotifyData(1, payload.data(), payload.size()));
    payload.assign(payload.size(), 'X');  // the queued copy must not change
    EXPECT_TRUE(sender.NotifyData(2, payload.data(), 1) && sender.NotifyData(-7, nullptr, 12));
  });
  g_main_loop_run(handler.loop);
  worker.join();
  g_main_loop_unref(handler.loop);
  EXPECT_EQ(handler.received, std::string("1:a\0\xff 2:X -7:null ", 18));
  EXPECT_TRUE(handler.main_thread_ok);
  EXPECT_EQ(DrainDefaultContext(), 0);  // each callback ran once
}

// Pending wake-ups coalesce into one callback under the toolkit lock; one
// queued during the callback is not lost; a destroyed object cancels its own.
TEST(ThreadQueuedNotifyTest, WakeUpsCoalesceAndAreNeitherLostNorLeftBehind) {
  CountingNotify notify;
  notify.QueueNotify();
  std::thread worker([&] { notify.QueueNotify(), notify.QueueNotify(); });
  worker.join();
  EXPECT_EQ(DrainDefaultContext(), 1);
  EXPECT_EQ(notify.trace, "[N]");
  notify.requeue_once = true;
  notify.QueueNotify();
  DrainDefaultContext();
  EXPECT_EQ(notify.trace, "[N][N][N]");
  auto* doomed = new CountingNotify;
  doomed->QueueNotify();
  delete doomed;
  EXPECT_EQ(DrainDefaultContext(), 0);
}
