#include <gtest/gtest.h>

#include <fstream>
#include <mutex>

#include "desktop/email_settings_dialog.h"
#include "desktop/gdk_lock.h"
#include "desktop/gtk_progress_dialog.h"
#include "desktop/status_window.h"
#include "desktop_display.h"
#include "foundation/log.h"
#include "foundation/thread.h"
#include "support/loopback.h"
#include "support/smtp_peer.h"
#include "support/test_helpers.h"

namespace {

class RecordingSink : public LProgressSink {
 public:
  void ShowStep(std::string_view text) override { shown += std::string(text) + "|"; }
  void ShowFraction(double fraction) override { shown += std::to_string(static_cast<int>(fraction * 100)) + "%|"; }
  std::string shown;
};

std::string LabelTexts(GtkWidget* widget) {
  std::string texts;
  if (GTK_IS_LABEL(widget)) texts += std::string(gtk_label_get_text(GTK_LABEL(widget))) + "|";
  if (GTK_IS_CONTAINER(widget)) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* child = children; child != nullptr; child = child->next) texts += LabelTexts(GTK_WIDGET(child->data));
    g_list_free(children);
  }
  return texts;
}

class EmailTestSendTest : public DesktopDisplayTest {};

TEST_F(EmailTestSendTest, StepsAndFractionsOfTheSendWithAndWithoutAttachments) {
  KavrixSmtpPeer peer;
  std::string why;
  if (!peer.Start(TempDir() + "/peer", {}, why)) {
    if (KavrixUnderCI()) FAIL() << why;
    GTEST_SKIP() << why;
  }
  const std::string attachment = TempDir() + "/big.bin";
  std::ofstream(attachment, std::ios::binary) << std::string(200000, 'a');
  struct Case {
    bool withAttachment;
    const char* shown;
  };
  const Case cases[] = {
      {false, "Sending Email to  boss@example.com|0%|Sending Message Text|30%|100%|"},
      {true, "Sending Email to  boss@example.com|0%|Sending Message Text|30%|Sending Message Attachment(s)|"},
  };
  for (const Case& c : cases) {
    EmailSMTPSendProcess mail;
    mail.to = mail.from = "boss@example.com";
    mail.subject = kLTestEmailSubject;
    mail.body = kLTestEmailBody;
    mail.relay_host = peer.HostText();
    mail.send_direct = false;
    if (c.withAttachment) mail.attachments = {attachment};
    LEmailTestSendProcess process(mail, false);
    RecordingSink sink;
    LambdaThread worker([&](LThread* self) { EXPECT_EQ(process.Process(*self, sink), kLProcessDone); });
    ASSERT_TRUE(worker.Start(0));
    worker.Join();
    EXPECT_EQ(sink.shown.substr(0, std::string(c.shown).size()), c.shown);
    if (c.withAttachment) {
      EXPECT_EQ(sink.shown.substr(sink.shown.size() - 10), "|90%|100%|") << sink.shown;
    }
  }
  EXPECT_EQ(peer.MessageCount(), 2);
}

TEST_F(EmailTestSendTest, AFailedSendShowsTheErrorInTheDialogUntilClosed) {
  KAVRIX_NEED_DISPLAY();
  LGdkLock lock;
  LStatusWindow status;
  gLLog().SetStatusWindow(nullptr);
  struct Forward : LLogStatusWindow {
    LStatusWindow* to;
    void QueueLogLine(const std::string& t, const std::string& m, std::uint8_t l) override { to->DisplayStatus(t, m, l); }
  } forward;
  forward.to = &status;
  gLLog().SetStatusWindow(&forward);
  const uint16_t closedPort = KavrixFreeLoopbackPort();
  EmailSMTPSendProcess mail;
  mail.to = mail.from = "boss@example.com";
  mail.relay_host = "127.0.0.1:" + std::to_string(closedPort);
  mail.send_direct = false;
  LEmailTestSendProcess process(mail, false);
  // Polls the dialog until it shows the error, then closes it.
  static std::string shown;
  gdk_threads_add_timeout(50, [](gpointer) -> gboolean {
    GtkWidget* dialog = LGtkProgressDialog::Current();
    if (dialog == nullptr || LabelTexts(dialog).find("Unable") == std::string::npos) return G_SOURCE_CONTINUE;
    DesktopDisplayTest::Screenshot("test-send-failed");
    shown = LabelTexts(dialog);
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CLOSE);
    return G_SOURCE_REMOVE;
  }, nullptr);
  LGtkProgressDialog dialog(nullptr, &status);
  EXPECT_EQ(dialog.RunProcess(kLTestEmailSubject, process), kLProcessFailed);
  EXPECT_NE(shown.find("|Unable to connect to mail server \"127.0.0.1:" + std::to_string(closedPort) + "\".|"),
            std::string::npos)
      << shown;
  gLLog().SetStatusWindow(nullptr);
}

}  // namespace
