#include "desktop/email_settings_dialog.h"

#include "desktop/desktop_opener.h"
#include "desktop/gtk_progress_dialog.h"
#include "desktop/message_box.h"
#include "foundation/settings_sections.h"
#include "foundation/thread.h"
#include "mail/email_install_defaults.h"
#include "mail/sendmail_send.h"
#include "mail/smtp_send.h"

namespace {

constexpr char kSection[] = "Email";

bool On(GtkWidget* toggle) { return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(toggle)) != FALSE; }
std::string Text(GtkWidget* entry) { return gtk_entry_get_text(GTK_ENTRY(entry)); }

GtkWidget* Entry(GtkWidget* table, int row, const char* label, bool secret = false) {
  GtkWidget* caption = gtk_label_new(label);
  gtk_misc_set_alignment(GTK_MISC(caption), 0, 0.5);
  GtkWidget* entry = gtk_entry_new();
  gtk_entry_set_visibility(GTK_ENTRY(entry), secret ? FALSE : TRUE);
  gtk_table_attach(GTK_TABLE(table), caption, 0, 1, row, row + 1, GTK_FILL, GTK_FILL, 4, 2);
  gtk_table_attach(GTK_TABLE(table), entry, 1, 2, row, row + 1, static_cast<GtkAttachOptions>(GTK_EXPAND | GTK_FILL),
                   GTK_FILL, 4, 2);
  return entry;
}

}  // namespace

LProcessResult LEmailTestSendProcess::Process(LThread& worker, LProgressSink& sink) {
  sink.ShowStep("Sending Email to  " + smtp_.to);
  sink.ShowFraction(0);
  LProcessResult result;
  if (sendMail_) {
    LEmailSendProcessSendMail mail;
    mail.to = smtp_.to;
    mail.from = smtp_.from;
    mail.subject = smtp_.subject;
    mail.body = smtp_.body;
    sink.ShowStep(kLSMTPStepText);
    sink.ShowFraction(kLSMTPTextFraction);
    result = ::Process(&worker, mail);
  } else {
    EmailSMTPSendProcess mail = smtp_;
    mail.progress = [&sink](std::string_view step, double fraction) {
      sink.ShowStep(step);
      sink.ShowFraction(fraction);
    };
    result = ::Process(&worker, mail);
  }
  if (result == kLProcessDone) sink.ShowFraction(1);
  return result;
}

LEmailSendSettingsDlg::LEmailSendSettingsDlg(GtkWindow* parent, LStatusWindow* status)
    : parent_(parent), status_(status) {
  dialog = gtk_dialog_new_with_buttons(kLEmailSettingsTitle, parent, GTK_DIALOG_MODAL, GTK_STOCK_CANCEL,
                                       GTK_RESPONSE_CANCEL, GTK_STOCK_OK, GTK_RESPONSE_OK, nullptr);
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
  GtkWidget* box = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
  useSMTPHost = gtk_radio_button_new_with_label(nullptr, "Send through an SMTP server");
  useSendMail = gtk_radio_button_new_with_label_from_widget(GTK_RADIO_BUTTON(useSMTPHost), "Use SendMail");
  sendDirectOnly =
      gtk_radio_button_new_with_label_from_widget(GTK_RADIO_BUTTON(useSMTPHost), "Send Direct (no server)");
  for (GtkWidget* radio : {useSMTPHost, useSendMail, sendDirectOnly}) gtk_box_pack_start(GTK_BOX(box), radio, FALSE, FALSE, 2);
  GtkWidget* table = gtk_table_new(4, 2, FALSE);
  host = Entry(table, 0, "SMTP server (host:port)");
  userName = Entry(table, 1, "User name");
  password = Entry(table, 2, "Password", true);
  replyTo = Entry(table, 3, "Reply-to address");
  gtk_box_pack_start(GTK_BOX(box), table, FALSE, FALSE, 2);
  authOn = gtk_check_button_new_with_label("The server requires a user name and password");
  downSend = gtk_check_button_new_with_label("Send directly when the server cannot be reached");
  useSSL = gtk_check_button_new_with_label("Use SSL/TLS");
  testButton = gtk_button_new_with_label("Send Test Email");
  for (GtkWidget* widget : {authOn, downSend, useSSL, testButton}) gtk_box_pack_start(GTK_BOX(box), widget, FALSE, FALSE, 2);
  g_signal_connect(testButton, "clicked", G_CALLBACK(OnTest), this);
  Load();
  gtk_widget_show_all(dialog);
}

LEmailSendSettingsDlg::~LEmailSendSettingsDlg() { gtk_widget_destroy(dialog); }

void LEmailSendSettingsDlg::Load() {
  (void)LEmailSetInstallDefaults();
  const auto flag = [](const char* key) { return LSettingGetString(kSection, key, "0") == "1"; };
  if (flag("UseSendMail")) {
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(useSendMail), TRUE);
  } else if (!flag("UseSMTPHost") && flag("SendDirect")) {
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(sendDirectOnly), TRUE);
  }
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(downSend), flag("SendDirect") ? TRUE : FALSE);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(authOn), flag("SMTPAuthOn") ? TRUE : FALSE);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(useSSL), flag("UseSSL") ? TRUE : FALSE);
  gtk_entry_set_text(GTK_ENTRY(host), LSettingGetString(kSection, "MailSMTPHost").c_str());
  gtk_entry_set_text(GTK_ENTRY(userName), LSettingGetString(kSection, "SMTPUserName").c_str());
  std::string secret;
  (void)LSettingGetPassword(kSection, "SMTPPassword", "", secret);
  gtk_entry_set_text(GTK_ENTRY(password), secret.c_str());
  gtk_entry_set_text(GTK_ENTRY(replyTo), LSettingGetString(kSection, "ReplyToEmail").c_str());
}

bool LEmailSendSettingsDlg::Refusal(std::string& title, std::string& text) const {
  if (On(useSendMail) && LDesktopFindProgram("sendmail").empty()) {
    title = kLSendMailMissingTitle;
    text = kLSendMailMissingText;
  } else if (On(useSMTPHost) && Text(host).empty()) {
    title = kLSMTPServerRequiredTitle;
    text = kLSMTPServerRequiredText;
  } else if ((On(useSMTPHost) || On(sendDirectOnly)) && Text(replyTo).empty()) {
    title = kLReplyRequiredTitle;
    text = kLReplyRequiredText;
  } else {
    return false;
  }
  return true;
}

bool LEmailSendSettingsDlg::Store() {
  const auto set = [](const char* key, bool on) { return LSettingSetString(kSection, key, on ? "1" : "0"); };
  const bool smtp = On(useSMTPHost);
  return set("UseSendMail", On(useSendMail)) && set("UseSMTPHost", smtp) &&
         set("SendDirect", On(sendDirectOnly) || (smtp && On(downSend))) &&
         LSettingSetString(kSection, "MailSMTPHost", Text(host)) && set("SMTPAuthOn", On(authOn)) &&
         LSettingSetString(kSection, "SMTPUserName", Text(userName)) &&
         LSettingSetPassword(kSection, "SMTPPassword", Text(password)) && set("SMTPDownSend", On(downSend)) &&
         LSettingSetString(kSection, "ReplyToEmail", Text(replyTo)) && set("UseSSL", On(useSSL)) &&
         LSettingSetString(kSection, "SetViewed", "1");
}

bool LEmailSendSettingsDlg::Run() {
  bool stored = false;
  while (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK) {
    std::string title, text;
    if (Refusal(title, text)) {
      LMessageBoxError(GTK_WINDOW(dialog), title, text);
      continue;
    }
    stored = Store();
    break;
  }
  return stored;
}

bool LEmailSendSettingsDlg::TestSend() {
  std::string title, text;
  if (Refusal(title, text)) {
    LMessageBoxError(GTK_WINDOW(dialog), title, text);
    return false;
  }
  EmailSMTPSendProcess mail;
  mail.to = Text(replyTo);
  mail.from = Text(replyTo);
  mail.subject = kLTestEmailSubject;
  mail.body = kLTestEmailBody;
  if (On(useSMTPHost)) mail.relay_host = Text(host);
  if (On(useSMTPHost) && On(authOn)) {
    mail.user_name = Text(userName);
    mail.password = Text(password);
  }
  mail.send_direct = On(sendDirectOnly) || On(downSend);
  mail.use_ssl = On(useSSL);
  LEmailTestSendProcess process(std::move(mail), On(useSendMail));
  LGtkProgressDialog progress(GTK_WINDOW(dialog), status_);
  return progress.RunProcess(kLTestEmailSubject, process) == kLProcessDone;
}

void LEmailSendSettingsDlg::OnTest(GtkButton*, gpointer self) { (void)static_cast<LEmailSendSettingsDlg*>(self)->TestSend(); }
