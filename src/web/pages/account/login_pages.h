#pragma once
// Opening and closing a web session: the logon dialog (the setup wizard's
// first step while the system is not set up yet) and logout.

#include "web/panel/web_dialog.h"

// "" and "logon". Runs the setup wizard's first step while "Settings"
// "SetupWizardRun" does not begin with "0", else the logon dialog.
void WLMainLogin(LWebletForm& form);
// "logout": ends the session (not one a station connection made) and says so.
void WLMainLogout(LWebletForm& form);

// The logon dialog. An accepted logon answers itself: a new long session
// holding "user", its cookie, and a redirect to the main page.
class LKXLoginPage : public LWebDialog {
 public:
  explicit LKXLoginPage(LWebletForm& form);
  bool Authenticate() override { return true; }
  // A first display shows no password: one in a link's query would stand in
  // the field for whoever follows the link to press Logon.
  void InitDialog() override;
  void Generate() override;
  bool CmOk() override;
};

// The texts the logon dialog shows.
inline constexpr char kLLoginEnterEmail[] = "Please enter your email address.";
inline constexpr char kLLoginInvalidEmail[] = "This Email address is invalid. Please reenter";
inline constexpr char kLLoginEnterPassword[] =
    "Please enter your password. If you have forgotton your password please click on the lost "
    "password link.";
inline constexpr char kLLoginFailed[] =
    "Login failed. Please check you have the right password. Use the forgot password link to "
    "reissue a password by email";
// A right password that the server cannot act on: its disk is full or not
// writable. Telling the user so spares them hunting for a typing error.
inline constexpr char kLLoginNoSession[] =
    "Login failed: the server cannot save your session (its disk may be full). Please tell your "
    "administrator.";
inline constexpr char kLLogoutText[] =
    "<center>You have successfully logged out. Thank you for using KavrixServer. <br><br>Click "
    "<a href=\"logon\">here</a> to log on again</center>";
