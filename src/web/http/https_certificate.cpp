#include "web/http/https_certificate.h"

#include <sys/stat.h>

#include <algorithm>

#include "engine/https_settings.h"
#include "foundation/log.h"
#include "routing/host_addresses.h"
#include "routing/ip_ranges.h"

namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

void AddOnce(std::vector<std::string>& list, const std::string& item) {
  if (!item.empty() && std::find(list.begin(), list.end(), item) == list.end()) list.push_back(item);
}

}  // namespace

LSelfSignedNames KXThisComputerCertificateNames() {
  LSelfSignedNames names;
  const std::string host = LIPGetHostName();
  names.commonName = host.empty() ? "localhost" : host;
  AddOnce(names.dnsNames, host);
  AddOnce(names.dnsNames, "localhost");
  for (const std::uint32_t address : LRoutingInterfaceAddresses()) AddOnce(names.ipAddresses, LIPv4Text(address));
  AddOnce(names.ipAddresses, "127.0.0.1");
  return names;
}

std::shared_ptr<const LTlsServerContext> KXLoadHttpsContext() {
  const std::string certificate = LHttpsCertificatePath();
  const std::string key = LHttpsKeyPath();
  if (!Exists(certificate) && !Exists(key)) {
    std::string error;
    if (!LMakeSelfSignedCertificate(KXThisComputerCertificateNames(), certificate, key, error)) {
      LOGERRORF("HTTPS stays off: no certificate could be made (%s).", error.c_str());
      return nullptr;
    }
    LOGF("Made a self-signed certificate for HTTPS: \"%s\" (key \"%s\").", certificate.c_str(), key.c_str());
  }
  std::string error;
  std::shared_ptr<const LTlsServerContext> context = LTlsServerContext::Load(certificate, key, error);
  if (!context) {
    LOGERRORF("HTTPS stays off: %s.", error.c_str());
    return nullptr;
  }
  LOGF("HTTPS certificate \"%s\", SHA-256 fingerprint %s", certificate.c_str(),
       LCertificateFingerprintSha256(certificate).c_str());
  return context;
}
