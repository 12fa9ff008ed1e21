#pragma once
// "viewhours" and "viewhourspost": the work-hours report of the users in the
// session's "selusers" over its date range; "viewhours.csv": the same rows as
// a CSV download.

#include "web/panel/kx_web_page.h"

void WLViewHoursPage(LWebletForm& form);
// Runs the report only for the search button ("  Search  ", letter case
// ignored); any other post gets an empty answer.
void WLViewHoursPost(LWebletForm& form);

class LKXViewHoursPage : public LKXWebPage {
 public:
  explicit LKXViewHoursPage(LWebletForm& form);
  void Generate() override;
};

inline constexpr char kKXHoursNotManagerFormat[] = "Only the manager of user %s can view the work hours.";
