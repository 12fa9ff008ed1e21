#include "web/pages/leave/leave_balance_text.h"

#include <algorithm>

namespace {

std::string LeftText(int left, int available, int year) {
  return std::to_string(left) + " of " + KXDaysText(available) + " left in " + std::to_string(year);
}

}  // namespace

std::string KXLeaveBalanceLine(const LKXLeaveBalance& balance, int year) {
  return "Leave balance " + std::to_string(year) + ": " + std::to_string(balance.Left()) + " of " +
         KXDaysText(balance.Available()) + " left (allowance " + std::to_string(balance.allowance) +
         ", carried over " + std::to_string(balance.carriedOver) + ", taken " + std::to_string(balance.taken) + ").";
}

std::string KXLeaveFormBalanceText(const LKXLeaveBalance& balance, int year, int takes) {
  std::string text = "You have " + LeftText(balance.Left(), balance.Available(), year) + "; this request takes " +
                     std::to_string(takes) + ".";
  const int over = std::min(takes, takes - balance.Left());
  if (over > 0) text += " It exceeds your balance by " + KXDaysText(over) + ".";
  return text;
}

std::string KXLeaveAfterApprovalText(const LKXLeaveBalance& balance, int year, int takes) {
  const int left = balance.Left() - takes;
  std::string text = LeftText(left, balance.Available(), year);
  // Only this request's days make it an overrun: an older one is not its fault.
  if (left < 0 && takes > 0) text += ": " + KXDaysText(std::min(-left, takes)) + " over the balance";
  return text;
}

std::string KXLeaveOverrunNote(const LKXLeaveBalance& balance, int year, int takes) {
  const int over = takes - balance.Left();
  if (!balance.kept || takes <= 0 || over <= 0) return "";
  return " It exceeds the balance of " + std::to_string(year) + " by " + KXDaysText(std::min(over, takes)) + ".";
}
