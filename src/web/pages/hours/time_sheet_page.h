#pragma once
// "timesheet" and "timesheetpost": one user's day as periods (a picture of
// the day, then a table of every period with links to its activities or
// manual entry) and the day's totals.

#include <string>

#include "foundation/date_time.h"
#include "web/panel/kx_web_page.h"

void WLTimeSheet(LWebletForm& form);

class LKXTimeSheetPage : public LKXWebPage {
 public:
  explicit LKXTimeSheetPage(LWebletForm& form);
  void Generate() override;

 private:
  // The periods and totals of `email`'s day `date`.
  void DoSearch(const std::string& email, LDateTime date);
};

inline constexpr char kKXTimeSheetNotManager[] =
    "Only the manager of this user can view this user's breaks. If you are meant to be the manager, please ask the "
    "KavrixServer administrator to list you as a manager.";
inline constexpr char kKXSelectedUserNotFound[] = "Selected user not found!";
