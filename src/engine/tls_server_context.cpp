#include "engine/tls_server_context.h"

#include <openssl/err.h>
#include <openssl/x509.h>

std::string LOpenSslErrorText() {
  const unsigned long code = ERR_get_error();
  ERR_clear_error();
  if (code == 0) return "unknown";
  char text[256];
  ERR_error_string_n(code, text, sizeof text);
  return text;
}

std::shared_ptr<const LTlsServerContext> LTlsServerContext::Load(const std::string& certificateFile,
                                                                 const std::string& keyFile,
                                                                 std::string& error) {
  ERR_clear_error();
  LSslCtxPtr ctx(SSL_CTX_new(TLS_server_method()));
  if (!ctx) {
    error = "SSL_CTX_new: " + LOpenSslErrorText();
    return nullptr;
  }
  SSL_CTX* c = ctx.get();
  const bool configured = SSL_CTX_set_min_proto_version(c, TLS1_2_VERSION) == 1 &&
                          SSL_CTX_set_max_proto_version(c, TLS1_3_VERSION) == 1 &&
                          SSL_CTX_set_cipher_list(c, kCipherList) == 1 &&
                          SSL_CTX_set1_groups_list(c, "X25519:P-256:P-384") == 1;
  if (!configured) {
    error = "TLS settings: " + LOpenSslErrorText();
    return nullptr;
  }
  // A client that renegotiates can make the server redo the costly half of
  // a handshake as often as it likes.
  SSL_CTX_set_options(c, SSL_OP_NO_RENEGOTIATION | SSL_OP_NO_COMPRESSION);
  // Every suite offered is strong, but scanners count a server that follows
  // the client's order as a finding: the server's order decides.
  SSL_CTX_set_options(c, SSL_OP_CIPHER_SERVER_PREFERENCE);
  // A client that drops the connection without a closing alert reads as an
  // ordinary end of the stream, as it does on the plain port.
  SSL_CTX_set_options(c, SSL_OP_IGNORE_UNEXPECTED_EOF);
  // Idle connections give their record buffers back (about 34 KiB each).
  SSL_CTX_set_mode(c, SSL_MODE_RELEASE_BUFFERS);
  SSL_CTX_set_session_cache_mode(c, SSL_SESS_CACHE_SERVER);
  if (SSL_CTX_use_certificate_chain_file(c, certificateFile.c_str()) != 1) {
    error = "the certificate \"" + certificateFile + "\" cannot be read: " + LOpenSslErrorText();
    return nullptr;
  }
  const bool keyUsed = SSL_CTX_use_PrivateKey_file(c, keyFile.c_str(), SSL_FILETYPE_PEM) == 1;
  if (!keyUsed && ERR_GET_REASON(ERR_peek_last_error()) != X509_R_KEY_VALUES_MISMATCH) {
    error = "the key \"" + keyFile + "\" cannot be read: " + LOpenSslErrorText();
    return nullptr;
  }
  if (!keyUsed || SSL_CTX_check_private_key(c) != 1) {
    error = "the key \"" + keyFile + "\" does not belong to the certificate \"" + certificateFile + "\"";
    ERR_clear_error();
    return nullptr;
  }
  return std::shared_ptr<const LTlsServerContext>(new LTlsServerContext(std::move(ctx)));
}
