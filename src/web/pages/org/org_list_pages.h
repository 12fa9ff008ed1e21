#pragma once
// "teamlist", "leavetypelist", "holidaylist" and their posts: the three
// lists of the registry with a check box per row, and the delete button.
// Administrators only, the pages and their posts alike (their rows' rule: a
// form can be posted from anywhere).

#include <string>
#include <vector>

#include "web/panel/kx_web_page.h"

void WLTeamListPage(LWebletForm& form);
// Deletes the ticked teams ("DefaultTeam" never); their members move to
// "DefaultTeam".
void WLTeamListPost(LWebletForm& form);
void WLLeaveTypeListPage(LWebletForm& form);
void WLLeaveTypeListPost(LWebletForm& form);
void WLHolidayListPage(LWebletForm& form);
// Each ticked value is "<start>~<end>".
void WLHolidayListPost(LWebletForm& form);

class LHtmlList;

// What a list shows; one object per list.
struct LKXRegistryListView {
  const char* action;
  const char* helpFile;
  const char* title;
  const char* page;  // the list's own path, for the sort links
  std::vector<const char*> columns;
  const char* addLabel;  // also the title of the add dialog
  const char* addPage;
  const char* deleteLabel;
  // Adds one row per record; returns the number of rows.
  int (*addRows)(LHtmlList& list);
  // A second button for the ticked rows; nullptr for none.
  const char* extraLabel = nullptr;
};

extern const LKXRegistryListView kKXTeamListView;
extern const LKXRegistryListView kKXLeaveTypeListView;

class LKXRegistryListPage : public LKXWebPage {
 public:
  LKXRegistryListPage(LWebletForm& form, const LKXRegistryListView& view);
  void Generate() override;

 private:
  const LKXRegistryListView& view_;
};

class LKXTeamListPage : public LKXRegistryListPage {
 public:
  explicit LKXTeamListPage(LWebletForm& form);
};

class LKXLeaveTypeListPage : public LKXRegistryListPage {
 public:
  explicit LKXLeaveTypeListPage(LWebletForm& form);
};

class LKXPublicHolidayListPage : public LKXRegistryListPage {
 public:
  explicit LKXPublicHolidayListPage(LWebletForm& form);
};

inline constexpr char kLCountsAgainstAllowance[] = "Counts against allowance";
// Turns the ticked leave types' counting on where it was off, and off where on.
inline constexpr char kLSwitchCountingLabel[] = "Switch Counts against allowance";

// The select-all box in the first column's title.
inline constexpr char kLSelectAllTitle[] = "<input type=checkbox name=selectall onclick=selall(this.checked)>";
// The most rows a delete post walks: "count" is the visitor's number.
inline constexpr int kLMaxListPostRows = 100000;
