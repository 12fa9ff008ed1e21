#pragma once
// The certificate of the HTTPS listener: the files "HttpsCertificateFile"
// and "HttpsKeyFile" name; when neither exists, a self-signed one is made
// for this computer's names and addresses and kept there. Its SHA-256
// fingerprint goes to the log, where an administrator compares it with
// what the browser shows before trusting it.

#include <memory>

#include "engine/self_signed_certificate.h"
#include "engine/tls_server_context.h"

// The TLS context of the configured files (made first when both are
// missing), or null when they cannot be used; every outcome is one log line.
std::shared_ptr<const LTlsServerContext> KXLoadHttpsContext();

// This computer's names and addresses for a certificate of its own: the host
// name and "localhost", the interfaces' IPv4 addresses and 127.0.0.1.
LSelfSignedNames KXThisComputerCertificateNames();
