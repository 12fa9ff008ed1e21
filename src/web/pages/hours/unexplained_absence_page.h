#pragma once
// The unexplained-absence report ("unexplainedabsence"): the working days
// on which the viewer's staff neither worked nor took leave.

#include <string_view>

#include "foundation/date_time.h"
#include "web/panel/kx_web_page.h"

class LKXUnexplainedabsencePage : public LKXWebPage {
 public:
  explicit LKXUnexplainedabsencePage(LWebletForm& form);
  void Generate() override;
};

void WLUnexplainedAbsence(LWebletForm& form);

// The unexplained absent days from `start` to `end` (00:00:00 each) of the
// staff who name `managerEmail` as their manager, as the report lists them.
int KXCountUnexplainedAbsences(std::string_view managerEmail, LDateTime start, LDateTime end);
