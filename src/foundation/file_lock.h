#pragma once
// Advisory whole-file locks with a time-out. Callers never test the result:
// when the lock cannot be had in time the operation goes ahead unlocked,
// because a stuck peer must not stop the office from working.

#include <sys/file.h>

// `operation` is LOCK_SH or LOCK_EX (LOCK_NB is always added). The first wait
// is timeout/32 + 1 ms and doubles after each failed try; the last sleep is not
// followed by another try. Returns 0 when locked, -1 otherwise (errno set).
int flocktimed(int fd, int operation, int timeout_ms);

// The pause between two tries, `ms` long. Tests put in their own so that a
// lock time-out costs no real time; nullptr brings back the real sleep.
using LFileLockPause = void (*)(int ms);
void LSetFileLockPause(LFileLockPause pause);

// Releases the lock taken on `fd` when the object goes out of scope.
class LFileLockGuard {
 public:
  LFileLockGuard(int fd, int operation, int timeout_ms);
  ~LFileLockGuard();
  LFileLockGuard(const LFileLockGuard&) = delete;
  LFileLockGuard& operator=(const LFileLockGuard&) = delete;
  bool Locked() const { return locked_; }

 private:
  int fd_;
  bool locked_;
};
