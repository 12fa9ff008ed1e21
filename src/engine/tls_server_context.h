#pragma once
// The server's TLS settings and certificate, shared by every connection of
// the HTTPS listener: TLS 1.2 and 1.3 only; for TLS 1.2 only forward-secret
// ECDHE key exchange with AES-GCM or ChaCha20-Poly1305 (the widely used
// "intermediate" choice), for TLS 1.3 OpenSSL's own suites; no
// renegotiation, no compression.

#include <memory>
#include <string>

#include "engine/openssl_ptr.h"

class LTlsServerContext {
 public:
  // The TLS 1.2 cipher list (OpenSSL names).
  static constexpr char kCipherList[] =
      "ECDHE-ECDSA-AES128-GCM-SHA256:ECDHE-RSA-AES128-GCM-SHA256:"
      "ECDHE-ECDSA-AES256-GCM-SHA384:ECDHE-RSA-AES256-GCM-SHA384:"
      "ECDHE-ECDSA-CHACHA20-POLY1305:ECDHE-RSA-CHACHA20-POLY1305";

  // A context with the certificate chain and key of the PEM files, or null
  // with `error` saying what went wrong (for the log).
  static std::shared_ptr<const LTlsServerContext> Load(const std::string& certificateFile,
                                                       const std::string& keyFile, std::string& error);

  SSL_CTX* Get() const { return ctx_.get(); }

 private:
  explicit LTlsServerContext(LSslCtxPtr ctx) : ctx_(std::move(ctx)) {}
  LSslCtxPtr ctx_;
};

// The last OpenSSL error of this thread as text ("unknown" when none), and
// the thread's error queue emptied.
std::string LOpenSslErrorText();
