// The manual hours list and its edits, over real loopback HTTP, against
// fixture logs: what the list shows and the exact bytes each edit leaves
// (who may see and change them is the viewer rule's table).

#include "web/pages/hours/manual_hours_page.h"

#include <gtest/gtest.h>

#include "hours_pages_fixture.h"
#include "model/users.h"
#include "support/test_helpers.h"
#include "web/http/http_responses.h"
#include "web/pages/hours/manual_page_support.h"

namespace {

constexpr char kTwoRows[] = "08:00:00,3600,0,\"first <b>\"\r\n23:00:00,3600,1,\"late\"\r\n";
constexpr char kRange[] = "&startdate=2026-03-02&enddate=2026-03-02";

// The form as the edit mode writes it for kTwoRows, with `extra` fields.
std::string Form(const std::string& submit, const std::string& extra) {
  return "userselect=staff%40x.example&count=2&inputdate0=2026-03-02&inputtimestart0=08:00:00"
         "&inputtimeend0=09:00:00&selectprivate0=0&inputcomment0=first+%3Cb%3E&inputdate1=2026-03-02"
         "&inputtimestart1=23:00:00&inputtimeend1=24:00:00&selectprivate1=1&inputcomment1=late&submit=" +
         submit + extra;
}
const std::string kDeleteFirst = Form("Delete+Selected+Items", "&check0=checked");

// `body` with the first `from` replaced by `to`.
std::string With(std::string body, const std::string& from, const std::string& to) {
  return body.replace(body.find(from), from.size(), to);
}

class ManualHoursPageTest : public OfficeTest {
 protected:
  void SetUp() override {
    OfficeTest::SetUp();
    LKXUser staff;
    ASSERT_TRUE(KXGetUser(Email("staff"), staff));
    ASSERT_TRUE(staff.SetText(kKXUserName, "Staff <S>"));
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
  EXPECT_EQ(HtmlPage(page).Field("userselect"), "staff@x.example");
  EXPECT_FALSE(Contains(page, "first <b>"));
}

TEST_F(ManualHoursPageTest, EditModeCarriesEachRowInTheForm) {
  const std::string page = GetAs("mgr", std::string("viewmanual?seluser=staff%40x.example&edit=true") + kRange);
  const HtmlPage form(page);
  for (const auto& [name, value] : {std::pair<const char*, const char*>{"count", "2"},
                                    {"inputcomment0", "first <b>"},
                                    {"inputtimeend1", "24:00:00"},
                                    {"selectprivate0", "0"},
                                    {"selectprivate1", "1"}}) {
    EXPECT_EQ(form.Field(name), value) << name;
  }
  EXPECT_EQ(form.Field("check1"), "<absent>");
  ASSERT_NE(form.ByName("check1"), nullptr);
  EXPECT_TRUE(Contains(page, "data-href=\"enterhours?edit=true&amp;seluser=staff%40x.example&amp;date=2026-03-02"));
  // What the form sends back with the first row ticked deletes that row.
  PostAs("mgr", "viewmanualpost", SendBack(page, "check0=checked&submit=Delete+Selected+Items"));
  EXPECT_EQ(KavrixReadFile(log_), "23:00:00,3600,1,\"late\"\r\n");
}

TEST_F(ManualHoursPageTest, EditsLeaveExactBytes) {
  const struct {
    const char* name;
    std::string body;
    std::string after;
  } cases[] = {
      {"apply changes only what differs",
       "userselect=staff%40x.example&count=2&inputdate0=2026-03-02&inputtimestart0=08:00:00"
       "&inputtimeend0=09:00:00&selectprivate0=0&inputcomment0=first+%3Cb%3E&inputdate1=2026-03-02"
       "&inputtimestart1=23:00:00&inputtimeend1=24:00:00&selectprivate1=0&inputcomment1=new+%22one%22"
       "&submit=Apply+Changes",
       "08:00:00,3600,0,\"first <b>\"\r\n23:00:00,3600,0,\"new \"\"one\"\"\"\r\n"},
      {"the row ending at midnight can be deleted", Form("Delete+Selected+Items", "&check1=checked"),
       "08:00:00,3600,0,\"first <b>\"\r\n"},
      {"an end shown as 00:00:00 is taken across midnight",
       "userselect=staff%40x.example&count=1&check0=x&inputdate0=2026-03-02&inputtimestart0=23:00:00"
       "&inputtimeend0=00:00:00&submit=Delete+Selected+Items",
       "08:00:00,3600,0,\"first <b>\"\r\n"},
      {"unticked rows are not deleted", Form("Delete+Selected+Items", ""), kTwoRows},
      {"times that are no times name no row", With(kDeleteFirst, "09:00:00", "25:61:00"), kTwoRows},
      {"a date that is no date names no log",
       "userselect=staff%40x.example&count=1&check0=x&inputdate0=2026-02-30&inputtimestart0=08:00:00"
       "&inputtimeend0=09:00:00&submit=Delete+Selected+Items",
       kTwoRows},
      {"a forged huge count is bounded", With(kDeleteFirst, "count=2", "count=2147483647"),
       "23:00:00,3600,1,\"late\"\r\n"},
      {"discarding changes nothing", Form("Discard+Changes", "&check0=1"), kTwoRows},
      {"other buttons change nothing", Form("Remove", "&check0=1"), kTwoRows},
      {"an unknown user changes nothing", With(kDeleteFirst, "staff%40x.example", "%22%3E%3Cx%40x.example"), kTwoRows},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(KavrixWriteFile(log_, kTwoRows));
    PostAs("staff", "viewmanualpost", c.body);
    EXPECT_EQ(KavrixReadFile(log_), c.after) << c.name;
  }
}

TEST_F(ManualHoursPageTest, AGetNeverChangesTheLog) {
  // Short enough for the 259 bytes of a request's address.
  const std::string page = GetAs("staff@x.example",
                                 "viewmanualpost?submit=Delete+Selected+Items&userselect=staff%40x.example&count=1"
                                 "&check0=x&inputdate0=2026-03-02&inputtimestart0=08:00:00&inputtimeend0=09:00:00" +
                                     std::string(kRange));
  // Its button is no button on a GET: nothing to do, as for a bare GET.
  EXPECT_EQ(page, kLHttpNoContent);
  EXPECT_EQ(KavrixReadFile(log_), kTwoRows);
}

TEST_F(ManualHoursPageTest, ALogLockedByAStationIsWaitedForThenLeftWhole) {
  LUniqueFd station(open(log_.c_str(), O_WRONLY | O_APPEND));
  ASSERT_EQ(flock(station.Get(), LOCK_EX), 0);
  const std::string page = PostAs("staff", "viewmanualpost", kDeleteFirst);
  EXPECT_TRUE(Contains(page, "The manual hours of 2026-03-02 could not be changed: the log is in use."));
  EXPECT_EQ(KavrixReadFile(log_), kTwoRows);
}

TEST_F(ManualHoursPageTest, BadRequestsGetAClearAnswer) {
  const struct {
    const char* query;
    const char* shows;
    std::size_t cells;
  } cases[] = {
      {"startdate=2026-02-30&enddate=2026-03-02", kKXBadDates, 0},
      {"startdate=yesterday", kKXBadDates, 0},
      {"startdate=2026-03-03&enddate=2026-03-02", kKXStartAfterEnd, 0},
      {"startdate=2025-03-01&enddate=2026-03-02", "<table align=center", 2},  // 366 days
      {"startdate=2025-03-01&enddate=2026-03-03", kKXRangeOverAYear, 0},      // 367 days
      {"seluser=%22%3E%3Cscript%3Ex&startdate=2026-03-02", "value=\"staff@x.example\" selected", 2},
  };
  for (const auto& c : cases) {
    const std::string page = GetAs("staff", std::string("viewmanual?") + c.query);
    EXPECT_TRUE(Contains(page, c.shows)) << c.query;
    EXPECT_FALSE(Contains(page, "\"><script>x")) << c.query;
    EXPECT_EQ(Listed(page).size(), c.cells) << c.query;
  }
}

TEST_F(ManualHoursPageTest, BrokenLogRowsAreShownAndKept) {
  const std::string broken = "garbage\r\n08:00:00,3600,0,\"first <b>\"\r\n09:00:00,-5,x\r\n";
  ASSERT_TRUE(KavrixWriteFile(log_, broken));
  const std::string page = GetAs("staff", std::string("viewmanual?seluser=staff%40x.example") + kRange);
  EXPECT_EQ(Listed(page).size(), 3u);
  PostAs("staff", "viewmanualpost", kDeleteFirst);
  EXPECT_EQ(KavrixReadFile(log_), "garbage\r\n09:00:00,-5,x\r\n");
}

}  // namespace
