#include "web/pages/leave/leave_post_confirmation.h"

#include <algorithm>

#include "web/http/weblet_form.h"
#include "web/panel/confirmation_line.h"

namespace {

// The rows the form asks to change: "Apply Changes" every row, the other
// actions the ticked ones; a row that posts no dates is no row of the page.
// Each of them either changes or has its one notice.
int AskedRows(const LWebletForm& form, LKXLeaveAction action) {
  const LHashTable& params = form.Params();
  // No more rows than posted fields, as the post itself bounds them.
  const int count = std::min(std::max(params.GetInt("count", 0), 0), static_cast<int>(params.Size()));
  int asked = 0;
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    if (action != LKXLeaveAction::kApply && *params.GetParm("check" + n) == '\0') continue;
    if (*params.GetParm("inputstartdate" + n) == '\0' && *params.GetParm("inputenddate" + n) == '\0') continue;
    ++asked;
  }
  return asked;
}

}  // namespace

std::string KXLeaveChangesText(LKXLeaveAction action, int changed) {
  if (changed <= 0) return "";
  if (action == LKXLeaveAction::kApply) return "Changes saved.";
  const char* done = action == LKXLeaveAction::kDelete    ? "deleted."
                     : action == LKXLeaveAction::kApprove ? "approved."
                                                          : "disapproved.";
  return std::to_string(changed) + (changed == 1 ? " request " : " requests ") + done;
}

std::vector<std::string> WLPostLeaveChangesConfirmed(LWebletForm& form, LKXUser& actor, LKXLeaveAction action,
                                                     LKXLeavePostSource source, const std::string& reportUser) {
  const int asked = AskedRows(form, action);
  std::vector<std::string> notices = KXPostLeaveChanges(form, actor, action, source, reportUser);
  const int changed = std::max(asked - static_cast<int>(notices.size()), 0);
  const std::string text = KXLeaveChangesText(action, changed);
  if (!text.empty()) WLSetConfirmation(form, text);
  return notices;
}
