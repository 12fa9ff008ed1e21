#pragma once
// A real SMTP server for tests: tests/support/smtp_peer.py (Debian's
// python3-aiosmtpd) started on a loopback port and stopped with the object.
// What it received is read back from its folder: the raw message, the
// headers as Python's email package parsed them, and the command transcript.

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>

#include "foundation/unique_fd.h"

struct KavrixSmtpPeerOptions {
  std::uint16_t port = 0;         // 0: a free loopback port
  std::string host = "127.0.0.1";
  std::string auth;               // "user:password" for AUTH LOGIN
  std::string cert, key;          // TLS: STARTTLS, or from the start with implicit
  bool implicit_tls = false;
  std::string mode = "normal";    // auth503, auth530, auth502, dropdata, rcptrefuse
  bool count_only = false;        // keep no messages (the benchmark)
};

class KavrixSmtpPeer {
 public:
  KavrixSmtpPeer() = default;
  ~KavrixSmtpPeer() { Stop(); }
  KavrixSmtpPeer(const KavrixSmtpPeer&) = delete;
  KavrixSmtpPeer& operator=(const KavrixSmtpPeer&) = delete;

  // Starts the server with its files in `folder` (made when missing). False
  // with `why` when it did not come up within 20 seconds.
  bool Start(const std::string& folder, const KavrixSmtpPeerOptions& options, std::string& why);
  void Stop();

  std::uint16_t Port() const { return port_; }
  // "<host>:<port>", the relay host text.
  std::string HostText() const;
  int MessageCount() const;
  // Message n (from 1): the bytes received and the parsed fields.
  std::string Data(int n) const;
  std::map<std::string, std::string> Meta(int n) const;
  std::string Attachment(int n, const std::string& name) const;
  std::string Transcript() const;

 private:
  std::string folder_;
  std::uint16_t port_ = 0;
  std::string host_;
  pid_t pid_ = -1;
  LUniqueFd stdin_;
};

// A self-signed certificate for "localhost" and 127.0.0.1, made with the
// openssl tool into `folder`; false when that failed.
bool KavrixMakeTestCertificate(const std::string& folder, std::string& cert, std::string& key);
// Runs a shell command, returning its standard output (tests only).
std::string KavrixShellOutput(const std::string& command, int* status = nullptr);
