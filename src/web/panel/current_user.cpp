#include "web/panel/current_user.h"

#include "foundation/text_limits.h"
#include "model/users.h"
#include "web/http/weblet_form.h"

bool KXGetCurrentUser(LWebletForm& form, LKXUser& user) {
  const char* email = form.Session().GetParm("user");
  if (*email == '\0') return false;
  return KXGetUser(email, user);
}

bool KXGetCurrentUserEmail(LWebletForm& form, std::string& email) {
  LKXUser user;
  email.clear();
  if (!KXGetCurrentUser(form, user)) return false;
  email = LCutText(form.Session().GetParm("user"));
  return true;
}

bool KXIsCurrentUserManager(LWebletForm& form) {
  LKXUser user;
  return KXGetCurrentUser(form, user) && KXIsManager(user);
}

bool KXIsCurrentUserAccountant(LWebletForm& form) {
  LKXUser user;
  return KXGetCurrentUser(form, user) && user.IsAccountant();
}

bool KXIsCurrentUserAdministator(LWebletForm& form) {
  LKXUser user;
  return KXGetCurrentUser(form, user) && user.IsAdministrator();
}

void WLWithdrawSessData(LWebletForm& form, std::string_view name, std::string& out,
                        std::string_view defaultValue) {
  LWebletSessionData& session = form.Session();
  const char* value = session.GetParm(name);
  out = LCutText(*value != '\0' ? std::string_view(value) : defaultValue);
  if (session.TestExists(name)) session.DeleteParm(name);
}
