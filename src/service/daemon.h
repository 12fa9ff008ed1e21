#pragma once
// Turning the process into a daemon, with a handshake so that whoever started
// it (the init script's start-stop-daemon) returns only once the engine runs:
// the child writes "started" to a pipe, and the parent exits with status 0 on
// reading it. A child that dies first closes the pipe, and the parent then
// exits with status 1 instead of waiting for ever.

#include "foundation/unique_fd.h"

// The 7 bytes the child writes (no terminator).
inline constexpr char kLServiceStartedReport[] = "started";

// Forks. The parent never returns: it waits for the child's report and ends
// with LServiceAwaitStarted's status. The child gets the pipe's write end.
// When the pipe or the fork fails, the calling process ends with status 1.
LUniqueFd LServiceForkDaemon();

// Reads the pipe until the child writes something (0) or the pipe reports
// end of file because every write end is closed (1).
int LServiceAwaitStarted(int readFd);

// Writes "started" and closes the pipe. False when the parent is gone.
bool LServiceReportStarted(LUniqueFd& startedPipe);

// The daemon's detachment: a new session, working folder "/", the data's
// umask (foundation/file_modes.h), and descriptors 0, 1 and 2 on /dev/null.
// False when setsid or chdir fails.
[[nodiscard]] bool LServiceDetachSession();
