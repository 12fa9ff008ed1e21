#include <gtest/gtest.h>

#include <fstream>

#include "desktop/email_settings_dialog.h"
#include "desktop_display.h"
#include "foundation/log.h"
#include "foundation/thread.h"
#include "support/smtp_peer.h"
#include "support/test_helpers.h"

namespace {

class RecordingSink : public LProgressSink {
 public:
  void ShowStep(std::string_view text) override { shown += std::string(text) + "|"; }
  void ShowFraction(double fraction) override { shown += std::to_string(static_cast<int>(fraction * 100)) + "%|"; }
  std::string shown;
};

class EmailTestSendTest : public DesktopDisplayTest {};

TEST_F(EmailTestSendTest, StepsAndFractionsOfASendWithAnAttachment) {
  KavrixSmtpPeer peer;
  std::string why;
  if (!peer.Start(TempDir() + "/peer", {}, why)) {
    if (KavrixUnderCI()) FAIL() << why;
    GTEST_SKIP() << why;
  }
  const std::string attachment = TempDir() + "/big.bin";
  std::ofstream(attachment, std::ios::binary) << std::string(200000, 'a');
  EmailSMTPSendProcess mail;
  mail.to = mail.from = "boss@example.com";
  mail.subject = kLTestEmailSubject;
  mail.body = kLTestEmailBody;
  mail.relay_host = peer.HostText();
  mail.send_direct = false;
  mail.attachments = {attachment};
  LEmailTestSendProcess process(mail, false);
  RecordingSink sink;
  LambdaThread worker([&](LThread* self) { EXPECT_EQ(process.Process(*self, sink), kLProcessDone); });
  ASSERT_TRUE(worker.Start(0));
  worker.Join();
  const std::string start = "Sending Email to  boss@example.com|0%|Sending Message Text|30%|Sending Message Attachment(s)|";
  EXPECT_EQ(sink.shown.substr(0, start.size()), start);
  EXPECT_EQ(sink.shown.substr(sink.shown.size() - 10), "|90%|100%|") << sink.shown;
  EXPECT_EQ(peer.MessageCount(), 1);
}

// A failed process keeping its progress dialog until closed:
// RoutingWizardTest; the mail error's text: SmtpSendTest.
}  // namespace
