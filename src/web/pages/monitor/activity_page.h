#pragma once
// "viewactivity" and "viewactivitypost": one user's activity log of a day,
// each reported application and window caption with its duration and input
// counts.

#include <string>

#include "foundation/date_time.h"
#include "web/panel/kx_web_page.h"

void WLViewActivity(LWebletForm& form);

class LKXViewActivityPage : public LKXWebPage {
 public:
  explicit LKXViewActivityPage(LWebletForm& form);
  void Generate() override;

 private:
  void DoSearch(const std::string& email, LDateTime date, std::int32_t from, std::int32_t to);
};
