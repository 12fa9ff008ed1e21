#include "web/pages/account/login_pages.h"

#include <string>

#include "foundation/log.h"
#include "foundation/settings_sections.h"
#include "mail/email_address.h"
#include "model/registry_lists.h"
#include "model/user.h"
#include "model/users.h"
#include "web/http/http_responses.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/setup/setup_wizard.h"
#include "web/panel/current_user.h"
#include "web/panel/standard_header.h"
#include "web/session/logon_throttle.h"
#include "web/session/session_end.h"

namespace {

constexpr int kEmailId = 101;
constexpr int kPasswordId = 102;
constexpr int kLostPasswordLinkId = 103;

const LNavLinkData kLoginLinks[] = {{"help/login.html", "Help", true}, {nullptr, nullptr, false}};

// Every record is asked in registry order; the first that knows the
// address and the password (or the old password of a reset) decides. One
// answer for an unknown address and a wrong password alike.
LKXUser::Identified IdentifyAnyUser(const std::string& email, const std::string& password) {
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    const LKXUser::Identified identified = it.Get().IdentifyUserChecked(email, password);
    if (identified != LKXUser::Identified::kNo) return identified;
  }
  return LKXUser::Identified::kNo;
}

// Whether `password` is the current one of a reset that keeps the old one
// until the new one is used: this logon ends the old password.
bool ResetPasswordFirstUsed(const std::string& email, const std::string& password) {
  LKXUser user;
  return KXGetUser(email, user) && !user.GetText(kKXUserOldPassword).empty() &&
         user.GetText(kKXUserPassword) == password;
}

}  // namespace

LKXLoginPage::LKXLoginPage(LWebletForm& form) : LWebDialog(form, 0) {
  SetOkLabel("Logon");
  SetCancelLabel("");
  SetTitle("Logon");
  SetNavLinks(kLoginLinks);
}

void LKXLoginPage::InitDialog() { SetText(kPasswordId, ""); }

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
  LKXLogonAttempt attempt(&Form().Thread(), email, Form().RemoteAddress());
  const bool newPasswordTaken = ResetPasswordFirstUsed(email, password);
  const LKXUser::Identified identified =
      attempt.Refused() ? LKXUser::Identified::kNo : IdentifyAnyUser(email, password);
  if (identified == LKXUser::Identified::kNo) {
    if (!attempt.Refused()) attempt.Failed();
    PopupControlDataInvalid(kPasswordId, kLLoginFailed);
    return false;
  }
  attempt.Succeeded();
  LWebletSessionData& session = Form().Session();
  // Without a stored session the cookie would name nothing and the user
  // would land on the session-expired page, so the logon says it failed,
  // and why. The session is written now, not after the answer, so that a
  // full disk is noticed while the answer can still say so.
  bool saved = identified == LKXUser::Identified::kYes && session.CreateNewSession(true);
  if (saved) {
    session.SetParm("user", email);
    saved = session.FlushSession();
    if (!saved) session.DeleteSession();
  }
  if (!saved) {
    LOGERRORF(identified == LKXUser::Identified::kYes ? "Logon of %s refused: the session could not be saved."
                                                      : "Logon of %s refused: the user record could not be saved.",
              email.c_str());
    PopupControlDataInvalid(kPasswordId, kLLoginNoSession);
    return false;
  }
  // The first logon with a reset password ends the old one, and with it
  // every logon made with the old one.
  if (newPasswordTaken) LWebletEndUserSessions(email, session.Id());
  WLSendRaw(Form(), LHttpRedirectWithCookieText(session.Id(), "mainpage", Form().IsSecure()));
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
  LWebletSessionData& session = form.Session();
  LOGF("User \"%s\" logged out.", session.GetParm("user"));
  // A station's session lives on: the station keeps using it after the
  // browser that it opened has logged out.
  if (!session.GetBool("stacon", false)) session.DeleteSession();
  WLStandardHeader(form);
  WLSendRaw(form, kLLogoutText);
  WLStandardFooter(form);
}
