// SMTP delivery against a real server on loopback: the dialogue, the
// envelope and the message as received, and every failing path.

#include "mail/smtp_send.h"

#include "mail/mail_host_address.h"

#include <sys/socket.h>

#include <cstdlib>

#include "engine/ip_socket_tcp.h"
#include "support/test_helpers.h"
#include "support/mail_peer_fixture.h"
#include "support/loopback.h"
#include "support/loopback_listener.h"

namespace {

class SmtpSendTest : public MailPeerTest {
 protected:
  EmailSMTPSendProcess Mail() {
    EmailSMTPSendProcess mail;
    mail.to = "staff@x.example";
    mail.from = "office@x.example";
    mail.subject = "Logon Details";
    mail.body = "Hello\r\n";
    mail.relay_host = peer_.HostText();
    mail.send_direct = false;
    mail.helo_host = "server.test.example";
    return mail;
  }
};

TEST_F(SmtpSendTest, RelayWithAuthLoginGetsTheExactMessage) {
  KAVRIX_START_PEER({.auth = "kx-user:s3cret pass"});
  EmailSMTPSendProcess mail = Mail();
  mail.to = "staff@x.example, boss@x.example,";
  mail.user_name = "kx-user";
  mail.password = "s3cret pass";
  mail.subject = "Gr\xc3\xbc\xc3\x9f" "e \xc3\xa9";
  mail.body = "Line one\r\n.hidden\r\n.\r\n";
  ASSERT_EQ(Process(nullptr, mail), kLProcessDone);

  EXPECT_EQ(peer_.Transcript(),
            "EHLO server.test.example\nAUTH kx-user s3cret pass\nMAIL FROM:<office@x.example>\n"
            "RCPT TO:<staff@x.example>\nRCPT TO:<boss@x.example>\n");
  ASSERT_EQ(peer_.MessageCount(), 1);
  EXPECT_EQ(DataWithoutDate(1),
            "MIME-Version: 1.0\r\nFrom: office@x.example\r\nTo: staff@x.example, boss@x.example,\r\n"
            "Subject: =?utf-8?q?Gr=C3=BC=C3=9Fe=20=C3=A9?=\r\nDate: *\r\n"
            "X-Mailer: KavrixServer (http://www.mardel.example/)\r\n"
            "Content-Type: text/plain; charset=\"utf-8\"\r\n\r\n"
            "Line one\r\n.hidden\r\n.\r\n\r\n");
  EXPECT_EQ(peer_.Meta(1).at("date_valid"), "1");
}

// The multipart layout is checked byte for byte in sendmail_send_test.cpp;
// here the sound type only the SMTP layout gives, and a missing file.
TEST_F(SmtpSendTest, AttachmentsArriveWhole) {
  KAVRIX_START_PEER();
  ASSERT_TRUE(KavrixWriteFile(TempDir() + "/ring.Wav", "RIFF"));
  EmailSMTPSendProcess mail = Mail();
  mail.attachments = {TempDir() + "/ring.Wav"};
  ASSERT_EQ(Process(nullptr, mail), kLProcessDone);
  EXPECT_EQ(peer_.Attachment(1, "ring.Wav"), "RIFF");
  EXPECT_NE(peer_.Data(1).find("Content-Type: audio/wav; name=\"ring.Wav\""), std::string::npos);
  mail.attachments = {TempDir() + "/missing.bin"};
  EXPECT_EQ(Process(nullptr, mail), kLProcessFailed);
  EXPECT_EQ(peer_.MessageCount(), 1);
}

// Each answer of the server, and each hostile address text, decides what
// follows: the dialogue's head, the outcome and the log line. Nothing is ever
// sent to the address smuggled into a field, and the password never reaches
// the log.
TEST_F(SmtpSendTest, AnswersAndAddressTextsDecideWhatFollows) {
  const std::string ehlo = "EHLO server.test.example\n";
  const struct {
    KavrixSmtpPeerOptions peer;
    const char* password;  // with user "u" when not empty
    std::string from;
    std::string to;
    LProcessResult result;
    std::string transcriptHead;
    const char* log;
  } cases[] = {
      {{}, "", "", "staff@x.example", kLProcessDone,
       "HELO server.test.example\nMAIL FROM:<KavrixServer@127.0.0.1>\nRCPT TO:<staff@x.example>\n",
       ""},
      {{.auth = "u:pw", .mode = "auth503"}, "pw", "office@x.example", "staff@x.example",
       kLProcessDone, ehlo + "AUTH refused 503\n" + ehlo + "AUTH u pw\n", ""},
      {{.auth = "u:pw", .mode = "auth502"}, "pw", "office@x.example", "staff@x.example",
       kLProcessDone, ehlo + "AUTH refused 502\nMAIL FROM:", ""},
      {{.auth = "u:pw", .mode = "auth530"}, "pw", "office@x.example", "staff@x.example",
       kLProcessFailed, ehlo + "AUTH refused 530\n",
       "Encryption required for requested Email server. Please check your Email Settings."},
      {{.auth = "u:pw"}, "wrong-secret", "office@x.example", "staff@x.example", kLProcessFailed,
       ehlo + "AUTH u wrong-secret\n", "Email authentication username or password not accepted"},
      {{.mode = "rcptrefuse"}, "", "office@x.example", "staff@x.example", kLProcessFailed, "",
       "Mail send error (RCPT TO not accepted). Your SMTP server may require a username or "
       "password. Please see Email Settings."},
      {{.mode = "dropdata"}, "", "office@x.example", "staff@x.example", kLProcessFailed, "",
       "Mail host server error (data terminator not accepted)"},
      // Items that are no address are left out; with none left nothing is sent.
      {{}, "", "office@x.example",
       "staff@x.example\r\nBcc: thief@evil.example,\"quoted\"@x.example", kLProcessFailed, "",
       "Not sending to \"staff@x.example  Bcc: thief@evil.example\": not a valid email address."},
      // A sender text stays one command line; the server refuses what is left.
      {{}, "", "office@x.example>\r\nRCPT TO:<thief@evil.example", "staff@x.example",
       kLProcessFailed, "",
       "Mail host server error (MAIL FROM not accepted). Please check your Email Settings."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.to + " " + c.peer.mode + " " + c.from);
    KavrixSmtpPeer& peer = peer_;
    KAVRIX_START_PEER(c.peer);
    EmailSMTPSendProcess mail = Mail();
    mail.user_name = *c.password == '\0' ? "" : "u";
    mail.password = c.password;
    mail.from = c.from;
    mail.to = c.to;
    EXPECT_EQ(Process(nullptr, mail), c.result);
    EXPECT_EQ(peer.Transcript().rfind(c.transcriptHead, 0), 0u) << peer.Transcript();
    EXPECT_EQ(peer.Transcript().find("RCPT TO:<thief"), std::string::npos);
    EXPECT_EQ(peer.MessageCount(), c.result == kLProcessDone ? 1 : 0);
    EXPECT_TRUE(*c.log == '\0' || LogHas(c.log)) << KavrixReadLogText();
  }
  EXPECT_EQ(KavrixReadLogText().find("wrong-secret"), std::string::npos);
}

// Reserved example domains are never looked up nor sent to.
TEST_F(SmtpSendTest, ReservedDomainsAreNotDeliveredTo) {
  EmailSMTPSendProcess mail = Mail();
  mail.relay_host = "";
  mail.send_direct = true;
  mail.to = "staff@x.example,boss@Example.COM";
  EXPECT_EQ(Process(nullptr, mail), kLProcessFailed);
  EXPECT_TRUE(LogHas("No email is delivered to the reserved domain \"x.example\"."));
  std::string reserved;
  for (const char* domain : {"example.co", "myexample.com", "mail.TEST.", "a.example.org"}) {
    reserved += LIsReservedMailDomain(domain) ? "1" : "0";
  }
  EXPECT_EQ(reserved, "0011");
}

class SmtpTlsTest : public SmtpSendTest {
 protected:
  void SetUp() override {
    SmtpSendTest::SetUp();
    ASSERT_TRUE(KavrixMakeTestCertificate(TempDir(), cert_, key_)) << "the openssl tool is needed";
  }
  void TearDown() override {
    unsetenv("SSL_CERT_FILE");
    SmtpSendTest::TearDown();
  }
  std::string cert_, key_;
};

// Each way a relay speaks TLS: the login goes only inside a checked (or
// knowingly unchecked) TLS session, never in the clear; the peer's "tls"
// in its EHLO line shows the session.
TEST_F(SmtpTlsTest, TheLoginTravelsOnlyInsideTls) {
  struct Case {
    const char* name;
    bool offersTls;
    bool implicitTls;
    bool trusted;  // the test's certificate is in the CA store
    bool verify;
    LProcessResult result;
    const char* transcriptHead;
    const char* log;
  } cases[] = {
      {"verified STARTTLS", true, false, true, true, kLProcessDone,
       "EHLO server.test.example\nSTARTTLS\nEHLO server.test.example tls\nAUTH u pw\n"
       "MAIL FROM:<office@x.example>\nRCPT TO:<staff@x.example>\n", ""},
      {"unknown certificate", true, false, false, true, kLProcessFailed, "EHLO server.test.example\nSTARTTLS\n",
       "TLS with mail server \"127.0.0.1\" failed: self-signed certificate"},
      {"unchecked certificate", true, false, false, false, kLProcessDone,
       "EHLO server.test.example\nSTARTTLS\nEHLO server.test.example tls\nAUTH u pw\n",
       "The certificate of mail server \"127.0.0.1\" is not checked (\"SSLVerifyCertificate\" is 0)."},
      {"no STARTTLS", false, false, true, true, kLProcessFailed, "EHLO server.test.example\n",
       "Mail server \"127.0.0.1\" does not offer STARTTLS; the email is not sent unencrypted while \"UseSSL\" is on."},
      {"port 465", true, true, true, true, kLProcessDone, "EHLO server.test.example tls\nAUTH u pw\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KavrixSmtpPeer& peer = peer_;
    KAVRIX_START_PEER({.port = static_cast<std::uint16_t>(c.implicitTls ? 465 : 0), .auth = "u:pw",
                       .cert = c.offersTls ? cert_ : "", .key = c.offersTls ? key_ : "", .implicit_tls = c.implicitTls});
    setenv("SSL_CERT_FILE", c.trusted ? cert_.c_str() : (TempDir() + "/no-such-store.pem").c_str(), 1);
    EmailSMTPSendProcess mail = Mail();
    mail.use_ssl = true;
    mail.user_name = "u";
    mail.password = "pw";
    mail.verify_certificate = c.verify;
    if (c.implicitTls) mail.relay_host = "127.0.0.1:465";
    EXPECT_EQ(Process(nullptr, mail), c.result);
    EXPECT_EQ(peer.Transcript().rfind(c.transcriptHead, 0), 0u) << peer.Transcript();
    EXPECT_EQ(peer.Transcript().find("AUTH") != std::string::npos, c.result == kLProcessDone) << peer.Transcript();
    EXPECT_TRUE(*c.log == '\0' || LogHas(c.log)) << KavrixReadLogText();
  }
}

}  // namespace
