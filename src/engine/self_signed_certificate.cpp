#include "engine/self_signed_certificate.h"

#include <fcntl.h>
#include <openssl/ec.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "engine/openssl_ptr.h"
#include "engine/tls_server_context.h"
#include "foundation/unique_fd.h"
#include "foundation/write_all.h"

namespace {

constexpr long kSecondsPerDay = 24L * 60 * 60;
// Issued a little in the past, so that a client whose clock is slightly
// behind does not see a certificate that is not valid yet.
constexpr long kBackdateSeconds = 60L * 60;

bool AddNameEntry(X509_NAME* name, const char* field, const std::string& value) {
  return X509_NAME_add_entry_by_txt(name, field, MBSTRING_UTF8,
                                    reinterpret_cast<const unsigned char*>(value.c_str()), -1, -1, 0) == 1;
}

bool AddExtension(X509* certificate, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
  LX509ExtensionPtr extension(X509V3_EXT_conf_nid(nullptr, &context, nid, value));
  return extension && X509_add_ext(certificate, extension.get(), -1) == 1;
}

bool AddAltNames(X509* certificate, const LSelfSignedNames& names) {
  std::string text;
  for (const std::string& dns : names.dnsNames) text += (text.empty() ? "DNS:" : ",DNS:") + dns;
  for (const std::string& ip : names.ipAddresses) text += (text.empty() ? "IP:" : ",IP:") + ip;
  return text.empty() || AddExtension(certificate, NID_subject_alt_name, text.c_str());
}

bool RandomSerial(X509* certificate) {
  unsigned char bytes[16];
  if (RAND_bytes(bytes, sizeof bytes) != 1) return false;
  bytes[0] &= 0x7F;  // a positive number
  BIGNUM* number = BN_bin2bn(bytes, sizeof bytes, nullptr);
  if (number == nullptr) return false;
  const bool set = BN_to_ASN1_INTEGER(number, X509_get_serialNumber(certificate)) != nullptr;
  BN_free(number);
  return set;
}

LX509Ptr MakeCertificate(EVP_PKEY* key, const LSelfSignedNames& names) {
  LX509Ptr certificate(X509_new());
  if (!certificate) return nullptr;
  X509* c = certificate.get();
  X509_NAME* subject = X509_get_subject_name(c);
  const bool made =
      X509_set_version(c, 2) == 1 && RandomSerial(c) &&
      X509_gmtime_adj(X509_getm_notBefore(c), -kBackdateSeconds) != nullptr &&
      X509_gmtime_adj(X509_getm_notAfter(c), kLSelfSignedValidDays * kSecondsPerDay) != nullptr &&
      X509_set_pubkey(c, key) == 1 && AddNameEntry(subject, "O", "KavrixServer") &&
      AddNameEntry(subject, "CN", names.commonName) && X509_set_issuer_name(c, subject) == 1 &&
      AddExtension(c, NID_basic_constraints, "critical,CA:FALSE") &&
      AddExtension(c, NID_key_usage, "critical,digitalSignature") &&
      AddExtension(c, NID_ext_key_usage, "serverAuth") &&
      AddExtension(c, NID_subject_key_identifier, "hash") && AddAltNames(c, names) &&
      X509_sign(c, key, EVP_sha256()) > 0;
  return made ? std::move(certificate) : nullptr;
}

// The PEM text a writer puts into a memory BIO.
template <typename Write>
bool PemText(Write write, std::string& out) {
  LBioPtr bio(BIO_new(BIO_s_mem()));
  if (!bio || !write(bio.get())) return false;
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio.get(), &data);
  if (size <= 0) return false;
  out.assign(data, static_cast<std::size_t>(size));
  return true;
}

// Written to a new file beside `path` with `mode` (not widened by the
// umask: the mode is set on the descriptor), flushed, renamed over `path`.
bool WriteFileWithMode(const std::string& path, const std::string& bytes, mode_t mode) {
  const std::string temporary = path + ".new";
  ::unlink(temporary.c_str());
  LUniqueFd fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
  if (!fd) return false;
  const bool written = ::fchmod(fd.Get(), mode) == 0 && LWriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
  fd.Reset();
  if (written && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  return false;
}

}  // namespace

bool LMakeSelfSignedCertificate(const LSelfSignedNames& names, const std::string& certificateFile,
                                const std::string& keyFile, std::string& error) {
  ERR_clear_error();
  LEvpPkeyPtr key(EVP_EC_gen("P-256"));
  if (!key) {
    error = "the key cannot be made: " + LOpenSslErrorText();
    return false;
  }
  LX509Ptr certificate = MakeCertificate(key.get(), names);
  if (!certificate) {
    error = "the certificate cannot be made: " + LOpenSslErrorText();
    return false;
  }
  std::string keyPem, certificatePem;
  if (!PemText([&](BIO* bio) { return PEM_write_bio_PrivateKey(bio, key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1; }, keyPem) ||
      !PemText([&](BIO* bio) { return PEM_write_bio_X509(bio, certificate.get()) == 1; }, certificatePem)) {
    error = "PEM_write_bio: " + LOpenSslErrorText();
    return false;
  }
  if (!WriteFileWithMode(keyFile, keyPem, 0600)) {
    error = "the key file \"" + keyFile + "\" cannot be written";
    return false;
  }
  if (!WriteFileWithMode(certificateFile, certificatePem, 0644)) {
    ::unlink(keyFile.c_str());
    error = "the certificate file \"" + certificateFile + "\" cannot be written";
    return false;
  }
  return true;
}

std::string LCertificateFingerprintSha256(const std::string& certificateFile) {
  LBioPtr bio(BIO_new_file(certificateFile.c_str(), "r"));
  if (!bio) {
    ERR_clear_error();
    return {};
  }
  LX509Ptr certificate(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
  ERR_clear_error();
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!certificate || X509_digest(certificate.get(), EVP_sha256(), digest, &length) != 1) return {};
  std::string text;
  for (unsigned int i = 0; i < length; ++i) {
    char pair[4];
    std::snprintf(pair, sizeof pair, i == 0 ? "%02X" : ":%02X", digest[i]);
    text += pair;
  }
  return text;
}
