#include "service/signal_handlers.h"

#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <new>

#include "foundation/settings_sections.h"

namespace {

// Everything below is read by signal handlers, so it is lock-free atomics or
// sig_atomic_t only.
std::atomic<bool> gRunningAsService{false};
volatile sig_atomic_t gTermRequested = 0;
// Created once and never destroyed, so a handler can never signal an object
// that is being torn down.
std::atomic<LSignalObject*> gTermSignal{nullptr};

constexpr int kUnwaitedSlots = 64;
// Children nobody waits for; 0 marks a free slot.
std::atomic<pid_t> gUnwaitedChildren[kUnwaitedSlots];
static_assert(std::atomic<pid_t>::is_always_lock_free);
static_assert(std::atomic<LSignalObject*>::is_always_lock_free);

// Long enough for the settings store's 3000 ms lock time-out.
constexpr unsigned kRecordExceptionSeconds = 5;

void SetAction(int signalNumber, void (*handler)(int), int flags, bool blockAll) {
  struct sigaction action {};
  action.sa_handler = handler;
  action.sa_flags = flags;
  if (blockAll) {
    sigfillset(&action.sa_mask);
  } else {
    sigemptyset(&action.sa_mask);
  }
  sigaction(signalNumber, &action, nullptr);
}

void UnblockSignal(int signalNumber) {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signalNumber);
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

// Decimal text without the C library's formatting (not async-signal-safe).
void FormatDecimal(int value, char (&out)[16]) {
  char reversed[16];
  int length = 0;
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  do {
    reversed[length++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0 && length < 14);
  int at = 0;
  if (value < 0) out[at++] = '-';
  while (length > 0) out[at++] = reversed[--length];
  out[at] = '\0';
}

// The settings store takes a mutex, a file lock and heap memory: a fault in
// the middle of any of them would make this write wait for ever. A default
// SIGALRM, unblocked here, ends the process instead after a few seconds.
void RecordException(int signalNumber) {
  SetAction(SIGALRM, SIG_DFL, 0, false);
  UnblockSignal(SIGALRM);
  alarm(kRecordExceptionSeconds);
  char number[16];
  FormatDecimal(signalNumber, number);
  LSettingSetString("Errors", "Exception", number);
  alarm(0);
}

}  // namespace

void LInstallProcessSignalHandlers() {
  for (int fatal : {SIGQUIT, SIGILL, SIGFPE, SIGSEGV}) {
    SetAction(fatal, LDebugSignalHandler, SA_RESTART, true);
  }
  SetAction(SIGPIPE, SIG_IGN, 0, false);
  SetAction(SIGCHLD, LNullSignalHandler, SA_RESTART | SA_NOCLDSTOP, false);
}

void LDebugSignalHandler(int signalNumber) {
  if (gRunningAsService.load()) RecordException(signalNumber);
  // Returning would run the faulting instruction again; ending by the same
  // signal keeps the exit status and the core dump that a crash should give.
  SetAction(signalNumber, SIG_DFL, 0, false);
  raise(signalNumber);
  UnblockSignal(signalNumber);
  _exit(128 + signalNumber);  // not reached: the default action ends the process
}

void LNullSignalHandler(int) {
  const int savedErrno = errno;
  for (std::atomic<pid_t>& slot : gUnwaitedChildren) {
    pid_t pid = slot.load();
    if (pid <= 0) continue;
    // The child was reaped now (pid) or is gone already (-1); 0 means it
    // still runs.
    if (waitpid(pid, nullptr, WNOHANG) != 0) slot.compare_exchange_strong(pid, 0);
  }
  errno = savedErrno;
}

bool LRegisterUnwaitedChild(pid_t pid) {
  if (pid <= 0) return false;
  for (std::atomic<pid_t>& slot : gUnwaitedChildren) {
    pid_t expected = 0;
    if (!slot.compare_exchange_strong(expected, pid)) continue;
    // The child may have ended before it was registered; its SIGCHLD found
    // nothing to reap then.
    if (waitpid(pid, nullptr, WNOHANG) != 0) slot.compare_exchange_strong(pid, 0);
    return true;
  }
  return false;
}

void LServiceSetRunningAsService(bool on) { gRunningAsService.store(on); }

bool LServiceIsRunningAsService() { return gRunningAsService.load(); }

void LServiceTermSignalHandler(int) {
  const int savedErrno = errno;
  gTermRequested = 1;
  // Signal() is a single write() to a non-blocking eventfd (or pipe), which
  // a signal handler may do.
  if (LSignalObject* wake = gTermSignal.load()) wake->Signal();
  errno = savedErrno;
}

void LServiceInstallTermSignalHandler(bool alsoInterrupt) {
  if (gTermSignal.load() == nullptr) {
    LSignalObject* created = new (std::nothrow) LSignalObject();
    if (created == nullptr) return;
    LSignalObject* expected = nullptr;
    if (!gTermSignal.compare_exchange_strong(expected, created)) delete created;
  }
  SetAction(SIGTERM, LServiceTermSignalHandler, SA_RESTART, false);
  if (alsoInterrupt) SetAction(SIGINT, LServiceTermSignalHandler, SA_RESTART, false);
}

bool LServiceTermRequested() { return gTermRequested != 0; }

LSignalObjectRef LServiceTermSignal() {
  LSignalObject* wake = gTermSignal.load();
  return wake != nullptr ? wake->Ref() : LSignalObjectRef();
}
