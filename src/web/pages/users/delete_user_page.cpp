#include "web/pages/users/delete_user_page.h"

#include <string>

#include "model/registry_text.h"
#include "model/user_roles.h"
#include "station/server_connection.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/pages/common/dialog_defaults.h"
#include "web/pages/users/user_list_page.h"
#include "web/panel/access_rules.h"
#include "web/panel/current_user.h"

namespace {

constexpr int kEmailId = 101;

}  // namespace

LKXDeleteUserPage::LKXDeleteUserPage(LWebletForm& form) : LKXWebDialog(form, "deleteuser", "Delete User", 0) {}

bool LKXDeleteUserPage::Authenticate() {
  LKXUser viewer;
  if (!KXGetCurrentUser(Form(), viewer)) {
    WLRefusePage(Form(), kKXUserListNoCurrentUser);
    return false;
  }
  if (viewer.IsAdministrator()) return true;
  WLRefusePage(Form(), kKXDeleteOnlyAdmin);
  return false;
}

void LKXDeleteUserPage::InitDialog() { SetText(kEmailId, Form().Params().GetParm("seluser")); }

void LKXDeleteUserPage::Generate() {
  AddStatic(kKXDeleteQuestion);
  AddInputReadOnly(kEmailId, "Email:", 30);
}

bool LKXDeleteUserPage::CmOk() {
  LKXUser viewer;
  if (!KXGetCurrentUser(Form(), viewer)) return false;
  if (!viewer.IsAdministrator()) {
    PopupControlDataInvalid(kEmailId, kKXDeleteOnlyAdmin);
    return false;
  }
  std::string email;
  GetTextAndTrim(kEmailId, email);
  email = KXCleanRegistryText(email);
  if (KXSameName(email, viewer.GetEmail())) {
    PopupControlDataInvalid(kEmailId, kKXDeleteSelf);
    return false;
  }
  switch (KXDeleteUserKeepingAdministrator(email)) {
    case LKXRoleChange::kDone:
      break;
    case LKXRoleChange::kNoSuchUser:
      PopupControlDataInvalid(kEmailId, kKXDeleteNoSuchUser);
      return false;
    case LKXRoleChange::kLastAdministrator:
      PopupControlDataInvalid(kEmailId, kKXDeleteLastAdministrator);
      return false;
    case LKXRoleChange::kNotStored:
      PopupControlDataInvalid(kEmailId, kKXDeleteNotStored);
      return false;
  }
  // A station still logged on as the deleted user would go on recording.
  LKXServer::StopConnectionsOfUser(email);
  return true;
}

void WLDeleteUserPage(LWebletForm& form) {
  WLDefaultDialogTargets(form, "userlist", "userlist");
  LKXDeleteUserPage(form).Run();
}
