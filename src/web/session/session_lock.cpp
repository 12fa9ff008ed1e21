#include "web/session/session_lock.h"

#include <sys/file.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "foundation/thread.h"

namespace {

constexpr auto kRetryInterval = std::chrono::milliseconds(2);

}  // namespace

bool LSessionFileLock(int fd, int operation, int timeoutMs, const LThread* thread) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (::flock(fd, operation | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    if (thread != nullptr && thread->IsStopRequested()) return false;
    std::this_thread::sleep_for(kRetryInterval);
  }
}
