#pragma once
// "deleteuser": asks before a user is deleted, then deletes the record.
// The user's logs and screenshots stay, and other users' "Manager" lists
// keep the address, so a report of past work still finds it; the user's
// station connections end at once.

#include "web/panel/kx_web_dialog.h"

void WLDeleteUserPage(LWebletForm& form);

class LKXDeleteUserPage : public LKXWebDialog {
 public:
  explicit LKXDeleteUserPage(LWebletForm& form);
  bool Authenticate() override;
  void InitDialog() override;
  void Generate() override;
  bool CmOk() override;
};

inline constexpr char kKXDeleteQuestion[] = "Are you sure to delete this employee?";
inline constexpr char kKXDeleteSelf[] = "You can not delete yourself!";
inline constexpr char kKXDeleteNoSuchUser[] = "This user does not exist!";
inline constexpr char kKXDeleteOnlyAdmin[] = "Only system administrator users can delete users!";
inline constexpr char kKXDeleteLastAdministrator[] =
    "This is the only administrator: nobody would be left to manage the users.";
inline constexpr char kKXDeleteNotStored[] = "The user could not be deleted. Please try again.";
