#include "foundation/thread.h"

#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <climits>

#include "foundation/poll_retry.h"

namespace {

std::atomic<size_t> g_default_stack_size{0};

pid_t CurrentThreadId() { return static_cast<pid_t>(::syscall(SYS_gettid)); }

size_t RoundedStackSize(size_t bytes) {
  const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  const size_t minimum = static_cast<size_t>(PTHREAD_STACK_MIN);
  if (bytes < minimum) bytes = minimum;
  return (bytes + page - 1) / page * page;
}

}  // namespace

void LApplyThreadPriority(pid_t thread_id, int priority) {
  sched_param param{};
  if (priority < 1) {
    param.sched_priority = 0;
    ::sched_setscheduler(thread_id, SCHED_OTHER, &param);
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(thread_id), -priority);
  } else {
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(thread_id), 0);
    param.sched_priority = priority;
    ::sched_setscheduler(thread_id, SCHED_RR, &param);
  }
}

void LThread::SetDefaultStackSize(size_t bytes) { g_default_stack_size.store(bytes); }

size_t LThread::GetDefaultStackSize() { return g_default_stack_size.load(); }

LThread::~LThread() { StopThreadNow(); }

bool LThread::Start(int priority) {
  std::lock_guard<std::mutex> lock(start_mutex_);
  if (has_handle_ && running_.load()) return true;
  JoinLocked();
  PrepareStart(priority);
  return CreateThread();
}

void LThread::PrepareStart(int priority) {
  stop_flag_.store(false);
  stop_signal_.Reset();
  running_.store(true);
  priority_.store(priority);
}

bool LThread::CreateThread() {
  pthread_attr_t attr;
  if (::pthread_attr_init(&attr) != 0) {
    running_.store(false);
    return false;
  }
  const size_t own = stack_size_.load();
  const size_t stack = own > 0 ? own : g_default_stack_size.load();
  if (stack > 0) ::pthread_attr_setstacksize(&attr, RoundedStackSize(stack));
  const int created = ::pthread_create(&handle_, &attr, &LThread::ThreadEntry, this);
  ::pthread_attr_destroy(&attr);
  has_handle_ = created == 0;
  if (!has_handle_) running_.store(false);
  return has_handle_;
}

void* LThread::ThreadEntry(void* self) {
  auto* thread = static_cast<LThread*>(self);
  thread->thread_id_.store(CurrentThreadId());
  // SetPriority may run between the two lines; whichever side comes second
  // sees the other's value, so the latest priority is the one applied.
  LApplyThreadPriority(thread->thread_id_.load(), thread->priority_.load());
  thread->ThreadFunction();
  thread->running_.store(false);
  thread->thread_id_.store(-1);
  thread->ThreadExited();
  return nullptr;
}

void LThread::StopThreadSoon() {
  stop_flag_.store(true);
  stop_signal_.Signal();
}

void LThread::StopThreadNow() {
  std::lock_guard<std::mutex> lock(start_mutex_);
  if (!has_handle_) return;
  StopThreadSoon();
  JoinLocked();
}

void LThread::Join() {
  std::lock_guard<std::mutex> lock(start_mutex_);
  JoinLocked();
}

void LThread::JoinLocked() {
  if (!has_handle_) return;
  // A body joining itself would wait for ever; leave the handle for the owner.
  if (::pthread_equal(handle_, ::pthread_self())) return;
  ::pthread_join(handle_, nullptr);
  has_handle_ = false;
}

void LThread::SetPriority(int priority) {
  priority_.store(priority);
  const pid_t id = thread_id_.load();
  if (id != -1) LApplyThreadPriority(id, priority);
}

LProcessResult LThread::ProcessWaitSignalObjectGroup(pollfd* group, int count, int timeout_ms) {
  if (count < 0 || count > kMaxWaitGroup || (count > 0 && group == nullptr)) return kLProcessFailed;
  pollfd entries[kMaxWaitGroup];
  for (int i = 0; i < count; ++i) {
    entries[i] = group[i];
    entries[i].revents = 0;
  }
  const bool with_stop = count < kMaxWaitGroup;
  if (with_stop) entries[count] = pollfd{stop_signal_.GetFd(), POLLIN, 0};
  const int total = count + (with_stop ? 1 : 0);
  const int ready = LPollRetry(entries, static_cast<nfds_t>(total), timeout_ms);
  for (int i = 0; i < count; ++i) group[i].revents = entries[i].revents;
  if (ready <= 0) return kLProcessFailed;
  if (with_stop && entries[count].revents != 0) return kLProcessStopped;
  return kLProcessDone;
}
