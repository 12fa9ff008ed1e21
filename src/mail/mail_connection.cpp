#include "mail/mail_connection.h"

#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "engine/socket_ops.h"
#include "engine/socket_wait.h"
#include "engine/wait_budget.h"
#include "foundation/thread.h"

namespace {

std::string OpenSSLErrorText() {
  const unsigned long code = ERR_get_error();
  ERR_clear_error();
  if (code == 0) return "the connection ended";
  char text[256];
  ERR_error_string_n(code, text, sizeof text);
  return text;
}

}  // namespace

LMailConnection::~LMailConnection() {
  if (ssl_ != nullptr) SSL_free(ssl_);
  if (ctx_ != nullptr) SSL_CTX_free(ctx_);
}

bool LMailConnection::StopRequested() const { return thread_ != nullptr && thread_->IsStopRequested(); }

LProcessResult LMailConnection::Connect(const sockaddr_in& address, int timeout_ms) {
  // 0.0.0.0 is what an unresolvable name gives; connecting to it would
  // reach this machine instead of failing.
  if (address.sin_addr.s_addr == htonl(INADDR_ANY)) return kLProcessFailed;
  const LProcessResult connected = ProcessConnect(thread_, socket_, address, timeout_ms);
  if (connected == kLProcessDone) {
    // Each command waits for its reply, so nothing is gained by holding back
    // a short write; held back, the data terminator would wait for the
    // peer's delayed acknowledgement on every mail.
    const int on = 1;
    (void)::setsockopt(socket_.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  }
  return connected;
}

LProcessResult LMailConnection::RecvRaw(char* buffer, std::size_t capacity, std::size_t& got,
                                        int silence_ms) {
  LWaitBudget budget(silence_ms);
  for (;;) {
    if (StopRequested()) return kLProcessStopped;
    const ssize_t n = ::recv(socket_.Get(), buffer, capacity, 0);
    if (n > 0) {
      got = static_cast<std::size_t>(n);
      return kLProcessDone;
    }
    if (n == 0) return kLProcessFailed;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return kLProcessFailed;
    switch (LWaitSocketSlice(thread_, socket_.Get(), POLLIN)) {
      case LSocketSlice::kReady: break;
      case LSocketSlice::kStopped: return kLProcessStopped;
      case LSocketSlice::kFailed: return kLProcessFailed;
      case LSocketSlice::kEmpty:
        if (!budget.ChargeEmptySlice()) return kLProcessFailed;
        break;
    }
  }
}

LProcessResult LMailConnection::FlushTLS(int timeout_ms) {
  char buffer[4096];
  while (BIO_ctrl_pending(out_) > 0) {
    const int n = BIO_read(out_, buffer, sizeof buffer);
    if (n <= 0) break;
    const LProcessResult sent = ProcessSend(thread_, socket_.Get(), buffer, static_cast<std::size_t>(n), timeout_ms);
    if (sent != kLProcessDone) return sent;
  }
  return kLProcessDone;
}

LProcessResult LMailConnection::FeedTLS(int silence_ms) {
  char buffer[4096];
  std::size_t got = 0;
  const LProcessResult received = RecvRaw(buffer, sizeof buffer, got, silence_ms);
  if (received != kLProcessDone) return received;
  return BIO_write(in_, buffer, static_cast<int>(got)) == static_cast<int>(got) ? kLProcessDone
                                                                                 : kLProcessFailed;
}

LProcessResult LMailConnection::StartTLS(std::string_view host, bool verify, int timeout_ms,
                                         std::string& error) {
  ctx_ = SSL_CTX_new(TLS_client_method());
  if (ctx_ == nullptr) {
    error = OpenSSLErrorText();
    return kLProcessFailed;
  }
  SSL_CTX_set_min_proto_version(ctx_, TLS1_2_VERSION);
  if (verify) {
    SSL_CTX_set_default_verify_paths(ctx_);
    SSL_CTX_set_verify(ctx_, SSL_VERIFY_PEER, nullptr);
  }
  ssl_ = SSL_new(ctx_);
  in_ = BIO_new(BIO_s_mem());
  out_ = BIO_new(BIO_s_mem());
  if (ssl_ == nullptr || in_ == nullptr || out_ == nullptr) {
    if (in_ != nullptr) BIO_free(in_);
    if (out_ != nullptr) BIO_free(out_);
    in_ = out_ = nullptr;
    error = OpenSSLErrorText();
    return kLProcessFailed;
  }
  SSL_set_bio(ssl_, in_, out_);
  const std::string name(host);
  in_addr dotted{};
  const bool is_address = inet_pton(AF_INET, name.c_str(), &dotted) == 1;
  if (!is_address) SSL_set_tlsext_host_name(ssl_, name.c_str());
  if (verify) {
    X509_VERIFY_PARAM* param = SSL_get0_param(ssl_);
    if (is_address) {
      X509_VERIFY_PARAM_set1_ip_asc(param, name.c_str());
    } else {
      X509_VERIFY_PARAM_set1_host(param, name.c_str(), 0);
    }
  }
  for (;;) {
    const int rc = SSL_connect(ssl_);
    const int reason = SSL_get_error(ssl_, rc);
    const LProcessResult flushed = FlushTLS(timeout_ms);
    if (flushed != kLProcessDone) {
      error = "the connection ended during the handshake";
      return flushed;
    }
    if (rc == 1) return kLProcessDone;
    if (reason == SSL_ERROR_WANT_READ) {
      const LProcessResult fed = FeedTLS(timeout_ms);
      if (fed != kLProcessDone) {
        error = "the connection ended during the handshake";
        return fed;
      }
      continue;
    }
    const long verdict = SSL_get_verify_result(ssl_);
    error = verdict != X509_V_OK ? X509_verify_cert_error_string(verdict) : OpenSSLErrorText();
    return kLProcessFailed;
  }
}

LProcessResult LMailConnection::Send(std::string_view bytes, int timeout_ms) {
  if (ssl_ == nullptr) return ProcessSend(thread_, socket_.Get(), bytes.data(), bytes.size(), timeout_ms);
  while (!bytes.empty()) {
    if (StopRequested()) return kLProcessStopped;
    const int piece = static_cast<int>(std::min<std::size_t>(bytes.size(), 16384));
    const int rc = SSL_write(ssl_, bytes.data(), piece);
    const LProcessResult flushed = FlushTLS(timeout_ms);
    if (flushed != kLProcessDone) return flushed;
    if (rc <= 0) return kLProcessFailed;  // memory buffers never ask to wait
    bytes.remove_prefix(static_cast<std::size_t>(rc));
  }
  return kLProcessDone;
}

LProcessResult LMailConnection::Recv(char* buffer, std::size_t capacity, std::size_t& got, int silence_ms) {
  if (ssl_ == nullptr) return RecvRaw(buffer, capacity, got, silence_ms);
  for (;;) {
    const int rc = SSL_read(ssl_, buffer, static_cast<int>(capacity));
    if (rc > 0) {
      got = static_cast<std::size_t>(rc);
      return kLProcessDone;
    }
    const int reason = SSL_get_error(ssl_, rc);
    const LProcessResult flushed = FlushTLS(silence_ms);
    if (flushed != kLProcessDone) return flushed;
    if (reason != SSL_ERROR_WANT_READ) return kLProcessFailed;
    const LProcessResult fed = FeedTLS(silence_ms);
    if (fed != kLProcessDone) return fed;
  }
}

int LMailConnection::ReadReplyCode(int silence_ms, std::vector<std::string>* lines) {
  // Room for the kept characters and the CR before the LF.
  constexpr std::size_t kHeld = kLSMTPReplyLineKeep + 1;
  std::string line;
  for (;;) {
    const std::size_t lf = pending_.find('\n');
    const std::size_t take = lf == std::string::npos ? pending_.size() : lf;
    line.append(pending_, 0, std::min(take, kHeld - std::min(line.size(), kHeld)));
    if (lf == std::string::npos) {
      pending_.clear();
      char buffer[kLSMTPRecvPiece];
      std::size_t got = 0;
      if (Recv(buffer, sizeof buffer, got, silence_ms) != kLProcessDone) return 0;
      pending_.append(buffer, got);
      continue;
    }
    pending_.erase(0, lf + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > kLSMTPReplyLineKeep) line.resize(kLSMTPReplyLineKeep);
    if (lines != nullptr && lines->size() < kLSMTPReplyLinesKept) lines->push_back(line);
    if (line.size() >= 4 && line[3] == '-') {
      line.clear();
      continue;
    }
    return std::atoi(line.c_str());
  }
}
