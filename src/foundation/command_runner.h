#pragma once
// Runs shell commands (popen/pclose) on a runner thread of their own, so that
// the calling thread keeps watching its stop signal while the command runs.
//
// The job record is shared by the caller and the runner thread: the runner
// signals "done" when the command has ended, then waits for the caller's
// acknowledgement and frees the record. The caller acknowledges when it has
// read the results, or when it gives up (stop or timeout); it never touches
// the record afterwards. A command given up on keeps running until it ends
// by itself; only then does its runner thread end.

#include <cstddef>
#include <string>

#include "foundation/process_result.h"

class LThread;

// Standard output beyond this many bytes is read and dropped, so that a
// chatty command never blocks on a full pipe.
inline constexpr size_t kLCommandMaxOutput = 64 * 1024;

struct LCommandOutcome {
  // The wait status from pclose, -1 when unknown (SIGCHLD ignored: ECHILD).
  int wait_status = -1;
  // The first kLCommandMaxOutput bytes of standard output.
  std::string output;

  // "Succeeded": ended normally with exit status 0.
  bool ExitedWithZero() const;
};

// Runs `command` with /bin/sh. Done when the command ran (whatever its exit
// status: see outcome); stopped when the thread's stop signal fired first;
// failed when the command could not be started, pclose failed, no runner
// thread could be created, or the time ran out. `thread` may be null; a
// negative timeout waits until the command ends or the thread is stopped.
LProcessResult LRunCommand(LThread* thread, const std::string& command, int timeout_ms,
                           LCommandOutcome* outcome = nullptr);

// The runner thread's entry; `job` is the record made by LRunCommand.
void* ProcessRunThreadCallback(void* job);
