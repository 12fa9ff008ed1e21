// The SMTP settings step: reached from step 2 when the welcome e-mail did
// not arrive (going on to the modules question), and from the main page's to-do list while no SMTP server is
// set.

#include "web/pages/setup/setup_wizard_smtp.h"

#include <string>
#include <string_view>

#include "foundation/settings_sections.h"
#include "mail/email_install_defaults.h"
#include "web/http/weblet_form.h"
#include "web/pages/setup/setup_steps.h"
#include "web/pages/setup/setup_wizard_dialog.h"

namespace {

enum : int {
  kUseSmtpHost = 101,
  kHost = 102,
  kAuthOn = 103,
  kUserName = 104,
  kPassword = 105,
  kSendDirect = 106,
  kDirectOnly = 107,
  kReplyTo = 108,
};

constexpr std::string_view kEmail = "Email";

// The delivery's reading of a flag: on unless it begins with "0"; a
// missing value means `missing`.
bool FlagOn(std::string_view key, bool missing) {
  const std::string value = LSettingGetString(kEmail, key);
  if (value.empty()) return missing;
  return value[0] != '0';
}

class LKXWizardSmtpSetting : public LKXWizardDialog {
 public:
  explicit LKXWizardSmtpSetting(LWebletForm& form) : LKXWizardDialog(form, "SMTP Settings") {
    SetCancelLabel(kDefaultCancelLabel);
  }

  void InitDialog() override {
    // A visitor who may not see the settings gets neither the stored
    // password into the page's fields nor a settings write.
    if (!WizardUserAllowed()) return;
    (void)LEmailSetInstallDefaults();
    SetRadioCheck(FlagOn("UseSMTPHost", true) ? kUseSmtpHost : kDirectOnly, true);
    SetCheck(kSendDirect, FlagOn("SendDirect", true));
    SetText(kHost, LSettingGetString(kEmail, "MailSMTPHost"));
    SetText(kReplyTo, LSettingGetString(kEmail, "ReplyToEmail"));
    SetCheck(kAuthOn, FlagOn("SMTPAuthOn", false));
    SetText(kUserName, LSettingGetString(kEmail, "SMTPUserName"));
    std::string password;
    (void)LSettingGetPassword(kEmail, "SMTPPassword", "", password);
    SetText(kPassword, password);
  }

  void Generate() override {
    if (!WriteUnlessAllowed()) return;
    AddStatic(
        "Please enter your SMTP server for sending email. If you don't know what it is, call your "
        "ISP or your network administrator.");
    AddStatic("Select your preferred email sending method:");
    AddRadioButton(kUseSmtpHost, "Send using a SMTP Server");
    SetIndent(1);
    AddInput(kHost, "SMTP mail host: ", 30);
    AddCheckBox(kAuthOn, "Server requires authentication");
    AddInput(kUserName, "User Name: ", 24);
    AddInputPassword(kPassword, "Password: ", 24);
    AddCheckBox(kSendDirect, "If server is down, attempt to send directly");
    SetIndent(0);
    AddRadioButton(kDirectOnly, "Send directly to other side (work as own SMTP server)");
    AddInput(kReplyTo, "Default reply email: ", 30);
  }

  bool CmOk() override {
    if (!WizardUserAllowed()) return false;
    std::string text;
    bool stored = LSettingSetString(kEmail, "UseSMTPHost", GetRadioCheck(kUseSmtpHost) ? "1" : "0");
    stored = LSettingSetString(kEmail, "SendDirect", GetCheck(kSendDirect) ? "1" : "0") && stored;
    GetText(kHost, text);
    stored = LSettingSetString(kEmail, "MailSMTPHost", text) && stored;
    GetText(kReplyTo, text);
    stored = LSettingSetString(kEmail, "ReplyToEmail", text) && stored;
    stored = LSettingSetString(kEmail, "SMTPAuthOn", GetCheck(kAuthOn) ? "1" : "0") && stored;
    GetText(kUserName, text);
    stored = LSettingSetString(kEmail, "SMTPUserName", text) && stored;
    GetText(kPassword, text);
    stored = LSettingSetPassword(kEmail, "SMTPPassword", text) && stored;
    if (!stored) {
      PopupControlDataInvalid(kHost, "The email settings could not be saved. Please try again.");
      return false;
    }
    KXMarkSetupStepDone(kKXSetupStepConfirmEmail);
    return true;
  }
};

}  // namespace

void WLWizardSmtpSetting(LWebletForm& form) {
  // Both lead on to the modules question, which every path through the
  // wizard asks.
  KXWizardSetTargets(form, "wizardkavrixusage", "wizardkavrixusage");
  LKXWizardSmtpSetting page(form);
  page.Run();
}
