#pragma once
// "changeemail": gives a user a new e-mail address, reached from the main
// page (one's own address) and from the user list (administrators and
// accountants, any user's). The user's archive folder, the "Manager" lists
// and operator keys that name the address, and the settings "ReplyToEmail"
// and "PrimaryUser" follow; the user's station connections are stopped.
// The user must log on again with the new address.

#include <string>

#include "web/panel/kx_web_dialog.h"

// Needs a valid session. Copies the form field "seluser" into the session
// when not empty; "onok" and "oncancel" default to "userlist".
void WLChangeEmailPage(LWebletForm& form);

class LKXChangeEmailPage : public LKXWebDialog {
 public:
  explicit LKXChangeEmailPage(LWebletForm& form);
  void InitDialog() override;
  void Generate() override;
  bool CmOk() override;
};

inline constexpr char kLChangeEmailNote[] = "Note: After changing email address, you will have to relogin.";
inline constexpr char kLChangeEmailEnter[] = "Please enter your email address.";
inline constexpr char kLChangeEmailInvalid[] = "This email address is invalid. Please reenter";
inline constexpr char kLChangeEmailDiffer[] = "The two new emails are not identical, please reenter.";
// "User folder <name> already exists. Please choose another email address."
std::string LChangeEmailFolderExists(const std::string& folderName);
inline constexpr char kLChangeEmailNoUser[] = "This user doesn't exist in the Kavrixserver System";
inline constexpr char kLChangeEmailNotAllowed[] =
    "Only System Administrator or Accountant can change the email address of another user.";
inline constexpr char kLChangeEmailTaken[] =
    "Another user already has this email address. Please choose another email address.";
inline constexpr char kLChangeEmailFolderNotMoved[] =
    "The user folder could not be renamed, so the email address was not changed. Please try again.";
inline constexpr char kLChangeEmailNotStored[] =
    "The email address could not be stored. Please try again.";
