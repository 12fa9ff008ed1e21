#pragma once
// Passwords: the lost-password request (the maintenance thread then mails a
// new one, while the old one keeps working until the new one is used), its
// confirmation, and the change-password dialog of a logged-on user.

#include "web/panel/kx_web_dialog.h"
#include "web/panel/web_dialog.h"

// "lostpassword": "onok" defaults to "pwdsent", "oncancel" to "logon".
void WLLostPassword(LWebletForm& form);
// "pwdsent": the notice that the password is on its way; back to "logon".
void WLPasswordSent(LWebletForm& form);
// "changepassword": "onok" and "oncancel" default to "mainpage".
void WLChangePasswordPage(LWebletForm& form);

class LKXLostPasswordPage : public LWebDialog {
 public:
  explicit LKXLostPasswordPage(LWebletForm& form);
  bool Authenticate() override { return true; }
  void Generate() override;
  bool CmOk() override;
};

// Acts on the current user; without one it accepts nothing and says nothing.
class LKXChangePasswordPage : public LKXWebDialog {
 public:
  explicit LKXChangePasswordPage(LWebletForm& form);
  void Generate() override;
  bool CmOk() override;
};

inline constexpr char kLLostPasswordPrompt[] = "Please enter your email to reset password.";
inline constexpr char kLLostPasswordEnterEmail[] = "Please enter employee's email address.";
inline constexpr char kLLostPasswordInvalidEmail[] = "This Email address is invalid. Please reenter";
inline constexpr char kLLostPasswordNoUser[] = "This user doesn't exist in the Kavrixserver System";
inline constexpr char kLPasswordSentText[] =
    "Your password has been reset and sent to your email address. Your new password will take "
    "effect after next logon.";
inline constexpr char kLOldPasswordWrong[] = "The old password is not correct, please reenter.";
inline constexpr char kLNewPasswordBlank[] = "The new passwords cannot be blank, please reenter.";
inline constexpr char kLNewPasswordsDiffer[] = "The new passwords are not identical, please reenter.";
// The record could not be rewritten (a full disk): the old password stays.
inline constexpr char kLNewPasswordNotSaved[] =
    "The new password was not saved: the server cannot write its files (its disk may be full). "
    "Your old password is still valid.";
inline constexpr char kLPasswordChangedText[] = "Your password was changed.";
inline constexpr char kLNewPasswordUnusable[] =
    "The new password cannot begin or end with a blank, begin with \"=\" or hold a line break, "
    "please reenter.";
