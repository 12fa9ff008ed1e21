#include "foundation/command_runner.h"

#include <pthread.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>

#include "foundation/process_wait.h"
#include "foundation/signal_object.h"
#include "foundation/thread.h"

namespace {

struct LCommandJob {
  std::string command;
  // Written by the runner before `done` is signalled; read by the caller after.
  int result = kLProcessFailed;
  LCommandOutcome outcome;
  LSignalObject done;
  LSignalObject acknowledged;
};

void ReadAll(FILE* pipe, std::string* output) {
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
    const size_t room = kLCommandMaxOutput - output->size();
    output->append(buffer, got < room ? got : room);
  }
}

int RunShellCommand(const std::string& command, LCommandOutcome* outcome) {
  // "e": the pipe is close-on-exec, so commands started later never hold it.
  FILE* pipe = ::popen(command.c_str(), "re");
  if (pipe == nullptr) return kLProcessFailed;
  ReadAll(pipe, &outcome->output);
  const int status = ::pclose(pipe);
  if (status != -1) {
    outcome->wait_status = status;
    return kLProcessDone;
  }
  // ECHILD: the child was reaped elsewhere (SIGCHLD ignored); it did run.
  return errno == ECHILD ? kLProcessDone : kLProcessFailed;
}

bool StartRunner(LCommandJob* job) {
  pthread_attr_t attr;
  if (::pthread_attr_init(&attr) != 0) return false;
  ::pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
  const size_t stack = LThread::GetDefaultStackSize();
  if (stack >= static_cast<size_t>(PTHREAD_STACK_MIN)) ::pthread_attr_setstacksize(&attr, stack);
  pthread_t handle;
  const int created = ::pthread_create(&handle, &attr, &ProcessRunThreadCallback, job);
  ::pthread_attr_destroy(&attr);
  return created == 0;
}

}  // namespace

bool LCommandOutcome::ExitedWithZero() const {
  return wait_status != -1 && WIFEXITED(wait_status) && WEXITSTATUS(wait_status) == 0;
}

void* ProcessRunThreadCallback(void* record) {
  auto* job = static_cast<LCommandJob*>(record);
  job->result = RunShellCommand(job->command, &job->outcome);
  job->done.Signal();
  job->acknowledged.WaitSignalForever();
  delete job;
  return nullptr;
}

LProcessResult LRunCommand(LThread* thread, const std::string& command, int timeout_ms,
                           LCommandOutcome* outcome) {
  auto* job = new LCommandJob;
  job->command = command;
  if (!job->done.IsValid() || !job->acknowledged.IsValid() || !StartRunner(job)) {
    delete job;
    return kLProcessFailed;
  }
  LProcessResult waited = timeout_ms < 0 ? ProcessWaitSignalForever(thread, job->done)
                                         : ProcessWaitSignal(thread, job->done, timeout_ms);
  // The stop signal wins a tie, but a command that has ended is reported.
  if (waited == kLProcessStopped && job->done.IsSignaled()) waited = kLProcessDone;
  if (waited == kLProcessDone) {
    waited = static_cast<LProcessResult>(job->result);
    if (outcome != nullptr) *outcome = job->outcome;
  }
  // From here on the record belongs to the runner.
  job->acknowledged.Signal();
  return waited;
}
