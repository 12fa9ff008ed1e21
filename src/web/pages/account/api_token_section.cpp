#include "web/pages/account/api_token_section.h"

#include "model/api_token.h"
#include "model/registry_text.h"
#include "model/users.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/current_user.h"
#include "web/panel/web_dialog.h"

namespace {

constexpr char kButtonStyle[] = "style=\"font-family: Arial,sans-serif; font-size: 10pt;\"";

bool OwnDetails(LWebletForm& form, const std::string& selected, LKXUser& self) {
  return !selected.empty() && KXGetCurrentUser(form, self) && KXSameName(self.GetEmail(), selected);
}

}  // namespace

bool WLApiTokenPost(LWebletForm& form, const std::string& selected, std::string& shownToken, std::string& notice) {
  const std::string submit = form.Params().GetParm("submit");
  const bool create = submit == kKXCreateApiTokenLabel;
  if (!create && submit != kKXRevokeApiTokenLabel) return false;
  form.Params().DeleteParm("submit");
  form.Params().DeleteParm("submitdef");
  LKXUser self;
  if (!OwnDetails(form, selected, self)) return true;
  if (!create) {
    KXRevokeApiToken(self);
    notice = "The API token has been revoked.";
  } else if (!KXCreateApiToken(self, shownToken)) {
    notice = kKXApiTokenNotCreated;
  }
  return true;
}

void KXWriteApiTokenBox(LWebDialog& dialog, const std::string& selected, const std::string& shownToken,
                        const std::string& notice) {
  LWebletForm& form = dialog.Form();
  LKXUser self;
  if (!OwnDetails(form, selected, self)) return;
  dialog.StartGroupBox("API token");
  if (!notice.empty()) dialog.AddStatic(notice);
  if (!shownToken.empty()) {
    dialog.AddStatic("Copy this token now: it is not shown again. Payroll and calendar programs send it as "
                     "\"Authorization: Bearer <token>\".");
    dialog.StartRow(-1, 1);
    wfformat(form, "<input type=text id=apitoken readonly size=40 value=\"%H\" %s></td></tr>", shownToken,
             kButtonStyle);
  }
  if (KXHasApiToken(self)) {
    dialog.AddStatic("A token created " + KXApiTokenCreated(self) + " reads your data and what you may see.");
    dialog.StartRow(-1, 1);
    wfformat(form, "<input type=submit name=submit id=revokeapitoken value=\"%H\" %s></td></tr>",
             kKXRevokeApiTokenLabel, kButtonStyle);
  } else {
    dialog.AddStatic("Programs can read your hours, leave and presence, and those of the staff you may see, "
                     "through the API with a personal token.");
    dialog.StartRow(-1, 1);
    wfformat(form, "<input type=submit name=submit id=createapitoken value=\"%H\" %s></td></tr>",
             kKXCreateApiTokenLabel, kButtonStyle);
  }
  dialog.EndGroupBox();
}
