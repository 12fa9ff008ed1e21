#include "foundation/detached_thread.h"

LDetachedThread::~LDetachedThread() {
  // Reached only after the body has ended (self-deletion) or was joined by
  // the owner, so there is nothing to wait for here.
}

bool LDetachedThread::StartDetached(LDetachedThreadsOwner* owner, int priority) {
  if (owner == nullptr) return false;
  // The list mutex is held across the creation so that a body which ends at
  // once finds itself linked and the handle written.
  std::lock_guard<std::mutex> list_lock(owner->list_mutex_);
  std::lock_guard<std::mutex> start_lock(start_mutex_);
  if (has_handle_ || owner_ != nullptr) return false;
  owner_ = owner;
  next_ = owner->head_;
  owner->head_ = this;
  ++owner->count_;
  PrepareStart(priority);
  if (CreateThread()) return true;
  owner->head_ = next_;
  --owner->count_;
  next_ = nullptr;
  owner_ = nullptr;
  return false;
}

void LDetachedThread::ThreadExited() {
  // Started with plain Start (no owner): the object stays with its creator.
  if (owner_ != nullptr) owner_->Destruct(this);
}

LDetachedThreadsOwner::~LDetachedThreadsOwner() { StopThreadsNow(); }

bool LDetachedThreadsOwner::Destruct(LDetachedThread* thread) {
  {
    std::lock_guard<std::mutex> lock(list_mutex_);
    LDetachedThread** link = &head_;
    while (*link != nullptr && *link != thread) link = &(*link)->next_;
    if (*link == nullptr) return false;
    *link = thread->next_;
    thread->next_ = nullptr;
    --count_;
    ++exiting_;
  }
  {
    // Off the list, nobody else can reach the object any more.
    std::lock_guard<std::mutex> start_lock(thread->start_mutex_);
    if (thread->has_handle_ && ::pthread_equal(thread->handle_, ::pthread_self())) {
      ::pthread_detach(thread->handle_);
      thread->has_handle_ = false;
    }
  }
  // Any handle left (not called on the thread itself) is joined by the
  // destructor.
  delete thread;
  std::lock_guard<std::mutex> lock(list_mutex_);
  if (--exiting_ == 0) reaped_.notify_all();
  return true;
}

void LDetachedThreadsOwner::StopThreadsSoon() {
  std::lock_guard<std::mutex> lock(list_mutex_);
  for (LDetachedThread* thread = head_; thread != nullptr; thread = thread->next_) {
    thread->StopThreadSoon();
  }
}

LDetachedThread* LDetachedThreadsOwner::TakeFirst() {
  std::lock_guard<std::mutex> lock(list_mutex_);
  LDetachedThread* first = head_;
  if (first == nullptr) return nullptr;
  head_ = first->next_;
  first->next_ = nullptr;
  --count_;
  return first;
}

void LDetachedThreadsOwner::StopThreadsNow() {
  StopThreadsSoon();
  for (;;) {
    while (LDetachedThread* thread = TakeFirst()) {
      thread->StopThreadNow();
      delete thread;
    }
    // A self-deletion is bounded by one destructor; its body has ended.
    std::unique_lock<std::mutex> lock(list_mutex_);
    reaped_.wait(lock, [this] { return exiting_ == 0; });
    if (head_ == nullptr) return;
  }
}

size_t LDetachedThreadsOwner::GetThreadCount() {
  std::lock_guard<std::mutex> lock(list_mutex_);
  return count_;
}
