#include "web/pages/users/user_list_post.h"

#include <charconv>
#include <map>

#include "model/registry_text.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/common/dialog_defaults.h"
#include "web/pages/hours/view_hours_page.h"
#include "web/pages/monitor/app_usage_page.h"
#include "web/pages/users/startup_instructions.h"
#include "web/pages/users/user_list_page.h"
#include "web/panel/current_user.h"

namespace {

bool Pressed(const LWebletForm& form, const char* button, const char* label) {
  const char* value = form.Params().GetParm(button);
  return *value != '\0' && KXSameName(value, label);
}

// Managing users (resending, changing addresses) is the management mode's,
// so it needs what that mode needs.
bool MayManage(LWebletForm& form) {
  LKXUser viewer;
  return KXGetCurrentUser(form, viewer) && (viewer.IsAdministrator() || viewer.IsAccountant());
}

std::string Joined(const std::vector<std::string>& emails) {
  std::string joined;
  for (const std::string& email : emails) {
    if (!joined.empty()) joined += ",";
    joined += email;
  }
  return joined;
}

}  // namespace

std::vector<std::string> KXUserListTicked(const LWebletForm& form) {
  const int count = form.Params().GetInt("count", 0);
  // Walks the posted fields rather than the numbers up to "count": a
  // posted count of a billion must not cost a billion look-ups.
  std::map<int, std::string> ticked;
  for (const auto& pair : form.Params()) {
    const std::string_view name = pair.key;
    if (name.size() <= 5 || name.substr(0, 5) != "check") continue;
    int number = -1;
    const char* end = name.data() + name.size();
    const auto [at, error] = std::from_chars(name.data() + 5, end, number);
    if (error != std::errc() || at != end || number < 0 || number >= count) continue;
    std::string email = KXCleanRegistryText(pair.value);
    if (!email.empty()) ticked.emplace(number, std::move(email));
  }
  std::vector<std::string> emails;
  emails.reserve(ticked.size());
  for (auto& [number, email] : ticked) emails.push_back(std::move(email));
  return emails;
}

void WLUserListPagePost(LWebletForm& form) {
  const std::vector<std::string> ticked = KXUserListTicked(form);
  if (Pressed(form, "submit_viewhours", kKXListViewHours)) {
    // The report shows each ticked user only to a viewer who may see them.
    form.Session().SetParm("selusers", Joined(ticked));
    WLDefaultDialogTargets(form, "userlist", "userlist");
    WLViewHoursPage(form);
    return;
  }
  if (Pressed(form, "submit_compare", kKXListCompare)) {
    // The usage page applies the access rule to each ticked user itself.
    form.Session().SetParm("selusers", Joined(ticked));
    WLDefaultDialogTargets(form, "userlist", "userlist");
    WLViewAppUsage(form);
    return;
  }
  const bool resend = Pressed(form, "submit_pwdresend", kKXListResend);
  const bool change = Pressed(form, "submit_changeemail", kKXListChangeEmail);
  if (!resend && !change) {
    WLRedirect(form, "userlist");
    return;
  }
  if (!MayManage(form)) {
    WLSendRaw(form, kKXUserListNotAuthorized);
    return;
  }
  if (resend) {
    WLStartupInstructionResend(form, ticked);
    return;
  }
  if (!ticked.empty()) form.Session().SetParm("seluser", ticked.front());
  WLRedirect(form, "changeemail");
}
