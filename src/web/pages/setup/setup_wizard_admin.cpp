#include "web/pages/setup/setup_wizard_admin.h"

// Step 1 of the setup wizard: the first administrator, who is also the
// accountant and the primary user.

#include <cstddef>
#include <string>

#include "foundation/settings_parse.h"
#include "foundation/settings_sections.h"
#include "mail/email_address.h"
#include "maintenance/maintenance_wake.h"
#include "model/new_user_check.h"
#include "model/teams.h"
#include "model/user.h"
#include "model/users.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/setup/setup_steps.h"
#include "web/pages/setup/setup_wizard_dialog.h"
#include "web/pages/setup/setup_wizard_users.h"
#include "web/session/logon_throttle.h"

namespace {

enum : int { kEmail = 101, kName = 102, kPassword = 103, kConfirm = 104 };

constexpr char kIntroText[] =
    "To use KavrixServer, you must create at least one administrator account. Please enter the "
    "administrator details now. Other administrators can be added later.";
// The address is an administrator's own typing: escaped ("%H").
constexpr char kAdminExistsFormat[] =
    "Can not run setup wizard when admin users still exist (%H). <br/>Please <a "
    "href=\"logon\"><b>Click Here</b></a> to logon KavrixServer and change these options.";

class LKXInstallWizardPage1 : public LKXWizardDialog {
 public:
  explicit LKXInstallWizardPage1(LWebletForm& form)
      : LKXWizardDialog(form, "Setup Wizard: Step 1 of 3") {}

  void Generate() override {
    std::string admin;
    if (SwitchOffWhenAdministratorExists(admin)) {
      StartRow(-1, 1);
      wfformat(Form(), kAdminExistsFormat, admin);
      WLSendRaw(Form(), "</td></tr>");
      return;
    }
    AddStatic(kIntroText);
    AddInput(kEmail, "Email:", 24);
    AddInput(kName, "Name:", 24);
    AddInputPassword(kPassword, "Password:", 24);
    AddInputPassword(kConfirm, "Confirm Password:", 24);
  }

  bool CmOk() override {
    // Only the page said so before; a post straight to this step must not
    // add an administrator (and log on as one) to a system that has one.
    std::string email, name, password, confirm;
    GetTextAndTrim(kEmail, email);
    GetTextAndTrim(kName, name);
    GetTextAndTrim(kPassword, password);
    GetTextAndTrim(kConfirm, confirm);
    // Posts that find an administrator or an existing address count as
    // failed logons: this step logs on whoever it accepts, so it is one
    // more door to try, and its answers tell which addresses are users.
    LKXLogonAttempt attempt(&Form().Thread(), email, Form().RemoteAddress());
    if (attempt.Refused()) return false;
    std::string admin;
    if (SwitchOffWhenAdministratorExists(admin)) {
      attempt.Failed();
      return false;
    }
    if (!Validate(email, name, password, confirm)) return false;
    // Logging the browser on as an address that was already a user's would
    // hand that user's account to whoever typed it.
    if (KXCheckUserAddressFree(email) != LKXUserProblem::kNone) {
      attempt.Failed();
      PopupControlDataInvalid(kEmail, kKXWizardRowExistsMessage);
      return false;
    }
    if (!AddAdministrator(email, name, password)) return false;
    attempt.Succeeded();
    KXWizardLogOn(Form(), email, "wizardconfirmemail");
    SetAnswered();
    return true;
  }

 private:
  // With an administrator present the wizard has nothing left to do, so it
  // is switched off: the next visit to "logon" shows the logon dialog.
  static bool SwitchOffWhenAdministratorExists(std::string& admin) {
    if (!KXFindFirstAdministrator(admin)) return false;
    (void)LSettingSetString("Settings", "SetupWizardRun", "0");
    return true;
  }

  bool Validate(const std::string& email, const std::string& name, const std::string& password,
                const std::string& confirm) {
    const LKXUserProblem address = KXCheckUserAddress(email, &LEmail::ValidateAddress);
    if (address == LKXUserProblem::kNoEmail) {
      PopupControlDataInvalid(kEmail,
                              "Please enter your email address. Your email is used to identify you "
                              "throughout the KavrixServer system.");
    } else if (address != LKXUserProblem::kNone) {
      PopupControlDataInvalid(kEmail, "Email address is invalid. Please reenter.");
    } else if (KXCheckUserName(name) != LKXUserProblem::kNone) {
      PopupControlDataInvalid(kName,
                              "Please enter your name. This name will be displayed to other users online.");
    } else if (password.empty()) {
      PopupControlDataInvalid(kPassword, "Please enter a password.");
    } else if (!LSettingsEqualNoCase(password, confirm)) {
      PopupControlDataInvalid(kConfirm, "The two passwords you entered do not match, please reenter.");
    } else {
      return true;
    }
    return false;
  }

  bool AddAdministrator(const std::string& email, const std::string& name, const std::string& password) {
    if (!KXAddUser(email, name, true, true, kKXDefaultTeam, "", password)) {
      PopupControlDataInvalid(kEmail, "The administrator account could not be saved. Please try again.");
      return false;
    }
    (void)KXAddTeam(kKXDefaultTeam);  // false when it exists already
    (void)LSettingSetString("Email", "ReplyToEmail", email);
    (void)LSettingSetString("Settings", "WelcomeEmail", "1");
    (void)LSettingSetString("Settings", "PrimaryUser", email);
    KXMarkSetupStepDone(kKXSetupStepAdmin);
    // The welcome e-mail goes out on the maintenance thread's next pass;
    // step 2 asks whether it arrived, so that pass should be now.
    KXWakeMaintenance();
    return true;
  }
};

}  // namespace

void WLWizardAdmin(LWebletForm& form) {
  KXWizardSetTargets(form, "wizardconfirmemail", "");
  LKXInstallWizardPage1 page(form);
  page.Run();
}
