#include "web/pages/login_pages.h"

#include <string>

#include "foundation/log.h"
#include "foundation/settings_sections.h"
#include "mail/email_address.h"
#include "model/registry_lists.h"
#include "web/http_responses.h"
#include "web/current_user.h"
#include "web/pages/setup_wizard.h"
#include "web/standard_header.h"
#include "web/weblet_form.h"
#include "web/weblet_send.h"

namespace {

constexpr int kEmailId = 101;
constexpr int kPasswordId = 102;
constexpr int kLostPasswordLinkId = 103;

const LNavLinkData kLoginLinks[] = {{"help/login.html", "Help", true}, {nullptr, nullptr, false}};

// Every record is asked in registry order; the first that knows the
// address and the password (or the old password of a reset) lets the user
// in. One answer for an unknown address and a wrong password alike.
bool IdentifyAnyUser(const std::string& email, const std::string& password) {
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    if (it.Get().IdentifyUser(email, password)) return true;
  }
  return false;
}

}  // namespace

LKXLoginPage::LKXLoginPage(LWebletForm& form) : LWebDialog(form, 0) {
  SetOkLabel("Logon");
  SetCancelLabel("");
  SetTitle("Logon");
  SetNavLinks(kLoginLinks);
}

void LKXLoginPage::Generate() {
  AddInput(kEmailId, "Email:", 24);
  AddInputPassword(kPasswordId, "Password:", 24);
  AddHyperLinkSpanRightSmall(kLostPasswordLinkId, "lostpassword", "Forgot your password?", false);
}

bool LKXLoginPage::CmOk() {
  std::string email;
  GetTextAndTrim(kEmailId, email);
  if (email.empty()) {
    PopupControlDataInvalid(kEmailId, kLLoginEnterEmail);
    return false;
  }
  if (!LEmail::ValidateAddress(email)) {
    PopupControlDataInvalid(kEmailId, kLLoginInvalidEmail);
    return false;
  }
  std::string password;
  GetTextAndTrim(kPasswordId, password);
  if (password.empty()) {
    PopupControlDataInvalid(kPasswordId, kLLoginEnterPassword);
    return false;
  }
  if (!IdentifyAnyUser(email, password)) {
    PopupControlDataInvalid(kPasswordId, kLLoginFailed);
    return false;
  }
  LWebletSessionData& session = Form().Session();
  // Without a stored session the cookie would name nothing and the user
  // would land on the session-expired page, so the logon says it failed.
  if (!session.CreateNewSession(true)) {
    PopupControlDataInvalid(kPasswordId, kLLoginNoSession);
    return false;
  }
  session.SetParm("user", email);
  WLSendRaw(Form(), LHttpRedirectWithCookieText(session.Id(), "mainpage"));
  SetAnswered();
  return true;
}

void WLMainLogin(LWebletForm& form) {
  const std::string wizardRun = LSettingGetString("Settings", "SetupWizardRun");
  if (wizardRun.empty() || wizardRun[0] != '0') {
    WLWizardAdmin(form);
    return;
  }
  LKXLoginPage(form).Run();
}

void WLMainLogout(LWebletForm& form) {
  if (!WLValidateSession(form)) return;
  LWebletSessionData& session = form.Session();
  LOGF("User \"%s\" logged out.", session.GetParm("user"));
  // A station's session lives on: the station keeps using it after the
  // browser that it opened has logged out.
  if (!session.GetBool("stacon", false)) session.DeleteSession();
  WLStandardHeader(form);
  WLSendRaw(form, kLLogoutText);
  WLStandardFooter(form);
}
