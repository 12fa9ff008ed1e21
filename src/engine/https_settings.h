#pragma once
// The HTTPS settings of the panel, in section "Routing" beside "LocalPort":
//   "HttpsPort"            the port of the HTTPS listener; 0 (the default) is off
//   "HttpsCertificateFile" the certificate chain, PEM ("https-certificate.pem")
//   "HttpsKeyFile"         its private key, PEM ("https-key.pem")
// A file name without a folder is taken inside the shared settings folder,
// where the server also keeps the certificate it makes for itself.

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::string_view kLRoutingHttpsPort = "HttpsPort";
inline constexpr std::string_view kLRoutingHttpsCertificateFile = "HttpsCertificateFile";
inline constexpr std::string_view kLRoutingHttpsKeyFile = "HttpsKeyFile";
inline constexpr char kLDefaultHttpsCertificateFile[] = "https-certificate.pem";
inline constexpr char kLDefaultHttpsKeyFile[] = "https-key.pem";

// "Routing"/"HttpsPort" as a port: 0 (off) when missing, empty, not a
// number or outside 1 to 65535.
std::uint16_t LReadHttpsPortSetting();
// The certificate and key files with the folder filled in.
std::string LHttpsCertificatePath();
std::string LHttpsKeyPath();
