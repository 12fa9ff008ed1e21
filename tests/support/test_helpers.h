#pragma once
// What nearly every test needs: the temporary data root, the headers for
// files, locks, threads and time, handshake pipes, forked children started
// on cue, and a thread whose body is a lambda.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <ctime>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "foundation/thread.h"
#include "foundation/unique_fd.h"
#include "support/temp_root.h"

using Strings = std::vector<std::string>;

// A one-way pipe: one byte says "go" (or "ready") between threads or processes.
struct TestPipe {
  TestPipe() {
    int fds[2];
    if (pipe(fds) == 0) in.Reset(fds[0]), out.Reset(fds[1]);
  }
  bool Send() { return write(out.Get(), "x", 1) == 1; }
  bool Receive() {
    char byte;
    return read(in.Get(), &byte, 1) == 1;
  }
  bool Ready() {
    pollfd entry{in.Get(), POLLIN, 0};
    return poll(&entry, 1, 0) == 1;
  }
  LUniqueFd in, out;
};

// A descriptor (appending) holding an exclusive lock on `path`, as a stuck
// peer would; invalid when that failed.
inline LUniqueFd HoldLock(const std::string& path) {
  LUniqueFd fd(open(path.c_str(), O_RDWR | O_CREAT | O_APPEND, 0666));
  if (flock(fd.Get(), LOCK_EX) != 0) fd.Reset();
  return fd;
}

// A forked child running `body` (its result is the exit status) once
// Release() or Wait() lets it go, so that several children start together.
class TestChild {
 public:
  explicit TestChild(const std::function<int()>& body) {
    pid_ = fork();
    if (pid_ == 0) _exit(gate_.Receive() ? body() : 99);
  }
  ~TestChild() { Wait(); }
  TestChild(const TestChild&) = delete;
  TestChild& operator=(const TestChild&) = delete;

  bool Started() const { return pid_ > 0; }
  void Release() {
    if (gate_.out) gate_.Send(), gate_.out.Reset();
  }
  // The exit status, or -1 when the child was killed or never ran.
  int Wait() {
    if (pid_ <= 0) return status_;
    Release();
    int raw = 0;
    status_ = waitpid(std::exchange(pid_, -1), &raw, 0) > 0 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return status_;
  }

 private:
  TestPipe gate_;
  pid_t pid_ = -1;
  int status_ = -1;
};

// A child process running `body` at once; its result is the exit status.
inline pid_t ForkChild(const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  return pid;
}

// The raw wait status of `pid`, or -1 when it cannot be waited for.
inline int WaitStatus(pid_t pid) {
  int raw = 0;
  return pid > 0 && waitpid(pid, &raw, 0) == pid ? raw : -1;
}

// The exit status of `pid`, or -1 when it was killed or cannot be waited for.
inline int WaitExit(pid_t pid) {
  const int raw = WaitStatus(pid);
  return raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

class LambdaThread : public LThread {
 public:
  explicit LambdaThread(std::function<void(LThread*)> body) : body_(std::move(body)) {}
  ~LambdaThread() override { StopThreadNow(); }

 protected:
  void ThreadFunction() override { body_(this); }

 private:
  std::function<void(LThread*)> body_;
};

