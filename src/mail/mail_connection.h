#pragma once
// One connection to a mail server: plain TCP, optionally turned into TLS
// (STARTTLS after EHLO, or from the start on the implicit-TLS port), and the
// reader of SMTP reply codes. Every wait is a 200 ms slice with the calling
// thread's stop flag tested in between, so a stop request ends a send
// within a second whatever the server does.
//
// TLS runs over memory buffers: OpenSSL never touches the socket itself,
// so every byte still goes through the stop-aware sends and receives (and
// a closed peer can never raise SIGPIPE).

#include <netinet/in.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ip_socket_tcp.h"
#include "foundation/process_result.h"

class LThread;
typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;
typedef struct bio_st BIO;

// A reply line keeps at most this many characters; the rest is discarded.
inline constexpr std::size_t kLSMTPReplyLineKeep = 258;
// Receives take at most this many bytes at a time.
inline constexpr std::size_t kLSMTPRecvPiece = 512;
// The reply lines kept for a caller that asks for them (EHLO's extensions).
inline constexpr std::size_t kLSMTPReplyLinesKept = 64;

class LMailConnection {
 public:
  explicit LMailConnection(LThread* thread) : thread_(thread) {}
  ~LMailConnection();
  LMailConnection(const LMailConnection&) = delete;
  LMailConnection& operator=(const LMailConnection&) = delete;

  [[nodiscard]] LProcessResult Connect(const sockaddr_in& address, int timeout_ms);

  // The TLS handshake. `host` is checked against the certificate (a name or
  // a dotted address) when `verify` is set; the certificate must then chain
  // to the system's CA store (the OpenSSL default paths, which honour
  // SSL_CERT_FILE and SSL_CERT_DIR). On failure `error` tells why.
  [[nodiscard]] LProcessResult StartTLS(std::string_view host, bool verify, int timeout_ms,
                                        std::string& error);
  bool IsTLS() const { return ssl_ != nullptr; }

  [[nodiscard]] LProcessResult Send(std::string_view bytes, int timeout_ms);

  // Reads one reply: continuation lines ("250-...") are passed over, the
  // code is the number at the start of the last line. 0 after `silence_ms`
  // without data, when the connection closes or the thread is stopped.
  // The lines (each cut to 258 characters) are appended to `lines` when
  // given.
  int ReadReplyCode(int silence_ms, std::vector<std::string>* lines = nullptr);

  bool StopRequested() const;

 private:
  // Up to `capacity` bytes from the socket (at least one).
  LProcessResult RecvRaw(char* buffer, std::size_t capacity, std::size_t& got, int silence_ms);
  // Up to `capacity` bytes of the (decrypted) stream.
  LProcessResult Recv(char* buffer, std::size_t capacity, std::size_t& got, int silence_ms);
  // Sends what OpenSSL has written into its outgoing buffer.
  LProcessResult FlushTLS(int timeout_ms);
  // Moves received bytes into OpenSSL's incoming buffer.
  LProcessResult FeedTLS(int silence_ms);

  LThread* thread_;
  LIPSocketTCP socket_;
  SSL_CTX* ctx_ = nullptr;
  SSL* ssl_ = nullptr;
  BIO* in_ = nullptr;   // owned by ssl_
  BIO* out_ = nullptr;  // owned by ssl_
  std::string pending_;  // received bytes not yet read as reply lines
};
