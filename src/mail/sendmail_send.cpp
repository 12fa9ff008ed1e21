#include "mail/sendmail_send.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

#include "engine/socket_ops.h"
#include "foundation/log.h"
#include "foundation/thread.h"
#include "foundation/unique_fd.h"
#include "mail/mail_message.h"

extern char** environ;

namespace {

constexpr char kCannotRun[] =
    "Unable to run the unix \"sendmail\" tool to send the email. We suggest you try selecting the SMTP "
    "email option using Email Settings.";
// How often a running sendmail is looked at while it works.
constexpr int kExitPollMs = 10;

bool IsExecutable(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// An address as one argument: no line ends, and never taken for an option.
std::string SenderArgument(std::string_view from) {
  std::string out;
  for (char c : from) {
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) out.push_back(c);
  }
  while (!out.empty() && out.front() == '-') out.erase(0, 1);
  return out;
}

// Starts sendmail with `input` as its standard input and nothing on its
// standard output; -1 when it could not be started.
pid_t Spawn(const std::string& program, const std::string& sender, int input) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  if (posix_spawn_file_actions_init(&actions) != 0) return -1;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return -1;
  }
  posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  // The child starts with the default signal actions and an empty mask,
  // whatever this process ignores or blocks (SIGPIPE, SIGCHLD).
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  std::string arg0 = "sendmail", f = "-f", oi = "-oi", t = "-t", from = sender;
  char* argv[] = {arg0.data(), f.data(), from.data(), oi.data(), t.data(), nullptr};
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), &actions, &attributes, argv, environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  return pid;
}

// Waits for the child's end; stopped (after ending it) when the thread is
// asked to stop, failed when the time runs out (it is ended then too).
LProcessResult WaitExit(LThread* thread, pid_t pid, int& status) {
  for (int waited = 0;; waited += kExitPollMs) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return kLProcessDone;
    if (done < 0 && errno != EINTR) return kLProcessFailed;
    const bool stop = thread != nullptr && thread->IsStopRequested();
    if (stop || waited >= kLSendmailTimeoutMs) {
      ::kill(pid, SIGKILL);
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      return stop ? kLProcessStopped : kLProcessFailed;
    }
    ::poll(nullptr, 0, kExitPollMs);
  }
}

}  // namespace

std::string LFindSendmail() {
  const char* path = std::getenv("PATH");
  std::string_view folders = path != nullptr ? path : "";
  while (!folders.empty()) {
    const std::size_t colon = folders.find(':');
    const std::string_view folder = folders.substr(0, colon);
    folders.remove_prefix(colon == std::string_view::npos ? folders.size() : colon + 1);
    if (folder.empty()) continue;
    const std::string candidate = std::string(folder) + "/sendmail";
    if (IsExecutable(candidate)) return candidate;
  }
  return IsExecutable("/usr/sbin/sendmail") ? "/usr/sbin/sendmail" : "";
}

LProcessResult Process(LThread* thread, const LEmailSendProcessSendMail& mail) {
  LEmailContent content{mail.from, mail.to, mail.subject, mail.body, mail.attachments};
  std::string message;
  if (!LEmailComposeSendmail(content, message)) {
    LOGERROR("Unable to read an attachment of the email.");
    return kLProcessFailed;
  }
  const std::string program = LFindSendmail();
  if (program.empty()) {
    LOGERROR(kCannotRun);
    return kLProcessFailed;
  }
  // A socket rather than a pipe: a sendmail that ends early then fails the
  // send instead of raising SIGPIPE in this process.
  int ends[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
    LOGERROR(kCannotRun);
    return kLProcessFailed;
  }
  LUniqueFd ours(ends[0]);
  LUniqueFd theirs(ends[1]);
  const pid_t pid = Spawn(program, SenderArgument(mail.from), theirs.Get());
  theirs.Reset();
  if (pid < 0) {
    LOGERROR(kCannotRun);
    return kLProcessFailed;
  }
  ::fcntl(ours.Get(), F_SETFL, ::fcntl(ours.Get(), F_GETFL) | O_NONBLOCK);
  const LProcessResult sent = ProcessSend(thread, ours.Get(), message.data(), message.size(), kLSendmailTimeoutMs);
  ::shutdown(ours.Get(), SHUT_WR);
  int status = 0;
  const LProcessResult ended = WaitExit(thread, pid, status);
  if (sent == kLProcessStopped || ended == kLProcessStopped) return kLProcessStopped;
  if (ended != kLProcessDone || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || sent != kLProcessDone) {
    LOGERRORF("The unix \"sendmail\" tool did not take the email (%s %d).",
              ended == kLProcessDone && WIFSIGNALED(status) ? "signal" : "exit status",
              ended != kLProcessDone ? -1 : WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status));
    return kLProcessFailed;
  }
  return kLProcessDone;
}
