#include "web/pages/account/password_pages.h"

#include <string>

#include "foundation/log.h"
#include "foundation/settings_parse.h"
#include "mail/email_address.h"
#include "maintenance/maintenance_wake.h"
#include "model/users.h"
#include "web/http/weblet_form.h"
#include "web/pages/common/dialog_defaults.h"
#include "web/panel/confirmation_line.h"
#include "web/panel/current_user.h"
#include "web/panel/message_page.h"
#include "web/session/session_end.h"

namespace {

constexpr int kLostEmailId = 101;
constexpr int kOldPasswordId = 101;
constexpr int kNewPasswordId = 102;
constexpr int kConfirmPasswordId = 103;

const LNavLinkData kPasswordHelpLinks[] = {{"help/password.html", "Help", true}, {nullptr, nullptr, false}};

// The mail goes out on the maintenance thread's next pass; waking it makes
// that pass now rather than within the minute.
void WakeMaintenance() {
  KXWakeMaintenance();
}

// Whether the logon dialog can ever match the password once stored: it
// trims blanks from what is typed, and the record drops leading "=" signs
// and ends a value at a line break. A password failing this would lock its
// user out.
bool PasswordSurvivesLogon(const std::string& password) {
  if (password.empty()) return false;
  constexpr std::string_view kBlanks = " \t\r\n";
  if (kBlanks.find(password.front()) != std::string_view::npos) return false;
  if (kBlanks.find(password.back()) != std::string_view::npos) return false;
  return LSettingsCleanValue(password) == password;
}

}  // namespace

LKXLostPasswordPage::LKXLostPasswordPage(LWebletForm& form) : LWebDialog(form, 0) {
  SetTitle("Retrieve Password");
  SetNavLinks(kPasswordHelpLinks);
}

void LKXLostPasswordPage::Generate() {
  AddStatic(kLLostPasswordPrompt);
  AddInput(kLostEmailId, "Email: ", 24);
}

bool LKXLostPasswordPage::CmOk() {
  std::string email;
  GetTextAndTrim(kLostEmailId, email);
  if (email.empty()) {
    PopupControlDataInvalid(kLostEmailId, kLLostPasswordEnterEmail);
    return false;
  }
  if (!LEmail::ValidateAddress(email)) {
    PopupControlDataInvalid(kLostEmailId, kLLostPasswordInvalidEmail);
    return false;
  }
  LKXUser user;
  if (!KXGetUser(email, user)) {
    PopupControlDataInvalid(kLostEmailId, kLLostPasswordNoUser);
    return false;
  }
  // The current password stays usable until the new one has been used once:
  // whoever asked for the reset need not be the user.
  if (user.GetText(kKXUserOldPassword).empty()) {
    user.SetText(kKXUserOldPassword, user.GetText(kKXUserPassword));
  }
  user.SetFlag(kKXUserPasswordReq, true);
  WakeMaintenance();
  return true;
}

void WLLostPassword(LWebletForm& form) {
  WLDefaultDialogTargets(form, "pwdsent", "logon");
  LKXLostPasswordPage(form).Run();
}

void WLPasswordSent(LWebletForm& form) {
  WLDefaultDialogTargets(form, "logon", "logon");
  LKXMessagePage(form, "Return", kLPasswordSentText).Run();
}

LKXChangePasswordPage::LKXChangePasswordPage(LWebletForm& form)
    : LKXWebDialog(form, "password", "Change Password", 0) {}

void LKXChangePasswordPage::Generate() {
  AddInputPassword(kOldPasswordId, "Old Password:", 24);
  AddInputPassword(kNewPasswordId, "New Password:", 24);
  AddInputPassword(kConfirmPasswordId, "Confirm New Password:", 24);
}

bool LKXChangePasswordPage::CmOk() {
  LKXUser user;
  if (!KXGetCurrentUser(Form(), user)) return false;
  // Passwords are taken as typed (not trimmed), cut to the 259 bytes that
  // the record keeps and the logon dialog compares.
  std::string oldPassword, newPassword, confirmation;
  GetText(kOldPasswordId, oldPassword);
  GetText(kNewPasswordId, newPassword);
  GetText(kConfirmPasswordId, confirmation);
  if (oldPassword != user.GetText(kKXUserPassword)) {
    PopupControlDataInvalid(kOldPasswordId, kLOldPasswordWrong);
    return false;
  }
  if (newPassword.empty()) {
    PopupControlDataInvalid(kConfirmPasswordId, kLNewPasswordBlank);
    return false;
  }
  if (newPassword != confirmation) {
    PopupControlDataInvalid(kConfirmPasswordId, kLNewPasswordsDiffer);
    return false;
  }
  if (!PasswordSurvivesLogon(newPassword)) {
    PopupControlDataInvalid(kNewPasswordId, kLNewPasswordUnusable);
    return false;
  }
  if (!user.SetText(kKXUserPassword, newPassword)) {
    LOGERRORF("The new password of %s could not be saved.", user.GetEmail().c_str());
    PopupControlDataInvalid(kNewPasswordId, kLNewPasswordNotSaved);
    return false;
  }
  // The replaced password must stop working. Kept as "OldPassword" it would
  // still log on, and that logon would even bring it back as the current
  // password, undoing a change made because it had become known.
  user.SetText(kKXUserOldPassword, "");
  LWebletEndUserSessions(user.GetEmail(), Form().Session().Id());
  WLSetConfirmation(Form(), kLPasswordChangedText);
  return true;
}

void WLChangePasswordPage(LWebletForm& form) {
  WLDefaultDialogTargets(form, "mainpage", "mainpage");
  LKXChangePasswordPage(form).Run();
}
