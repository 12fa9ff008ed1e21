#pragma once
// "userlist" and "userlistpost": the staff list. In management mode
// (category "all" or none) administrators and accountants see every user
// with the links to each report and, for administrators, to edit and delete;
// in a report mode (the report's name as category) every user sees the
// users they may report on, each name linking to that report.

#include <string>
#include <string_view>

#include "web/panel/kx_web_page.h"

class LKXUser;

// Needs a valid session; copies the form field "category" into the session
// when present, then shows the list (or the bare refusal text).
void WLUserListPage(LWebletForm& form);

class LKXUserListPage : public LKXWebPage {
 public:
  // `viewer` is the current user, already checked by the handler.
  LKXUserListPage(LWebletForm& form, LKXUser& viewer, std::string_view category);
  void Generate() override;

 private:
  LKXUser& viewer_;
  std::string category_;
};

// Whether `category` is a mode of the list, and which.
bool KXUserListIsManagementMode(std::string_view category);
bool KXUserListIsReportMode(std::string_view category);

inline constexpr char kKXUserListNoCurrentUser[] = "Can not find current user!";
inline constexpr char kKXUserListNotAuthorized[] = "You are not authorized to view this page!";

// The buttons under the list, which "userlistpost" tells apart by label.
inline constexpr char kKXListViewHours[] = "View Hours";
inline constexpr char kKXListCompare[] = "View User Comparison";
inline constexpr char kKXListResend[] = "Resend Startup Instructions to User";
inline constexpr char kKXListChangeEmail[] = "Change Email Address";
