// The manual hours list and its edits, over real loopback HTTP, against
// fixture logs: what the list shows and the exact bytes each edit leaves
// (who may see and change them is the viewer rule's table; the log edit
// itself, its lock included, is the model's; the edit mode's round trip in
// a browser is the browser test's).

#include "web/pages/hours/manual_hours_page.h"

#include <gtest/gtest.h>

#include "hours_pages_fixture.h"
#include "model/users.h"
#include "web/pages/hours/manual_page_support.h"

namespace {

constexpr char kTwoRows[] = "08:00:00,3600,0,\"first <b>\"\r\n23:00:00,3600,1,\"late\"\r\n";
constexpr char kRange[] = "&startdate=2026-03-02&enddate=2026-03-02";

// The form as the edit mode writes it for kTwoRows, with `extra` fields.
std::string Form(const std::string& submit, const std::string& extra, const std::string& count = "2") {
  return "userselect=staff%40x.example&count=" + count +
         "&inputdate0=2026-03-02&inputtimestart0=08:00:00"
         "&inputtimeend0=09:00:00&selectprivate0=0&inputcomment0=first+%3Cb%3E&inputdate1=2026-03-02"
         "&inputtimestart1=23:00:00&inputtimeend1=24:00:00&selectprivate1=1&inputcomment1=late&submit=" +
         submit + extra;
}

class ManualHoursPageTest : public OfficeTest {
 protected:
  void SetUp() override {
    OfficeTest::SetUp();
    log_ = ManualLog("staff", "2026-03-02");
    ASSERT_TRUE(KavrixWriteFile(log_, kTwoRows));
  }
  // The list's rows below its heading, as cell texts.
  static std::vector<Strings> Listed(const std::string& page) {
    std::vector<Strings> rows;
    for (const Strings& row : HtmlPage(page).Rows()) {
      if (row.size() >= 6 && row[0].size() == 10 && row[0][4] == '-') rows.push_back(row);
    }
    return rows;
  }
  std::string log_;
};

TEST_F(ManualHoursPageTest, ViewModeListsTheRowsWithMidnightAs24) {
  const std::string page = GetAs("staff", std::string("viewmanual?seluser=staff%40x.example&edit=false") + kRange);
  EXPECT_EQ(Listed(page),
            (std::vector<Strings>{{"2026-03-02", "08:00:00", "09:00:00", "01:00:00", "Working", "first <b>"},
                                  {"2026-03-02", "23:00:00", "24:00:00", "01:00:00", "Private", "late"}}));
}

TEST_F(ManualHoursPageTest, EditsLeaveExactBytes) {
  std::string apply = Form("Apply+Changes", "");
  apply.replace(apply.find("selectprivate1=1&inputcomment1=late"), 35, "selectprivate1=0&inputcomment1=new+%22one%22");
  const struct {
    const char* name;
    std::string body, after;
  } cases[] = {
      {"apply changes only what differs", apply,
       "08:00:00,3600,0,\"first <b>\"\r\n23:00:00,3600,0,\"new \"\"one\"\"\"\r\n"},
      {"a forged huge count is bounded", Form("Delete+Selected+Items", "&check0=x", "2147483647"),
       "23:00:00,3600,1,\"late\"\r\n"},
      {"other buttons change nothing", Form("Discard+Changes", "&check0=1"), kTwoRows},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(KavrixWriteFile(log_, kTwoRows));
    PostAs("staff", "viewmanualpost", c.body);
    EXPECT_EQ(KavrixReadFile(log_), c.after) << c.name;
  }
}

// Broken rows are listed as they are (an edit copies them: the log edit's
// test); a user nobody has falls back to the viewer, as on every hours page.
TEST_F(ManualHoursPageTest, BrokenLogRowsAreShownAndAnUnknownUserFallsBack) {
  ASSERT_TRUE(KavrixWriteFile(log_, "garbage\r\n08:00:00,3600,0,\"first <b>\"\r\n09:00:00,-5,x\r\n"));
  EXPECT_EQ(Listed(GetAs("staff", std::string("viewmanual?seluser=staff%40x.example") + kRange)).size(), 3u);
  EXPECT_EQ(Listed(GetAs("staff", std::string("viewmanual?seluser=ghost%40x.example") + kRange)).size(), 3u);
}

}  // namespace
