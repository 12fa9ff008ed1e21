#include "support/smtp_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "support/loopback.h"
#include "support/temp_root.h"

extern char** environ;

namespace {

constexpr int kStartLimitMs = 20000;
constexpr int kStopLimitMs = 5000;

std::string MessageFolder(const std::string& folder, int n) {
  char name[32];
  std::snprintf(name, sizeof name, "/msg-%03d", n);
  return folder + name;
}

}  // namespace

bool KavrixSmtpPeer::Start(const std::string& folder, const KavrixSmtpPeerOptions& options, std::string& why) {
  std::filesystem::create_directories(folder);
  folder_ = folder;
  port_ = options.port != 0 ? options.port : KavrixFreeLoopbackPort();
  host_ = options.host;
  std::vector<std::string> args = {"/usr/bin/python3", KAVRIX_TEST_SOURCE_DIR "/tests/support/smtp_peer.py",
                                   "--port", std::to_string(port_), "--host", options.host, "--out", folder, "--mode", options.mode};
  if (!options.auth.empty()) args.insert(args.end(), {"--auth", options.auth});
  if (!options.cert.empty()) args.insert(args.end(), {"--cert", options.cert, "--key", options.key});
  if (options.implicit_tls) args.push_back("--implicit");
  if (options.count_only) args.push_back("--count-only");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
    why = "no pipes";
    return false;
  }
  LUniqueFd in_read(in[0]), out_read(out[0]), out_write(out[1]);
  stdin_.Reset(in[1]);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in_read.Get(), 0);
  posix_spawn_file_actions_adddup2(&actions, out_write.Get(), 1);
  const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    pid_ = -1;
    why = "/usr/bin/python3 could not be started";
    return false;
  }
  out_write.Reset();
  std::string said;
  pollfd entry{out_read.Get(), POLLIN, 0};
  while (said.find('\n') == std::string::npos && poll(&entry, 1, kStartLimitMs) == 1) {
    char buffer[256];
    const ssize_t n = read(out_read.Get(), buffer, sizeof buffer);
    if (n <= 0) break;
    said.append(buffer, static_cast<std::size_t>(n));
  }
  if (said.rfind("READY", 0) != 0) {
    why = "the SMTP peer did not start (python3-aiosmtpd missing?): " + said;
    Stop();
    return false;
  }
  return true;
}

void KavrixSmtpPeer::Stop() {
  if (pid_ < 0) return;
  stdin_.Reset();  // the peer ends when its input closes
  int status = 0;
  for (int waited = 0; waitpid(pid_, &status, WNOHANG) == 0; waited += 20) {
    if (waited >= kStopLimitMs) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      break;
    }
    poll(nullptr, 0, 20);
  }
  pid_ = -1;
}

std::string KavrixSmtpPeer::HostText() const { return host_ + ":" + std::to_string(port_); }

int KavrixSmtpPeer::MessageCount() const {
  int n = 0;
  while (KavrixFileExists(MessageFolder(folder_, n + 1))) ++n;
  return n;
}

std::string KavrixSmtpPeer::Data(int n) const { return KavrixReadFile(MessageFolder(folder_, n) + "/data"); }

std::map<std::string, std::string> KavrixSmtpPeer::Meta(int n) const {
  std::map<std::string, std::string> out;
  const std::string text = KavrixReadFile(MessageFolder(folder_, n) + "/meta");
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    const std::string line = text.substr(at, end - at);
    at = end == std::string::npos ? text.size() : end + 1;
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) out[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return out;
}

std::string KavrixSmtpPeer::Attachment(int n, const std::string& name) const {
  return KavrixReadFile(MessageFolder(folder_, n) + "/attach-" + name);
}

std::string KavrixSmtpPeer::Transcript() const { return KavrixReadFile(folder_ + "/transcript"); }

bool KavrixMakeTestCertificate(const std::string& folder, std::string& cert, std::string& key) {
  cert = folder + "/cert.pem";
  key = folder + "/key.pem";
  const std::string command = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
                              "-subj /CN=localhost -addext subjectAltName=DNS:localhost,IP:127.0.0.1 -keyout '" +
                              key + "' -out '" + cert + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0 && KavrixFileExists(cert);
}

std::string KavrixShellOutput(const std::string& command, int* status) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  const int ended = pclose(pipe);
  if (status != nullptr) *status = ended;
  return out;
}
