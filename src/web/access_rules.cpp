#include "web/access_rules.h"

#include "web/api_access.h"
#include "web/current_user.h"
#include "web/page_frame.h"
#include "web/weblet_form.h"

bool WLRequireSession(LWebletForm& form) { return WLValidateSession(form); }

bool WLRequireAdministrator(LWebletForm& form) {
  if (!WLValidateSession(form)) return false;
  if (KXIsCurrentUserAdministator(form)) return true;
  LHashTable& params = form.Params();
  if (*params.GetParm("onok") == '\0') params.SetParm("onok", "mainpage");
  if (*params.GetParm("oncancel") == '\0') params.SetParm("oncancel", "mainpage");
  WLPageFrame().message(form, kLReturnLabel, kLAdministratorOnlyText);
  return false;
}

bool WLCheckAccess(LWebletForm& form, LWebAccess access) {
  switch (access) {
    case LWebAccess::kSession:
      return WLRequireSession(form);
    case LWebAccess::kAdministrator:
      return WLRequireAdministrator(form);
    case LWebAccess::kApiToken: {
      LKXUser viewer;
      return WLRequireApiToken(form, viewer);
    }
    case LWebAccess::kAnyone:
    case LWebAccess::kPageRule:
    case LWebAccess::kNone:
      return true;
  }
  return false;
}
