#include "foundation/file_lock.h"

#include <atomic>
#include <cerrno>

#include "foundation/sleep.h"

namespace {

std::atomic<LFileLockPause> pause_between_tries{&LSleepMilliseconds};

}  // namespace

void LSetFileLockPause(LFileLockPause replacement) {
  pause_between_tries = replacement ? replacement : &LSleepMilliseconds;
}

int flocktimed(int fd, int operation, int timeout_ms) {
  int wait_ms = timeout_ms / 32 + 1;
  for (;;) {
    if (flock(fd, operation | LOCK_NB) == 0) return 0;
    if (errno != EAGAIN) return -1;
    pause_between_tries.load()(wait_ms);
    wait_ms *= 2;
    if (wait_ms >= timeout_ms) {
      errno = EAGAIN;
      return -1;
    }
  }
}

LFileLockGuard::LFileLockGuard(int fd, int operation, int timeout_ms)
    : fd_(fd), locked_(fd >= 0 && flocktimed(fd, operation, timeout_ms) == 0) {}

LFileLockGuard::~LFileLockGuard() {
  if (locked_) flock(fd_, LOCK_UN);
}
