#pragma once
// The pending leave requests of this year and the next of the users a
// manager manages, a leave across the year end as one row, with the actions
// that approve, disapprove, edit and delete them.

#include <string>
#include <vector>

#include "web/panel/kx_web_page.h"

class LWebletForm;

class LKXPendingLeaveRequestsPage : public LKXWebPage {
 public:
  // `notices`: what a post just refused, shown above the table.
  LKXPendingLeaveRequestsPage(LWebletForm& form, std::vector<std::string> notices = {});
  void Generate() override;

 private:
  std::vector<std::string> notices_;
};

void WLPendingLeaveRequests(LWebletForm& form);
void WLPendingLeaveRequestsPost(LWebletForm& form);
