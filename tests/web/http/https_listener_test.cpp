// The HTTPS listener on loopback: requests answered over TLS with the same
// handling as the plain port, the plain port's redirect, the certificate the
// server makes for itself, a certificate that cannot be used, and a stop
// while a handshake waits.

#include <gtest/gtest.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <functional>
#include <string>

#include "engine/https_settings.h"
#include "engine/openssl_ptr.h"
#include "engine/self_signed_certificate.h"
#include "foundation/settings_sections.h"
#include "support/log_reader.h"
#include "support/web_server_fixture.h"
#include "web/http/http_responses.h"
#include "web/http/https_redirect.h"
#include "web/http/machine_address.h"

namespace {

constexpr int kClientLimitSeconds = 10;
constexpr char kHandshakeFailed[] = "<handshake failed>";

// A TLS client that trusts only `caFile` and checks that the certificate
// names 127.0.0.1 (the versions offered are a step of openssl s_client's
// test). Returns what the server sent until it closed.
std::string TlsExchange(std::uint16_t port, const std::string& caFile, const std::string& request) {
  LUniqueFd fd = KavrixConnectLoopback(port);
  if (!fd) return "<no connection>";
  const timeval limit{kClientLimitSeconds, 0};
  ::setsockopt(fd.Get(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  LSslCtxPtr ctx(SSL_CTX_new(TLS_client_method()));
  SSL_CTX_load_verify_locations(ctx.get(), caFile.c_str(), nullptr);
  SSL_CTX_set_verify(ctx.get(), SSL_VERIFY_PEER, nullptr);
  LSslPtr ssl(SSL_new(ctx.get()));
  X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl.get()), "127.0.0.1");
  SSL_set_fd(ssl.get(), fd.Get());
  if (SSL_connect(ssl.get()) != 1) {
    ERR_clear_error();
    return kHandshakeFailed;
  }
  SSL_write(ssl.get(), request.data(), static_cast<int>(request.size()));
  std::string answer;
  char buffer[4096];
  for (int got; (got = SSL_read(ssl.get(), buffer, sizeof buffer)) > 0;) answer.append(buffer, got);
  ERR_clear_error();
  return answer;
}

// The test server's root page, as every answer with "nosniff".
constexpr char kRootPage[] = "HTTP/1.0 200 OK\r\nX-Content-Type-Options: nosniff\r\n\r\nroot page";

std::string Redirect(const std::string& location) {
  return "HTTP/1.1 307 Temporary Redirect\r\nLocation: " + location +
         "\r\nContent-Length: 0\r\nConnection: close\r\nX-Content-Type-Options: nosniff\r\n\r\n";
}

class HttpsListenerTest : public WebServerTest {
 protected:
  void SetUp() override {
    WebServerTest::SetUp();
    httpsPort_ = KavrixFreeLoopbackPort();
    LSettingSetString("Routing", kLRoutingHttpsPort, std::to_string(httpsPort_));
  }
  void StartHttps() {
    StartServer(TestTable());
    ASSERT_TRUE(Server().WaitHttpsListening(10000));
  }
  std::string Tls(const std::string& request) { return TlsExchange(httpsPort_, LHttpsCertificatePath(), request); }

  std::uint16_t httpsPort_ = 0;
};

// Over TLS pages are served as on the plain port, bodies included; the plain
// port sends browsers to HTTPS, stations not.
TEST_F(HttpsListenerTest, TlsServesThePagesAndThePlainPortSendsBrowsersThere) {
  StartHttps();
  const std::string reply = Tls("POST /echo?a=1 HTTP/1.1\r\nHost: h\r\nContent-Length: 7\r\n\r\na=3&b=2");
  EXPECT_NE(reply.find("param a=1\nparam a=3\nparam b=2\n"), std::string::npos) << reply;
  const std::string port = std::to_string(httpsPort_);
  const std::pair<std::string, std::string> plain[] = {
      {"GET /echo?a=1&b=%20 HTTP/1.1\r\nHost: office.example:8089\r\n\r\n",
       Redirect("https://office.example:" + port + "/echo?a=1&b=%20")},
      // A form posted there is not taken, only redirected.
      {"POST /echo HTTP/1.0\r\nHost: h\r\nContent-Length: 3\r\n\r\na=1", Redirect("https://h:" + port + "/echo")},
      {"GET /connect HTTP/1.0\r\n\r\n", kLHttpNotFoundEmpty},
  };
  for (const auto& [request, answer] : plain) EXPECT_EQ(Exchange(request), answer) << request;
}

TEST(HttpsRedirectTest, GoesToTheHostTheBrowserAskedForOnTheHttpsPort) {
  const std::string machine = LMachineIPv4Text();
  const struct {
    const char* host;
    std::uint16_t port;
    const char* url;
    std::string location;
  } cases[] = {
      {"Office.Example", 443, "/", "https://Office.Example/"},  // the default port is left out
      {"[fe80::1]:89", 8443, "/a", "https://[fe80::1]:8443/a"},
      // No name of a host: this machine's address instead.
      {"", 8443, "/a", "https://" + machine + ":8443/a"},
      {"evil.example/x", 8443, "/a", "https://" + machine + ":8443/a"},
      {"[::1", 8443, "/a", "https://" + machine + ":8443/a"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LHttpsRedirectText(c.host, c.port, c.url), Redirect(c.location)) << c.host;
  }
}

TEST_F(HttpsListenerTest, MakesItsOwnCertificateOnceAndLogsItsFingerprint) {
  const mode_t old = ::umask(0);  // the key's mode must not depend on it
  StartHttps();
  ::umask(old);
  const std::string certificate = LHttpsCertificatePath();
  struct stat info {};
  ASSERT_EQ(::stat(LHttpsKeyPath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  const std::string fingerprint = LCertificateFingerprintSha256(certificate);
  EXPECT_NE(KavrixReadLogText().find("HTTPS certificate \"" + certificate + "\", SHA-256 fingerprint " + fingerprint),
            std::string::npos);
  // The client of Tls() checked the address against the certificate.
  EXPECT_EQ(Tls("GET / HTTP/1.0\r\n\r\n"), kRootPage);

  DestroyServer();
  StartHttps();
  EXPECT_EQ(LCertificateFingerprintSha256(certificate), fingerprint);
}

// Text that is no certificate, or the key of another certificate, leaves
// HTTPS off and the plain port serving.
TEST_F(HttpsListenerTest, AnUnusableCertificateLeavesHttpsOffAndThePlainPortServing) {
  const std::string certificate = LHttpsCertificatePath();
  std::string error;
  const std::pair<std::function<bool()>, const char*> cases[] = {
      {[&] { return KavrixWriteFile(certificate, "not a certificate"); }, "cannot be read"},
      {[&] {
         return LMakeSelfSignedCertificate({"a", {}, {}}, certificate, LHttpsKeyPath(), error) &&
                LMakeSelfSignedCertificate({"b", {}, {}}, TempDir() + "/other.pem", LHttpsKeyPath(), error);
       },
       "does not belong to the certificate"},
  };
  for (const auto& [make, logged] : cases) {
    SCOPED_TRACE(logged);
    ASSERT_TRUE(make());
    StartServer(TestTable());
    EXPECT_FALSE(Server().WaitHttpsListening(0));
    EXPECT_EQ(Exchange("GET / HTTP/1.0\r\nHost: h\r\n\r\n"), kRootPage);
    EXPECT_NE(KavrixReadLogText().find("HTTPS stays off: "), std::string::npos);
    EXPECT_NE(KavrixReadLogText().find(logged), std::string::npos);
    DestroyServer();
  }
}

// A client that starts a handshake and goes quiet is cut off at the same
// deadline as a slow request head, or a few such clients would hold every
// connection.
TEST_F(HttpsListenerTest, AStalledHandshakeIsCutOffAtTheHeadDeadline) {
  StartHttps();
  LWebletConnection::SetHeadDeadlineMs(1000);
  // A handshake record that announces 512 bytes of hello.
  const std::string recordStart("\x16\x03\x01\x02\x00\x01", 6);
  SetHeadClockMs(0);
  LUniqueFd client = KavrixConnectLoopback(httpsPort_);
  ASSERT_TRUE(KavrixSendAll(client.Get(), recordStart));
  ASSERT_TRUE(KavrixWaitUntil([] { return HeadClockReads() > 0; }));  // the deadline is set
  SetHeadClockMs(1000);
  (void)::send(client.Get(), "\0", 1, MSG_NOSIGNAL);
  EXPECT_TRUE(KavrixPeerClosed(client.Get()));
  EXPECT_TRUE(KavrixWaitUntil([&] { return Server().GetThreadCount() == 0; }));
  SetHeadClockMs(0);
  EXPECT_EQ(Tls("GET / HTTP/1.0\r\n\r\n"), kRootPage);
}

// A stop does not wait for a client that began a handshake and went quiet.
TEST_F(HttpsListenerTest, AStopEndsAHandshakeThatWaits) {
  StartHttps();
  LUniqueFd client = KavrixConnectLoopback(httpsPort_);
  ASSERT_TRUE(KavrixSendAll(client.Get(), std::string("\x16\x03\x01\x02\x00", 5)));
  ASSERT_TRUE(KavrixWaitUntil([&] { return Server().GetThreadCount() == 1; }));
  Server().StopListener();
  Server().StopConnectionsNow();
  EXPECT_EQ(Server().GetThreadCount(), 0u);
  EXPECT_TRUE(KavrixPeerClosed(client.Get()));
}

}  // namespace
