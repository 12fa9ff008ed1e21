#pragma once
// The unexplained-absence report ("unexplainedabsence"): the working days
// on which the viewer's staff neither worked nor took leave.

#include "web/kx_web_page.h"

class LKXUnexplainedabsencePage : public LKXWebPage {
 public:
  explicit LKXUnexplainedabsencePage(LWebletForm& form);
  void Generate() override;
};

void WLUnexplainedAbsence(LWebletForm& form);
