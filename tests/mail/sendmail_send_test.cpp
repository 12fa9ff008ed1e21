// Delivery through a real sendmail: Debian's exim4 with a configuration of
// the test's own (-C), delivering into a mailbox file in the test's folder.
// The machine's own mail setup is never read or changed.

#include "mail/sendmail_send.h"

#include <sys/stat.h>

#include <cstdlib>

#include "support/full_disk.h"
#include "support/log_lines.h"
#include "support/temp_root.h"

namespace {

constexpr char kExim[] = "/usr/sbin/exim4";

class SendmailSendTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    old_path_ = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    if (access(kExim, X_OK) != 0) {
      if (KavrixUnderCI()) FAIL() << "exim4-daemon-light is missing (scripts/setup)";
      GTEST_SKIP() << "exim4-daemon-light is missing";
    }
    box_ = TempDir() + "/box";
    ASSERT_EQ(chmod(TempDir().c_str(), 0711), 0);
    ASSERT_EQ(mkdir(box_.c_str(), 0777), 0);
    ASSERT_EQ(chmod(box_.c_str(), 0777), 0);  // exim delivers as nobody
    ASSERT_EQ(mkdir((TempDir() + "/bin").c_str(), 0755), 0);
    ASSERT_TRUE(KavrixWriteFile(TempDir() + "/exim.conf",
                                "primary_hostname = test.example\nspool_directory = " + TempDir() +
                                    "/spool\nlog_file_path = " + TempDir() +
                                    "/%slog\nexim_user = root\nexim_group = root\nnever_users =\n"
                                    "trusted_users = root\nqualify_domain = test.example\n"
                                    "begin routers\neverything:\n  driver = accept\n  transport = mailbox\n"
                                    "begin transports\nmailbox:\n  driver = appendfile\n  file = " +
                                    box_ + "/mailbox\n  user = nobody\n  group = nogroup\n  envelope_to_add\n"
                                    "  return_path_add\n"));
    UseConfig(TempDir() + "/exim.conf");
    setenv("PATH", (TempDir() + "/bin:" + old_path_).c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", old_path_.c_str(), 1);
    KavrixTempRoot::TearDown();
  }
  // The sendmail the delivery finds first: it notes its arguments, one a
  // line, and hands over to exim with the test's configuration, delivering
  // at once so that the mailbox is written when it ends.
  void UseConfig(const std::string& config) {
    const std::string script = TempDir() + "/bin/sendmail";
    ASSERT_TRUE(KavrixWriteFile(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + TempDir() + "/args'\nexec " +
                                            kExim + " -C '" + config + "' -odi \"$@\"\n"));
    ASSERT_EQ(chmod(script.c_str(), 0755), 0);
  }

  std::string old_path_;
  std::string box_;
};

TEST_F(SendmailSendTest, ExitStatusZeroDeliversIntoTheMailbox) {
  EXPECT_EQ(LFindSendmail(), TempDir() + "/bin/sendmail");
  ASSERT_TRUE(KavrixWriteFile(TempDir() + "/a.txt", "abc"));
  LEmailSendProcessSendMail mail{"staff@x.example", "office@x.example", "Gr\xc3\xbc\xc3\x9f" "e",
                                 "Hello\r\n.\r\nBye\r\n", {TempDir() + "/a.txt"}};
  ASSERT_EQ(Process(nullptr, mail), kLProcessDone);
  EXPECT_EQ(KavrixReadFile(TempDir() + "/args"), "-f\noffice@x.example\n-oi\n-t\n");
  const std::string box = KavrixReadFile(box_ + "/mailbox");
  EXPECT_NE(box.find("Envelope-to: staff@x.example\n"), std::string::npos) << box;
  const std::string sent =
      "Mime-Version: 1.0\nFrom: office@x.example\nTo: staff@x.example\nSubject: Gr\xc3\xbc\xc3\x9f" "e\n"
      "Content-Type: multipart/mixed; boundary=gc0p4Jq0M2Yt08jU534c0\n\n--gc0p4Jq0M2Yt08jU534c0\n"
      "Content-Type: text/plain; charset=\"utf-8\"\n\nHello\n.\nBye\n\n--gc0p4Jq0M2Yt08jU534c0\n"
      "Content-Type: application/octet-stream; name=\"a.txt\"\nContent-Transfer-Encoding: base64\n"
      "Content-Disposition: attachment; filename=\"a.txt\"\n\nYWJj\n\n--gc0p4Jq0M2Yt08jU534c0--\n";
  // exim adds its own headers (Message-Id, Date) after the ones it was given.
  const std::size_t body = sent.find("\n\n--");
  EXPECT_NE(box.find(sent.substr(0, body)), std::string::npos) << box;
  EXPECT_NE(box.find(sent.substr(body)), std::string::npos) << box;
}

TEST_F(SendmailSendTest, TheSenderIsOneArgumentAndNeverAShellCommand) {
  // Through a shell it would arrive as several arguments.
  const std::string crafted = "x@y.example\"; touch ran; echo \"";
  LEmailSendProcessSendMail mail{"staff@x.example", crafted, "s", "b\r\n", {}};
  (void)Process(nullptr, mail);
  EXPECT_EQ(KavrixReadFile(TempDir() + "/args"), "-f\n" + crafted + "\n-oi\n-t\n");
  mail.from = "-bV";  // not an option either
  (void)Process(nullptr, mail);
  EXPECT_EQ(KavrixReadFile(TempDir() + "/args"), "-f\nbV\n-oi\n-t\n");
}

TEST_F(SendmailSendTest, ANonZeroExitStatusIsAFailedDelivery) {
  UseConfig(TempDir() + "/no-such.conf");  // exim refuses to run: status 1
  LEmailSendProcessSendMail mail{"staff@x.example", "office@x.example", "s", "b\r\n", {}};
  EXPECT_EQ(Process(nullptr, mail), kLProcessFailed);
  EXPECT_TRUE(KavrixLogged("The unix \"sendmail\" tool did not take the email (exit status 1).")) << KavrixReadLogText();
  EXPECT_FALSE(KavrixFileExists(box_ + "/mailbox"));
}

}  // namespace
