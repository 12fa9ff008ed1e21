#include "service/daemon.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "foundation/file_modes.h"

namespace {

// Up to 260 bytes are read at a time; the report is 7.
constexpr size_t kReportBuffer = 260;

}  // namespace

LUniqueFd LServiceForkDaemon() {
  int ends[2];
  // Close-on-exec: a command the child runs later must not keep the pipe
  // open, or the parent would not see the end of file when the child dies.
  if (pipe2(ends, O_CLOEXEC) != 0) _exit(1);
  LUniqueFd readEnd(ends[0]);
  LUniqueFd writeEnd(ends[1]);
  // Buffered output would otherwise be written twice, once by each process.
  fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) _exit(1);
  if (child > 0) {
    writeEnd.Reset();
    // _exit: the parent's copies of the program's objects belong to the child.
    _exit(LServiceAwaitStarted(readEnd.Get()));
  }
  return writeEnd;
}

int LServiceAwaitStarted(int readFd) {
  char buffer[kReportBuffer];
  for (;;) {
    const ssize_t got = read(readFd, buffer, sizeof(buffer));
    if (got > 0) return 0;
    if (got < 0 && errno == EINTR) continue;
    return 1;  // end of file: the child ended without reporting
  }
}

bool LServiceReportStarted(LUniqueFd& startedPipe) {
  const size_t length = sizeof(kLServiceStartedReport) - 1;
  ssize_t written;
  do {
    written = write(startedPipe.Get(), kLServiceStartedReport, length);
  } while (written < 0 && errno == EINTR);
  startedPipe.Reset();
  return written == static_cast<ssize_t>(length);
}

bool LServiceDetachSession() {
  if (setsid() < 0) return false;
  if (chdir("/") != 0) return false;
  umask(kLDataUmask);
  // Descriptors 0, 1 and 2 are reopened on /dev/null rather than left
  // closed: the next socket or file would otherwise get number 1 or 2, and a
  // stray printf or library message would then write into it.
  LUniqueFd null(open("/dev/null", O_RDWR));
  for (int fd = 0; fd <= 2; ++fd) {
    if (!null) {
      close(fd);
    } else if (null.Get() != fd) {
      dup2(null.Get(), fd);
    }
  }
  // When /dev/null itself came out as 0, 1 or 2 it stays open as that one.
  if (null && null.Get() <= 2) null.Release();
  return true;
}
