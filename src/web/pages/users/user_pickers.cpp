#include "web/pages/users/user_pickers.h"

#include <vector>

#include "model/registry_lists.h"
#include "model/registry_text.h"
#include "model/teams.h"
#include "model/users.h"
#include "web/http/weblet_form.h"
#include "web/pages/common/dialog_defaults.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"

namespace {

constexpr int kChoiceId = 101;

// Whether `email` is the user whose details the picker serves: the one
// selected, or for a new user the address typed so far (kept in the
// session when the picker was opened). Nobody is his own manager.
bool IsEditedUser(LWebletSessionData& session, std::string_view email) {
  const std::string selected = session.GetParm("seluser");
  const std::string typed = KXCleanRegistryText(session.GetParm("fdemail"));
  return KXSameName(email, selected) || (!typed.empty() && KXSameName(email, typed));
}

std::vector<std::string> ManagerItems(LWebletSessionData& session) {
  std::vector<std::string> items;
  for (LKXUserListIterator it(gKXUsersList); it.Next();) {
    const std::string email = it.Get().GetEmail();
    if (IsEditedUser(session, email)) continue;
    items.push_back(it.Get().GetName() + " (" + email + ")");
  }
  return items;
}

}  // namespace

std::string KXPulldownText(std::string_view value) {
  const std::size_t dollar = value.find('$');
  return std::string(dollar == std::string_view::npos ? value : value.substr(dollar + 1));
}

std::string KXManagerItemAddress(std::string_view item) {
  const std::size_t open = item.rfind('(');
  const std::size_t close = item.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) return "";
  return std::string(item.substr(open + 1, close - open - 1));
}

void KXAppendKeptItem(LWebletSessionData& session, std::string_view name, std::string_view item) {
  const std::string old = session.GetParm(name);
  session.SetParm(name, old.empty() ? std::string(item) : old + "," + std::string(item));
}

LKXAddManagerPage::LKXAddManagerPage(LWebletForm& form) : LKXWebDialog(form, "addmanager", "Select a manager", 0) {}

void LKXAddManagerPage::Generate() { AddPullDownList(kChoiceId, "Manager: ", ManagerItems(Form().Session())); }

bool LKXAddManagerPage::CmOk() {
  LKXUser manager;
  const std::string email = KXCleanRegistryText(KXManagerItemAddress(KXPulldownText(GetControlValue(kChoiceId))));
  if (!KXGetUser(email, manager) || IsEditedUser(Form().Session(), manager.GetEmail())) {
    PopupControlDataInvalid(kChoiceId, kKXPickerNoChoice);
    return false;
  }
  KXAppendKeptItem(Form().Session(), "fdmanagers", KXCommaListItem(manager.GetEmail()));
  return true;
}

LKXAddToTeamPage::LKXAddToTeamPage(LWebletForm& form) : LKXWebDialog(form, "addtoteam", "Select a team", 0) {}

void LKXAddToTeamPage::Generate() { AddPullDownList(kChoiceId, "Teams: ", KXGetTeamNames()); }

bool LKXAddToTeamPage::CmOk() {
  const std::string team = KXCleanRegistryText(KXPulldownText(GetControlValue(kChoiceId)));
  if (!KXTeamExists(team)) {
    PopupControlDataInvalid(kChoiceId, kKXPickerNoChoice);
    return false;
  }
  KXAppendKeptItem(Form().Session(), "fdteams", KXCommaListItem(team));
  return true;
}

void WLAddManager(LWebletForm& form) {
  WLDefaultDialogTargets(form, "userdetail", "userdetail");
  LKXAddManagerPage(form).Run();
}

void WLAddToTeam(LWebletForm& form) {
  WLDefaultDialogTargets(form, "userdetail", "userdetail");
  LKXAddToTeamPage(form).Run();
}
