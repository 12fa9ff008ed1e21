#pragma once
// A user's leave year: every record with its status, the days per leave
// type, and for viewers with edit rights the same actions as the pending
// page. The user's own report also holds the address of his personal leave
// calendar feed (leave_calendar.h), which he can create and revoke there.

#include <string>
#include <vector>

#include "web/panel/kx_web_page.h"

class LWebletForm;
class LKXUser;

inline constexpr char kLCreateFeedLabel[] = "Create Calendar Address";
inline constexpr char kLReplaceFeedLabel[] = "Replace calendar address";
inline constexpr char kLRevokeFeedLabel[] = "Revoke Calendar Address";

class LKXLeaveReportPage : public LKXWebPage {
 public:
  LKXLeaveReportPage(LWebletForm& form, std::vector<std::string> notices = {});
  void Generate() override;

 private:
  bool ChooseUser(LKXUser& viewer, LKXUser& user, bool& mayEdit);
  void WriteTotals(LKXUser& viewer, LKXUser& user, const std::string& year, const std::vector<std::string>& types,
                   const std::vector<int>& totals);
  void WriteEditButtons(int rows, const std::string& selUser, const std::string& year);
  void WriteFeedSection(LKXUser& viewer);
  std::vector<std::string> notices_;
};

void WLLeaveReport(LWebletForm& form);
void WLLeaveReportPost(LWebletForm& form);
