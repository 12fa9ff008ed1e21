#pragma once
// The certificate the server makes for itself when HTTPS is switched on and
// the office has given none: a P-256 key and a self-signed certificate for
// this computer's names and addresses, which a browser accepts once the
// administrator has compared its SHA-256 fingerprint with the one the
// server logged.

#include <string>
#include <vector>

struct LSelfSignedNames {
  std::string commonName;               // the subject's CN
  std::vector<std::string> dnsNames;    // subjectAltName DNS entries
  std::vector<std::string> ipAddresses; // subjectAltName IP entries (IPv4 or IPv6 text)
};

inline constexpr int kLSelfSignedValidDays = 730;

// Makes the key and certificate and writes them as PEM: the key with mode
// 0600 whatever the umask, the certificate 0644. Each file is written beside
// its final name and renamed over it. False, with `error` saying why, when
// anything fails; then neither file is written.
[[nodiscard]] bool LMakeSelfSignedCertificate(const LSelfSignedNames& names, const std::string& certificateFile,
                                              const std::string& keyFile, std::string& error);

// The SHA-256 fingerprint of the first certificate in a PEM file as upper-case
// hexadecimal pairs joined by ":" (as browsers show it); empty when the file
// holds no certificate.
std::string LCertificateFingerprintSha256(const std::string& certificateFile);
