#pragma once
// "docanalyse": one application's usage per document (window caption).

#include "web/panel/kx_web_page.h"

void WLDocAnalysePage(LWebletForm& form);

class LKXDocAnalysePage : public LKXWebPage {
 public:
  explicit LKXDocAnalysePage(LWebletForm& form);
  void Generate() override;
};
