// Direct delivery end to end: a real DNS server (dnsmasq) answers the MX
// queries and real SMTP servers listen on port 25, all inside a private
// network and mount namespace whose own resolv.conf points at that DNS
// server. The machine's resolver is never asked and no packet leaves the
// namespace. The test runs itself again inside the namespace. Its domains
// are not reserved example names, which are never looked up at all.

#include <unistd.h>

#include <cstdlib>

#include "mail/mail_host_address.h"
#include "mail/smtp_send.h"
#include "support/mail_peer_fixture.h"
#include "support/loopback.h"
#include "support/web_server_fixture.h"

namespace {

constexpr char kInside[] = "KAVRIX_MAIL_NAMESPACE";

class DirectDeliveryTest : public MailPeerTest {
 protected:
  // Sets up the namespace and runs this test inside it.
  void RunInside() {
    if (std::system("unshare --mount --net true >/dev/null 2>&1") != 0 ||
        std::system("command -v dnsmasq >/dev/null 2>&1") != 0) {
      const char* why = "no private network namespace (needs root and unshare) or no dnsmasq (scripts/setup)";
      if (KavrixUnderCI()) FAIL() << why;
      GTEST_SKIP() << why;
    }
    char self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    const std::string dir = TempDir();
    const std::string script =
        "set -e\nip link set lo up\nprintf 'nameserver 127.0.0.1\\n' > " + dir + "/resolv.conf\n"
        "mount --bind " + dir + "/resolv.conf /etc/resolv.conf\n"
        "dnsmasq -k --conf-file=/dev/null --no-resolv --no-hosts --listen-address=127.0.0.1 --bind-interfaces "
        "--port=53 --pid-file=" + dir + "/dnsmasq.pid --log-queries --log-facility=" + dir + "/dns.log "
        "--mx-host=one.mail-test.lan,mx.one.mail-test.lan,10 --mx-host=two.mail-test.lan,mx.two.mail-test.lan,10 "
        "--host-record=mx.one.mail-test.lan,127.0.0.1 --host-record=mx.two.mail-test.lan,127.0.0.2 &\n"
        "dns=$!\nset +e\n" + kInside + "=1 '" + self + "' --gtest_filter=" +
        ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "." +
        ::testing::UnitTest::GetInstance()->current_test_info()->name() +
        " 2>&1\nrc=$?\nkill $dns\nwait $dns\nexit $rc\n";
    ASSERT_TRUE(KavrixWriteFile(dir + "/inside.sh", script));
    int status = 0;
    const std::string output = KavrixShellOutput("unshare --mount --net sh " + dir + "/inside.sh", &status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
    // Only the test's own names were asked for.
    const std::string queries = KavrixReadFile(dir + "/dns.log");
    EXPECT_NE(queries.find("query[MX] one.mail-test.lan"), std::string::npos) << queries;
    EXPECT_EQ(queries.find("forwarded"), std::string::npos) << queries;
  }
  bool Inside() { return std::getenv(kInside) != nullptr; }
};

TEST_F(DirectDeliveryTest, EachRecipientGoesToItsDomainsMailExchanger) {
  if (!Inside()) return RunInside();
  // dnsmasq starts beside the test; the first answer says it is there.
  ASSERT_TRUE(KavrixWaitUntil(
      [] { return LIPAddressWithPort::EmailMXHost("one.mail-test.lan").host == "mx.one.mail-test.lan"; }));
  // A domain without MX records is its own mail host.
  EXPECT_EQ(LIPAddressWithPort::EmailMXHost("mx.one.mail-test.lan").host, "mx.one.mail-test.lan");

  KAVRIX_START_PEER({.port = 25, .host = "127.0.0.1"});
  KavrixSmtpPeer second;
  std::string why;
  ASSERT_TRUE(second.Start(TempDir() + "/second", {.port = 25, .host = "127.0.0.2"}, why)) << why;

  EmailSMTPSendProcess mail;
  mail.to = "ann@one.mail-test.lan,bob@two.mail-test.lan";
  mail.subject = "Hello";
  mail.body = "Hi\r\n";
  // The relay is down, so each address is delivered by its own run.
  mail.relay_host = "127.0.0.1:" + std::to_string(KavrixFreeLoopbackPort());
  mail.send_direct = true;
  ASSERT_EQ(Process(nullptr, mail), kLProcessDone) << KavrixReadLogText();
  ASSERT_EQ(peer_.MessageCount() + second.MessageCount(), 2);
  EXPECT_EQ(peer_.Meta(1).at("rcpt") + "<" + peer_.Meta(1).at("mail_from") + " " + second.Meta(1).at("rcpt") + "<" +
                second.Meta(1).at("mail_from"),
            "ann@one.mail-test.lan<KavrixServer@one.mail-test.lan bob@two.mail-test.lan<KavrixServer@two.mail-test.lan");
  // The host name of HELO came from this machine's own lookups.
  EXPECT_FALSE(peer_.Meta(1).at("helo").empty());

  // When the first run fails the second is not attempted.
  mail.to = "cy@nowhere.mail-test.lan,bob@two.mail-test.lan";
  EXPECT_EQ(Process(nullptr, mail), kLProcessFailed);
  EXPECT_TRUE(LogHas("Unable to connect to either mail server \"" + mail.relay_host +
                     "\" or the mail server at \"nowhere.mail-test.lan\"."));
  EXPECT_EQ(second.MessageCount(), 1);
}

}  // namespace
