#include "web/pages/common/api_subjects.h"

#include "model/registry_lists.h"
#include "model/users.h"
#include "web/pages/hours/hours_viewer.h"
#include "web/panel/api_access.h"

bool WLApiSubjects(LWebletForm& form, LKXUser& viewer, std::string_view user, std::vector<std::string>& emails) {
  emails.clear();
  if (!user.empty()) {
    LKXUser subject;
    if (!KXGetUser(user, subject)) {
      WLSendApiError(form, 404, "No user has the address " + std::string(user) + ".", "user");
      return false;
    }
    const std::string email = subject.GetEmail();
    if (!KXViewerMaySee(viewer, email)) {
      WLSendApiError(form, 403, "Only the manager of user " + email + " can view this user's data.", "user");
      return false;
    }
    emails.push_back(email);
    return true;
  }
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    const std::string email = it.Get().GetEmail();
    if (!email.empty() && KXViewerMaySee(viewer, email)) emails.push_back(email);
  }
  return true;
}
