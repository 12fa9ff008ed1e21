#pragma once
// LKXMessagePage: a notice with one button. Handlers show it with Run (the
// button leads on to "onok") or with RunInForm inside their own logic.

#include <string>
#include <string_view>

#include "web/panel/web_dialog.h"

class LKXMessagePage : public LWebDialog {
 public:
  LKXMessagePage(LWebletForm& form, std::string_view okLabel, std::string_view message);

  bool Authenticate() override { return true; }
  void Generate() override { AddStatic(message_); }
  bool CmOk() override { return true; }

 private:
  std::string message_;
};
