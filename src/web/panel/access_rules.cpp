#include "web/panel/access_rules.h"

#include <string>

#include "web/http/http_responses.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/current_user.h"
#include "web/panel/message_page.h"
#include "web/panel/standard_header.h"

namespace {

void SetWhereEmpty(LHashTable& params, std::string_view name, std::string_view value) {
  if (*params.GetParm(name) == '\0') params.SetParm(name, value);
}

void ShowRefusal(LWebletForm& form, std::string_view message) {
  LKXMessagePage page(form, kLReturnLabel, message);
  page.Run();
}

}  // namespace

void WLWriteSessionExpiredPage(LWebletForm& form) {
  WLStandardHeader(form);
  WLSendRaw(form, kLSessionExpiredText);
  WLStandardFooter(form);
}

bool WLValidateSession(LWebletForm& form) {
  if (form.Session().IsValid()) return true;
  SetWhereEmpty(form.Params(), "onok", "logon");
  SetWhereEmpty(form.Params(), "oncancel", "logon");
  WLWriteSessionExpiredPage(form);
  return false;
}

bool WLRequireAdministrator(LWebletForm& form) {
  if (!WLValidateSession(form)) return false;
  if (KXIsCurrentUserAdministator(form)) return true;
  LHashTable& params = form.Params();
  if (*params.GetParm("onok") == '\0') params.SetParm("onok", "mainpage");
  if (*params.GetParm("oncancel") == '\0') params.SetParm("oncancel", "mainpage");
  ShowRefusal(form, kLAdministratorOnlyText);
  return false;
}

void WLRefusePage(LWebletForm& form, std::string_view message) {
  LHashTable& params = form.Params();
  params.SetParm("onok", "mainpage");
  params.SetParm("oncancel", "mainpage");
  ShowRefusal(form, message);
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
