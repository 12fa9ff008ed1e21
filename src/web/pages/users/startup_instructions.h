#pragma once
// Resending the start-up instructions: asks the maintenance thread to mail
// each ticked user their logon details ("PasswordReq"), and lists them.

#include <string>
#include <vector>

class LWebletForm;

// `emails` are the ticked addresses; the caller has checked that the
// current user may manage users. Addresses of no user are left out.
void WLStartupInstructionResend(LWebletForm& form, const std::vector<std::string>& emails);

inline constexpr char kKXStartupSentText[] =
    "<div>Startup Instructions emails have been sent to the following addresses:</div>";
