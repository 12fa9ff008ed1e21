#pragma once
// The list of manually entered work hours of one user over a range of days
// ("viewmanual"), in view mode or in edit mode, and its post handler
// ("viewmanualpost"), which changes or deletes the ticked rows of the logs.

#include <string>

#include "web/panel/kx_web_page.h"

class LKXViewManualActPage : public LKXWebPage {
 public:
  explicit LKXViewManualActPage(LWebletForm& form);
  void Generate() override;
  // A line (page HTML) shown above the list, for the outcome of an edit.
  void SetNotice(std::string notice) { notice_ = std::move(notice); }

 private:
  std::string notice_;
};

void WLViewManual(LWebletForm& form);
void WLViewManualPost(LWebletForm& form);

// Page texts.
inline constexpr char kKXManualManagerOnly[] =
    "Only the manager of this user can view this user's manual hours. If you are meant to be the "
    "manager, please ask the KavrixServer administrator to list you as a manager.";
inline constexpr char kKXManualUserNotFound[] = "Selected user not found!";
