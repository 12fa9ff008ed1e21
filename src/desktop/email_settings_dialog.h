#pragma once
// The e-mail settings dialog (section "Email") with a test send shown in a
// progress dialog.

#include <gtk/gtk.h>

#include <string>

#include "mail/smtp_send.h"
#include "routing/progress_dialog.h"

class LStatusWindow;

// A send shown in the progress dialog: "Sending Email to  <address>" at 0,
// then the delivery's own steps ("Sending Message Text" at 0.3, the
// attachments up to 0.9), and 1 once delivered. Failures are logged by the
// delivery and shown by the dialog.
class LEmailTestSendProcess : public LProgressProcess {
 public:
  LEmailTestSendProcess(EmailSMTPSendProcess smtp, bool sendMail) : smtp_(std::move(smtp)), sendMail_(sendMail) {}
  std::string_view Name() const override { return "Test Email"; }
  LProcessResult Process(LThread& worker, LProgressSink& sink) override;

 private:
  const EmailSMTPSendProcess smtp_;
  const bool sendMail_;
};

inline constexpr char kLSendMailMissingTitle[] = "SendMail Not Found";
inline constexpr char kLSendMailMissingText[] =
    "The SendMail Command was not found on your system. Please install SendMail or choose another option.";
inline constexpr char kLSMTPServerRequiredTitle[] = "SMTP Server Address Required";
inline constexpr char kLSMTPServerRequiredText[] = "If you choose SMTP you must enter a server.";
inline constexpr char kLReplyRequiredTitle[] = "Reply Email Required";
inline constexpr char kLReplyRequiredText[] =
    "If you choose SMTP or Send Direct you must enter a valid reply-to address. Enter your email address.";
inline constexpr char kLTestEmailSubject[] = "KavrixServer Test Email";
inline constexpr char kLTestEmailBody[] = "This is a test email sent from the KavrixServer e-mail settings.\r\n";

class LEmailSendSettingsDlg {
 public:
  LEmailSendSettingsDlg(GtkWindow* parent, LStatusWindow* status);
  ~LEmailSendSettingsDlg();
  LEmailSendSettingsDlg(const LEmailSendSettingsDlg&) = delete;
  LEmailSendSettingsDlg& operator=(const LEmailSendSettingsDlg&) = delete;

  // Modal; true when confirmed and stored.
  bool Run();

  // The widgets, for tests.
  GtkWidget* dialog;
  GtkWidget* useSendMail;
  GtkWidget* useSMTPHost;
  GtkWidget* sendDirectOnly;
  GtkWidget* downSend;  // send directly when the server cannot be reached
  GtkWidget* host;
  GtkWidget* authOn;
  GtkWidget* userName;
  GtkWidget* password;
  GtkWidget* replyTo;
  GtkWidget* useSSL;
  GtkWidget* testButton;

  // The refusal of the fields as they stand (title and text), or false.
  bool Refusal(std::string& title, std::string& text) const;
  // Sends a test message to the reply-to address with the fields as they
  // stand; true when delivered.
  bool TestSend();

 private:
  void Load();
  bool Store();
  static void OnTest(GtkButton*, gpointer self);

  GtkWindow* parent_;
  LStatusWindow* status_;
};

// The open dialog's title (for tests finding it).
inline constexpr char kLEmailSettingsTitle[] = "Email Settings";
