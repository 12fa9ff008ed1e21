#include "web/pages/account/change_email_page.h"

#include <string>

#include "mail/email_address.h"
#include "model/registry_text.h"
#include "model/user_email_change.h"
#include "station/server_connection.h"
#include "web/http/weblet_form.h"
#include "web/pages/common/dialog_defaults.h"
#include "web/panel/current_user.h"

namespace {

constexpr int kOldEmailId = 101;
constexpr int kNewEmailId = 102;
constexpr int kConfirmEmailId = 103;

// Administrators and accountants manage every user (the user list offers
// them this dialog for anyone); everybody else only their own address.
bool MayChangeAnyAddress(LKXUser& user) { return user.IsAdministrator() || user.IsAccountant(); }

// The message for a refused change and the control it belongs to.
void ShowRefusal(LKXChangeEmailPage& page, LKXEmailChange result, const std::string& folder) {
  switch (result) {
    case LKXEmailChange::kNoSuchUser:
      page.PopupControlDataInvalid(kOldEmailId, kLChangeEmailNoUser);
      return;
    case LKXEmailChange::kFolderExists:
      page.PopupControlDataInvalid(kNewEmailId, LChangeEmailFolderExists(folder));
      return;
    case LKXEmailChange::kAddressTaken:
      page.PopupControlDataInvalid(kNewEmailId, kLChangeEmailTaken);
      return;
    case LKXEmailChange::kFolderNotMoved:
      page.PopupControlDataInvalid(kNewEmailId, kLChangeEmailFolderNotMoved);
      return;
    case LKXEmailChange::kNotStored:
    case LKXEmailChange::kDone:
      page.PopupControlDataInvalid(kNewEmailId, kLChangeEmailNotStored);
      return;
  }
}

}  // namespace

std::string LChangeEmailFolderExists(const std::string& folderName) {
  return "User folder " + folderName + " already exists. Please choose another email address.";
}

LKXChangeEmailPage::LKXChangeEmailPage(LWebletForm& form)
    : LKXWebDialog(form, "changeemail", "Change Email Address", 0) {}

void LKXChangeEmailPage::InitDialog() {
  LKXUser user;
  if (!KXGetCurrentUser(Form(), user)) return;
  const std::string selected = Form().Session().GetParm("seluser");
  SetText(kOldEmailId, !selected.empty() && MayChangeAnyAddress(user) ? selected : user.GetEmail());
}

void LKXChangeEmailPage::Generate() {
  AddInputReadOnly(kOldEmailId, "Email Address:", 24);
  AddInput(kNewEmailId, "New Email:", 24);
  AddInput(kConfirmEmailId, "Confirm New Email:", 24);
  AddStatic(kLChangeEmailNote);
}

bool LKXChangeEmailPage::CmOk() {
  LKXUser user;
  if (!KXGetCurrentUser(Form(), user)) return false;
  std::string oldEmail, newEmail, confirmation;
  GetText(kOldEmailId, oldEmail);
  GetText(kNewEmailId, newEmail);
  GetText(kConfirmEmailId, confirmation);
  // The old address arrives in a form field; read-only only in the browser.
  if (!KXSameName(KXCleanRegistryText(oldEmail), user.GetEmail()) && !MayChangeAnyAddress(user)) {
    PopupControlDataInvalid(kOldEmailId, kLChangeEmailNotAllowed);
    return false;
  }
  if (newEmail.empty()) {
    PopupControlDataInvalid(kNewEmailId, kLChangeEmailEnter);
    return false;
  }
  if (!LEmail::ValidateAddress(newEmail)) {
    PopupControlDataInvalid(kNewEmailId, kLChangeEmailInvalid);
    return false;
  }
  if (newEmail != confirmation) {
    PopupControlDataInvalid(kConfirmEmailId, kLChangeEmailDiffer);
    return false;
  }
  std::string folder;
  const LKXEmailChange result = KXChangeUserEmailAndFolder(
      oldEmail, newEmail, [&oldEmail] { LKXServer::StopConnectionsOfUser(oldEmail); }, folder);
  if (result == LKXEmailChange::kDone) return true;
  ShowRefusal(*this, result, folder);
  return false;
}

void WLChangeEmailPage(LWebletForm& form) {
  const std::string selected = form.Params().GetParm("seluser");
  if (!selected.empty()) form.Session().SetParm("seluser", selected);
  WLDefaultDialogTargets(form, "userlist", "userlist");
  LKXChangeEmailPage(form).Run();
}
