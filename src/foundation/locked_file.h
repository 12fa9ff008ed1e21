#pragma once
// Opening a shared file and locking it, so that the lock is held on the file
// that the path names once the lock is ours. An editor rewrites a log by
// renaming a new file over it while it holds the lock on the old one; whoever
// waited for that lock would otherwise win it on a file that no longer has a
// name, and an appended row would vanish with it.

#include <sys/types.h>

#include <string>

#include "foundation/unique_fd.h"

struct LLockedFile {
  LUniqueFd fd;
  // False when the lock timed out: the caller decides whether to go on
  // unlocked (appenders and readers do, editors do not).
  bool locked = false;
};

// Opens `path` with `flags` (O_CLOEXEC is added; `mode` applies with O_CREAT),
// takes `lock_op` (LOCK_SH or LOCK_EX) with `timeout_ms` through flocktimed,
// and opens again when the path was renamed over or removed meanwhile.
// Returns false when the file cannot be opened (errno set), e.g. when it is
// missing and O_CREAT was not given.
[[nodiscard]] bool LOpenLockedFile(const std::string& path, int flags, mode_t mode, int lock_op,
                                   int timeout_ms, LLockedFile& out);
