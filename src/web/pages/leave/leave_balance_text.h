#pragma once
// The leave balance as the leave pages word it (model/leave_balance.h
// computes it). Plain text: the callers escape it like any other text.

#include <string>

#include "model/leave_balance.h"

// The leave report: "Leave balance 2026: 12 of 28 days left (allowance 25,
// carried over 3, taken 16)."
std::string KXLeaveBalanceLine(const LKXLeaveBalance& balance, int year);
// The leave form before OK: "You have 12 of 25 days left in 2026; this
// request takes 4." and, when it takes more, " It exceeds your balance by
// 3 days."
std::string KXLeaveFormBalanceText(const LKXLeaveBalance& balance, int year, int takes);
// The pending page, the balance once the request is approved: "8 of 25
// days left in 2026", or "-3 of 25 days left in 2026: 3 days over the
// balance".
std::string KXLeaveAfterApprovalText(const LKXLeaveBalance& balance, int year, int takes);
// Said to the applicant after OK when the request takes more than is left:
// " It exceeds the balance of 2026 by 3 days."; empty when it does not.
std::string KXLeaveOverrunNote(const LKXLeaveBalance& balance, int year, int takes);
