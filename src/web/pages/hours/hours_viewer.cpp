#include "web/pages/hours/hours_viewer.h"

#include "foundation/date_time.h"
#include "model/registry_lists.h"
#include "model/registry_text.h"
#include "model/users.h"
#include "web/http/weblet_form.h"

bool KXViewerMaySee(LKXUser& viewer, std::string_view email) {
  if (email.empty()) return false;
  if (viewer.IsAdministrator() || viewer.IsAccountant()) return true;
  const std::string mine = viewer.GetEmail();
  if (mine.empty()) return false;
  if (KXSameName(mine, email)) return true;
  return KXIsManagerOf(viewer, email);
}

bool KXChooseShownUser(LKXUser& viewer, std::string_view seluser, std::string& email) {
  email.clear();
  LKXUser named;
  if (!seluser.empty() && KXGetUser(seluser, named)) {
    email = named.GetEmail();
    return true;
  }
  const std::string mine = viewer.GetEmail();
  const bool seesAll = viewer.IsAdministrator() || viewer.IsAccountant();
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    LKXUser& user = it.Get();
    const std::string address = user.GetEmail();
    if (address.empty()) continue;
    // The walk already holds each record, so the manager list is read here
    // rather than looked up again by address.
    const bool mayView = seesAll || (!mine.empty() && (KXSameName(address, mine) ||
                                                      KXCommaListContains(user.GetText(kKXUserManager), mine)));
    if (mayView) {
      email = address;
      return true;
    }
  }
  return false;
}

void WLCopyFieldsToSession(LWebletForm& form, std::span<const LKXSessionCopy> copies) {
  for (const LKXSessionCopy& copy : copies) {
    const std::string value = form.Params().GetParm(copy.field);
    if (!value.empty()) form.Session().SetParm(copy.sessionName, value);
  }
}

std::string WLSessionDayOrToday(LWebletForm& form) {
  std::string day = form.Session().GetParm("date");
  if (day.empty()) {
    day = LDateTime::Now().GetDateText();
    form.Session().SetParm("date", day);
  }
  return day;
}
