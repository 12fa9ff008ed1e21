#pragma once
// The dialog through which the logged-on user enters a manual work-time
// entry ("enterhours"): his own, or, named by "seluser", one for a user whose
// entries he may change (entry_owner.h).

#include "web/pages/common/entry_owner.h"
#include "web/panel/kx_web_dialog.h"

class LKXEnterHoursPage : public LKXWebDialog {
 public:
  explicit LKXEnterHoursPage(LWebletForm& form);
  // Chooses whose log the entry goes to; refuses another user's without
  // the right.
  bool Authenticate() override;
  void InitDialog() override;
  void Generate() override;
  bool CmOk() override;

 private:
  LKXEntryOwner owner_;
};

void WLEnterHoursPage(LWebletForm& form);

// Messages of the dialog's checks, in the order they are made.
inline constexpr char kKXEnterHoursBadDate[] = "Please enter a valid date in the format YYYY-MM-DD.";
inline constexpr char kKXEnterHoursBadTime[] =
    "Please enter a valid time in the format HH:MM or HH:MM:SS using the 24 hour clock.";
inline constexpr char kKXEnterHoursStartAfterEnd[] =
    "Time start has to be before time end. Please make sure you use the 24 hour clock and enter times in the "
    "format HH:MM:SS.";
inline constexpr char kKXEnterHoursOverTwelve[] =
    "You cannot enter more than 12 hours in one entry. Please make sure you use the 24 hour clock and enter "
    "times in the format HH:MM. If you really need more than 12 hours in one day, make 2 entries.";
inline constexpr char kKXEnterHoursTooOld[] = "You cannot enter dates more than 200 days in the past.";
inline constexpr char kKXEnterHoursFuture[] = "You cannot enter dates or times in the future.";
