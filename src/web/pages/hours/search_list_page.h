#pragma once
// "searchlist": the month calendar of one user's data. Lists the dates of the
// month on which the user's archive folder holds what the chosen report
// ("class") shows, each linking to that report for the day, with links to
// the previous and (up to the current month) the next month.

#include "web/panel/kx_web_page.h"

void WLSearchListPage(LWebletForm& form);
// "searchlistpost": an empty response; the calendar's form never posts data.
void WLSearchListPost(LWebletForm& form);

class LKXSearchListPage : public LKXWebPage {
 public:
  explicit LKXSearchListPage(LWebletForm& form);
  void Generate() override;
};

inline constexpr char kKXSearchListUnknownClass[] =
    "Please choose a report: viewactivity, viewscreens, viewhours, viewmanual or viewappusage.";
inline constexpr char kKXSearchListBadMonth[] = "Please enter a valid month in the format YYYY-MM.";
