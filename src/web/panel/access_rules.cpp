#include "web/panel/access_rules.h"

#include <string>

#include "web/http/http_responses.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/current_user.h"
#include "web/panel/page_frame.h"

bool WLRequireAdministrator(LWebletForm& form) {
  if (!WLValidateSession(form)) return false;
  if (KXIsCurrentUserAdministator(form)) return true;
  LHashTable& params = form.Params();
  if (*params.GetParm("onok") == '\0') params.SetParm("onok", "mainpage");
  if (*params.GetParm("oncancel") == '\0') params.SetParm("oncancel", "mainpage");
  WLPageFrame().message(form, kLReturnLabel, kLAdministratorOnlyText);
  return false;
}

void WLRefusePage(LWebletForm& form, std::string_view message) {
  LHashTable& params = form.Params();
  params.SetParm("onok", "mainpage");
  params.SetParm("oncancel", "mainpage");
  WLPageFrame().message(form, kLReturnLabel, std::string(message).c_str());
}

void WLRefuseDownload(LWebletForm& form, std::string_view message) {
  (void)WLSendRaw(form, std::string(kLHttpForbiddenText).append(message).append("\r\n"));
}

void WLSendNoContent(LWebletForm& form) { (void)WLSendRaw(form, kLHttpNoContent); }

bool WLCheckAccess(LWebletForm& form, LWebAccess access) {
  switch (access) {
    case LWebAccess::kSession:
      return WLValidateSession(form);
    case LWebAccess::kAdministrator:
      return WLRequireAdministrator(form);
    case LWebAccess::kAdministratorFile:
      if (KXIsCurrentUserAdministator(form)) return true;
      WLRefuseDownload(form, kLAdministratorOnlyFileText);
      return false;
    case LWebAccess::kAnyone:
    case LWebAccess::kPageRule:
    case LWebAccess::kApiToken:
      return true;
  }
  return false;
}
