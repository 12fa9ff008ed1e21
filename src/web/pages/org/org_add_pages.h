#pragma once
// "addteam", "addleavetype", "addholiday": the add dialogs of the three
// registry lists. Reached from the list pages, and like them for
// administrators only (their rows' rule); "onok" and "oncancel" default to the list page.

#include "web/panel/kx_web_dialog.h"

void WLAddTeamPage(LWebletForm& form);
void WLAddLeaveTypePage(LWebletForm& form);
void WLAddHolidayPage(LWebletForm& form);

// What an add dialog of a list of names (teams, leave types) asks and
// answers; one object per list.
struct LKXAddNameView;

class LKXAddNamePage : public LKXWebDialog {
 public:
  LKXAddNamePage(LWebletForm& form, const LKXAddNameView& view);
  void Generate() override;
  bool CmOk() override;

 private:
  const LKXAddNameView& view_;
};

class LKXAddTeamPage : public LKXAddNamePage {
 public:
  explicit LKXAddTeamPage(LWebletForm& form);
};

class LKXAddLeaveTypePage : public LKXAddNamePage {
 public:
  explicit LKXAddLeaveTypePage(LWebletForm& form);
};

class LKXAddHolidayPage : public LKXWebDialog {
 public:
  explicit LKXAddHolidayPage(LWebletForm& form);
  void InitDialog() override;
  void Generate() override;
  bool CmOk() override;
};

inline constexpr char kLTeamEmpty[] = "Please enter the team name.";
inline constexpr char kLTeamExists[] = "This team already exists. Please enter another name for the team.";
// The key filter of the name inputs runs in the browser only; a posted name
// is checked again, since a comma or quote in it would split the users'
// team lists.
inline constexpr char kLTeamBadChars[] =
    "A team name may only hold letters, digits, hyphens, full stops and underscores.";
// Under the name field, so that a key the filter swallows (a space in a
// team name) is not a mystery.
inline constexpr char kLTeamNameHint[] =
    "A team name may hold letters, digits, hyphens (-), full stops (.) and underscores (_); no spaces.";
inline constexpr char kLLeaveTypeEmpty[] = "Please enter the leave type name.";
inline constexpr char kLLeaveTypeExists[] = "This leave type already exists. Please enter another name for it.";
inline constexpr char kLLeaveTypeBadChars[] =
    "A leave type name may only hold letters, digits, spaces, hyphens, full stops and underscores.";
inline constexpr char kLHolidayBadDate[] = "Please enter a valid date. Dates must be in the format YYYY-MM-DD.";
inline constexpr char kLHolidayEndBeforeStart[] = "Date end cannot be before date start.";
inline constexpr char kLHolidayExists[] = "This holiday already exists. Please enter another one.";
inline constexpr char kLHolidayCommentOneLine[] = "The comment must be written on one line.";
