#include "foundation/system_lock_mutex.h"

#include <sys/ipc.h>
#include <sys/sem.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>

#include "foundation/sleep.h"

namespace {

// The caller defines this union for semctl (see semctl(2)).
union SemaphoreArgument {
  int val;
  semid_ds* buf;
  unsigned short* array;
};

constexpr int kRetrySleepMs = 10;
constexpr int kLeastUsefulRemainderMs = 11;

int ChangeBy(int semaphore_id, short delta, short flags) {
  sembuf op{0, delta, static_cast<short>(flags | SEM_UNDO)};
  return ::semop(semaphore_id, &op, 1);
}

}  // namespace

LSystemLockMutex::LSystemLockMutex(key_t key) {
  semaphore_id_ = ::semget(key, 1, 0666 | IPC_CREAT | IPC_EXCL);
  if (semaphore_id_ >= 0) {
    SemaphoreArgument value{};
    value.val = 1;
    if (::semctl(semaphore_id_, 0, SETVAL, value) != 0) {
      ::semctl(semaphore_id_, 0, IPC_RMID);
      semaphore_id_ = -1;
      return;
    }
    created_ = true;
    creator_pid_ = ::getpid();
    return;
  }
  if (errno == EEXIST) semaphore_id_ = ::semget(key, 1, 0666);
}

LSystemLockMutex::~LSystemLockMutex() {
  if (created_ && creator_pid_ == ::getpid()) ::semctl(semaphore_id_, 0, IPC_RMID);
}

bool LSystemLockMutex::LockForever() {
  if (semaphore_id_ < 0) return false;
  for (;;) {
    if (ChangeBy(semaphore_id_, -1, 0) == 0) return true;
    if (errno != EAGAIN && errno != EINTR) return false;
  }
}

bool LSystemLockMutex::Lock(int timeout_ms) {
  using Clock = std::chrono::steady_clock;
  if (semaphore_id_ < 0) return false;
  const auto start = Clock::now();
  for (;;) {
    if (ChangeBy(semaphore_id_, -1, IPC_NOWAIT) == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EAGAIN) return false;
    const auto spent =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    if (timeout_ms - spent < kLeastUsefulRemainderMs) return false;
    LSleepMilliseconds(kRetrySleepMs);
  }
}

bool LSystemLockMutex::Unlock() {
  if (semaphore_id_ < 0) return false;
  return ChangeBy(semaphore_id_, 1, 0) == 0;
}
