#include "web/pages/setup/setup_wizard_dialog.h"

#include "model/user.h"
#include "web/http/http_responses.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"

LKXWizardDialog::LKXWizardDialog(LWebletForm& form, std::string_view title, std::string_view okLabel)
    : LWebDialog(form, kWidthPercent) {
  SetTitle(title);
  SetOkLabel(okLabel);
  SetCancelLabel("");
}

bool LKXWizardDialog::WizardUserAllowed() {
  LKXUser user;
  return KXGetCurrentUser(Form(), user) && user.IsAdministrator();
}

bool LKXWizardDialog::WriteUnlessAllowed() {
  if (WizardUserAllowed()) return true;
  LKXUser user;
  if (!KXGetCurrentUser(Form(), user)) {
    AddHtmlRow(kLSessionExpiredText);
  } else {
    AddHtmlRow(std::string("<center>") + kLAdministratorOnlyText + "</center>");
  }
  return false;
}

void LKXWizardDialog::AddHtmlRow(std::string_view html) {
  StartRow(-1, 1);
  WLSendRaw(Form(), html);
  WLSendRaw(Form(), "</td></tr>");
}

void KXWizardSetTargets(LWebletForm& form, const char* onok, const char* oncancel) {
  LHashTable& params = form.Params();
  if (*params.GetParm("onok") == '\0') params.SetParm("onok", onok);
  if (*params.GetParm("oncancel") == '\0') params.SetParm("oncancel", oncancel);
}

bool KXWizardLogOn(LWebletForm& form, std::string_view email, const char* target) {
  LWebletSessionData& session = form.Session();
  if (!session.CreateNewSession(true)) {
    WLRedirect(form, "logon");
    return false;
  }
  session.SetParm("user", email);
  // Written before the browser hears of it, so that the page it is sent
  // to finds the session complete.
  (void)session.FlushSession();
  WLSendRaw(form, LHttpRedirectWithCookieText(session.Id(), target, form.IsSecure()));
  return true;
}
