#pragma once
// "viewappusage" and "viewappusagepost": the application usage of one user
// over a date range, or the side-by-side comparison of two to five users.

#include <string>
#include <vector>

#include "foundation/date_time.h"
#include "model/user.h"
#include "web/panel/kx_web_page.h"

void WLViewAppUsage(LWebletForm& form);
// Runs the report only for the search button ("  Search  ", letter case
// ignored); any other post gets an empty answer.
void WLViewAppUsagePost(LWebletForm& form);

class LKXViewAppUsagePage : public LKXWebPage {
 public:
  explicit LKXViewAppUsagePage(LWebletForm& form);
  void Generate() override;

 private:
  void DoSearchSingle(const std::string& email, LDateTime start, LDateTime end);
  void UserComparisonOpen(LKXUser& viewer, const std::vector<std::string>& emails, LDateTime start, LDateTime end);
};

inline constexpr int kKXMaxComparedUsers = 5;
inline constexpr std::size_t kKXMaxComparisonRows = 21;
// One second more than a leap year: the longest range the page searches.
inline constexpr std::int32_t kKXMaxUsageRangeSeconds = 31622401;
inline constexpr char kKXTooManyUsers[] =
    "<div><font color=#a00000>You can not select more than 5 users!</font></div>";
inline constexpr char kKXSelectedUserNotFound2[] = "Error: Selected user is not found!";
