#pragma once
// Child processes for the settings tests: real processes contending for the
// same files, started together through a pipe instead of sleeps.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

#include "foundation/unique_fd.h"

// A forked child running `body`; its return value becomes the exit status.
// The child first waits until Release() (or the destructor) lets it go, so
// that several children start their work at the same moment.
class TestChild {
 public:
  explicit TestChild(const std::function<int()>& body) {
    int fds[2];
    if (pipe(fds) != 0) return;
    LUniqueFd read_end(fds[0]);
    write_end_.Reset(fds[1]);
    pid_ = fork();
    if (pid_ == 0) {
      write_end_.Reset();
      char byte;
      while (read(read_end.Get(), &byte, 1) < 0 && errno == EINTR) {
      }
      _exit(body());
    }
  }
  ~TestChild() {
    Release();
    Wait();
  }
  TestChild(const TestChild&) = delete;
  TestChild& operator=(const TestChild&) = delete;

  bool Started() const { return pid_ > 0; }
  pid_t Pid() const { return pid_; }
  // A byte rather than end-of-file, because children forked later hold
  // copies of this pipe's write end.
  void Release() {
    if (!write_end_) return;
    const char go = 1;
    while (write(write_end_.Get(), &go, 1) < 0 && errno == EINTR) {
    }
    write_end_.Reset();
  }
  // The exit status, or -1 when the child was killed or never ran.
  int Wait() {
    if (pid_ <= 0) return exit_status_;
    Release();
    int status = 0;
    pid_t done;
    while ((done = waitpid(pid_, &status, 0)) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    if (done < 0) return exit_status_;
    exit_status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return exit_status_;
  }
  int ExitStatus() const { return exit_status_; }

 private:
  pid_t pid_ = -1;
  int exit_status_ = -1;
  LUniqueFd write_end_;
};
