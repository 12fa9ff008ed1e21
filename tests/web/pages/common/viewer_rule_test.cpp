// The rule every page applies to the user it shows or changes: the user,
// the user's manager, the accountant and the administrator may; another
// manager and another plain user may not, whether they open the page, fetch
// the file or forge the form's post. One table of every such page.

#include <gtest/gtest.h>

#include <string>

#include "hours_pages_fixture.h"
#include "model/core_data.h"
#include "model/image_test_helpers.h"
#include "support/test_dates.h"
#include "web/pages/hours/manual_hours_page.h"
#include "web/pages/leave/leave_pages_common.h"
#include "web/pages/users/user_detail_page.h"

namespace {

constexpr char kNotFound[] = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nX-Content-Type-Options: nosniff\r\n\r\n";
constexpr char kTwoRows[] = "08:00:00,3600,0,\"first\"\r\n23:00:00,3600,1,\"late\"\r\n";
const std::string kStaff = "seluser=staff%40x.example";
const std::string kDay = "&date=2026-03-02";

class ViewerRuleTest : public OfficeTest {
 protected:
  void SetUp() override {
    OfficeTest::SetUp();
    ASSERT_TRUE(
        LKXCoreData::LogActivity(Email("staff"), KavrixAt("2026-03-02", "10:00:00"), 60, 0, 3, 0, "Word", "Doc"));
    const std::string jpeg = MakeJpeg(64, 48);
    ASSERT_TRUE(
        LKXCoreData::LogScreenShot(Email("staff"), KavrixAt("2026-03-02", "10:00:00"), true, jpeg.data(), jpeg.size()));
  }
};

TEST_F(ViewerRuleTest, EveryPageOfAUsersDataAppliesTheRule) {
  const std::string manual = ManualLog("staff", "2026-03-02");
  const std::string leave = LeaveLog("staff", "2026");
  const std::string monitor = " can view this user's ";
  const std::string hours = "Only the manager of user staff@x.example can view the work hours.";
  const std::string breaks = "Only the manager of this user can view this user's breaks.";
  const struct {
    std::string request;  // a path, or "POST path body"
    std::string shown;    // what an allowed viewer gets
    std::string refused;  // what the others get instead
    std::string file;     // the file a post changes for an allowed viewer only
  } pages[] = {
      {"timesheet?" + kStaff + kDay, "<title>active 10:00:00-10:01:00</title>", breaks},
      {"timesheetpost?userselect=staff%40x.example&dateinput=2026-03-02", "<title>active 10:00", breaks},
      {"viewhours?" + kStaff + "&startdate=2026-03-02&enddate=2026-03-02", "Total 1 days", hours},
      {"viewhourspost?" + kStaff + "&startdate=2026-03-02&submit=++Search++", "Total 1 days", hours},
      {"viewhours.csv?" + kStaff + "&startdate=2026-03-02", "staff@x.example,2026-03-02,", "HTTP/1.1 403 Forbidden"},
      {"searchlist?" + kStaff + "&class=viewhours&yearmonth=2026-03", "2026-03-02&nbsp;Mon.", "not authorized"},
      {"viewactivity?" + kStaff + kDay, "Doc", monitor + "activity log."},
      {"viewactivitypost?userselect=staff%40x.example&dateinput=2026-03-02", "Doc", monitor + "activity log."},
      {"viewscreens?" + kStaff + kDay, "getimg.jpg?", monitor + "screenshots."},
      {"fullsizeimg?" + kStaff + kDay + "&time=10:00:00", "fullsizeimg.jpg?", monitor + "screenshots."},
      {"getimg.jpg?" + kStaff + kDay + "&time=10:00:00", "Content-Type: image/jpeg", kNotFound},
      {"fullsizeimg.jpg?" + kStaff + kDay + "&time=10:00:00", "Content-Type: image/jpeg", kNotFound},
      {"viewappusage?" + kStaff + "&startdate=2026-03-02&enddate=2026-03-02", ">Word</a>",
       monitor + "application usage."},
      {"viewappusage?seluser=staff%40x.example,staff2%40x.example&startdate=2026-03-02&enddate=2026-03-02",
       "<big>Word</big>", "staff@x.example: Only the manager"},
      {"docanalyse?" + kStaff + kDay + "&enddate=2026-03-02&appname=Word&direct=true", "Doc",
       monitor + "application usage."},
      {"viewmanual?" + kStaff + "&startdate=2026-03-02&enddate=2026-03-02", "first", kKXManualManagerOnly},
      {"POST viewmanualpost userselect=staff%40x.example&count=1&check0=checked&inputdate0=2026-03-02"
       "&inputtimestart0=08:00:00&inputtimeend0=09:00:00&submit=Delete+Selected+Items",
       "", kKXManualManagerOnly, manual},
      {"enterhours?edit=true&" + kStaff + "&onok=viewmanual", "Enter Manual Time Sheet Entry", kKXManualManagerOnly},
      {"POST enterhours 101=2026-03-08&102=08%3A00&103=09%3A30&104=x&105=0%24Working&submit=++OK++&onok=viewmanual&" +
           kStaff,
       "Location: viewmanual", kKXManualManagerOnly, ManualLog("staff", "2026-03-08")},
      {"userdetail?" + kStaff, "", kKXDetailNotAllowed},
      {"leaveform?edit=true&" + kStaff + "&year=2026&onok=leavereport", "Leave Form", kLNoAuthorityText},
      {"POST leaveform submit=++OK++&" + kStaff + "&103=0%24holiday&104=2026-04-06&105=2026-04-08&106=trip",
       "Location: mainpage", kLNoAuthorityText, leave},
  };
  const struct {
    const char* who;
    bool allowed;
  } viewers[] = {{"staff", true}, {"mgr", true}, {"other", false}, {"hr", true}, {"boss", true}, {"staff2", false}};
  for (const auto& viewer : viewers) {
    for (const auto& page : pages) {
      SCOPED_TRACE(std::string(viewer.who) + " " + page.request.substr(0, 60));
      ASSERT_TRUE(KavrixWriteFile(manual, kTwoRows));
      WriteLog("staff", "2026", "");
      unlink(ManualLog("staff", "2026-03-08").c_str());
      const std::string before = page.file.empty() ? "" : KavrixReadFile(page.file);
      std::string answer;
      if (page.request.rfind("POST ", 0) == 0) {
        const std::size_t space = page.request.find(' ', 5);
        answer = Post(page.request.substr(5, space - 5), page.request.substr(space + 1), SessionOf(viewer.who));
      } else {
        answer = Get(page.request, SessionOf(viewer.who));
      }
      if (!page.shown.empty()) {
        EXPECT_EQ(Contains(answer, page.shown), viewer.allowed) << answer.substr(0, 600);
      }
      EXPECT_EQ(Contains(answer, page.refused), !viewer.allowed);
      if (!page.file.empty()) {
        EXPECT_EQ(KavrixReadFile(page.file) != before, viewer.allowed);
      }
    }
  }
}

}  // namespace
