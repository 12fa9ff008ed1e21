#include "web/pages/common/entry_owner.h"

#include "model/registry_text.h"
#include "model/users.h"
#include "web/http/weblet_form.h"
#include "web/pages/leave/leave_pages_common.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"
#include "web/panel/message_page.h"

bool WLChooseEntryOwner(LWebletForm& form, std::string_view seluser, std::string_view refusal,
                        LKXEntryOwner& owner) {
  owner = LKXEntryOwner{};
  LKXUser viewer;
  if (!KXGetCurrentUser(form, viewer)) return true;  // the dialog says there is nobody
  owner.viewerEmail = viewer.GetEmail();
  LKXUser user;
  if (seluser.empty() || KXSameName(seluser, owner.viewerEmail)) {
    owner.email = owner.viewerEmail;
    owner.name = viewer.GetName();
    return true;
  }
  if (!KXMayEditLeaveOf(viewer, seluser) || !KXGetUser(seluser, user)) {
    owner = LKXEntryOwner{};
    LKXMessagePage page(form, kLReturnLabel, refusal);
    page.Run();
    return false;
  }
  owner.email = user.GetEmail();
  owner.name = user.GetName();
  owner.other = true;
  return true;
}

std::string KXEntryOwnerTitle(std::string_view title, const LKXEntryOwner& owner) {
  std::string text(title);
  if (owner.other) text += " for " + owner.name;
  return text;
}

std::string KXEnteredByNote(const LKXEntryOwner& owner) {
  return owner.other ? " (entered by " + owner.viewerEmail + ")" : std::string();
}
