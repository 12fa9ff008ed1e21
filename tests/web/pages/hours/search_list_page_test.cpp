// The date calendar: which dates of the user's folder each report lists,
// the month links, and bad requests.

#include <gtest/gtest.h>

#include <string>

#include "hours_pages_fixture.h"
#include "model/core_data.h"
#include "web/http/http_responses.h"

namespace {

class SearchListPageTest : public HoursPagesTest {
 protected:
  void SetUp() override {
    HoursPagesTest::SetUp();
    WriteActivity("staff", "2026-03-02", "09:00:00", 60);
    WriteActivity("staff", "2026-03-05", "09:00:00", 60);
    ASSERT_TRUE(LKXCoreData::LogManualEntry(Email("staff"), KavrixAt("2026-03-05", "13:00:00"), 600, 0, "x"));
    ASSERT_TRUE(LKXCoreData::LogManualEntry(Email("staff"), KavrixAt("2026-02-27", "13:00:00"), 600, 0, "x"));
  }
  std::string Calendar(const std::string& query) {
    return Get("searchlist?seluser=staff%40x.example&" + query, SessionOf("mgr"));
  }
};

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST_F(SearchListPageTest, ListsEachDateOfTheMonthOnceForItsReport) {
  const struct {
    const char* query;
    std::vector<std::string> items;
  } cases[] = {
      {"class=viewhours&yearmonth=2026-03",
       {"<li><a href=\"viewhours?seluser=staff%40x.example&amp;date=2026-03-02&amp;enddate=2026-03-02&amp;"
        "direct=true\">2026-03-02&nbsp;Mon.</a></li>",
        "<li><a href=\"viewhours?seluser=staff%40x.example&amp;date=2026-03-05&amp;enddate=2026-03-05&amp;"
        "direct=true\">2026-03-05&nbsp;Thu.</a></li>"}},
      {"class=viewmanual&yearmonth=2026-03",
       {"<li><a href=\"viewmanual?seluser=staff%40x.example&amp;direct=true&amp;edit=false&amp;date=2026-03-05&amp;"
        "enddate=2026-03-05\">2026-03-05&nbsp;Thu.</a></li>"}},
      {"class=viewactivity&yearmonth=2026-03",
       {"<li><a href=\"viewactivity?seluser=staff%40x.example&amp;date=2026-03-02&amp;direct=true&amp;"
        "starttime=00:00:00&amp;endtime=23:59:59\">2026-03-02&nbsp;Mon.</a></li>",
        "2026-03-05&nbsp;Thu.</a></li>"}},
      {"class=viewscreens&yearmonth=2026-03", {}},
      {"class=viewmanual&yearmonth=2026-02",
       {"date=2026-02-27&amp;enddate=2026-02-27\">2026-02-27&nbsp;Fri.</a></li>"}},
  };
  for (const auto& c : cases) {
    const std::string page = Calendar(c.query);
    EXPECT_EQ(Count(page, "<li>"), c.items.size()) << c.query << "\n" << page;
    for (const std::string& item : c.items) EXPECT_TRUE(Contains(page, item)) << c.query << "\n" << item;
    EXPECT_TRUE(Contains(page, "Please select the date you want to see: <ul>")) << c.query;
  }
}

// Written out of order, listed in date order, whatever order the folder keeps.
TEST_F(SearchListPageTest, DatesAreListedEarliestFirst) {
  for (const char* day : {"04", "01", "07", "03"}) {
    WriteActivity("staff", std::string("2026-03-") + day, "09:00:00", 60);
  }
  const std::string page = Calendar("class=viewactivity&yearmonth=2026-03");
  std::size_t at = 0;
  for (const char* day : {"01", "02", "03", "04", "05", "07"}) {
    const std::size_t next = page.find(std::string(">2026-03-") + day + "&nbsp;", at);
    ASSERT_NE(next, std::string::npos) << day << "\n" << page;
    at = next;
  }
}

TEST_F(SearchListPageTest, MonthLinksStopAtTheCurrentMonth) {
  const std::string now = Calendar("class=viewhours");
  EXPECT_TRUE(Contains(now,
                       "<a href=\"searchlist?seluser=staff%40x.example&class=viewhours&yearmonth=2026-02\">"
                       "&lt;&lt;</a></td><td><b>2026-03</b></td><td></td>"));
  EXPECT_TRUE(Contains(
      now, "<input type=button value=\"  Search  \" onclick=\"location.href='viewhours?seluser=staff%40x.example'\">"));
  const std::string before = Calendar("class=viewhours&yearmonth=2026-01");
  EXPECT_TRUE(Contains(before,
                       "yearmonth=2025-12\">&lt;&lt;</a></td><td><b>2026-01</b></td><td><a "
                       "href=\"searchlist?seluser=staff%40x.example&class=viewhours&yearmonth=2026-02\">"
                       "&gt;&gt;</a>"));
}

TEST_F(SearchListPageTest, BadRequestsGetAMessage) {
  EXPECT_TRUE(Contains(Calendar("class=%3Cscript%3E"),
                       "Please choose a report: viewactivity, viewscreens, viewhours, viewmanual or viewappusage."));
  for (const char* month : {"2026-13", "2026-3", "%3Cb%3E", "2026-03-01"}) {
    EXPECT_TRUE(Contains(Calendar(std::string("class=viewhours&yearmonth=") + month),
                         "Please enter a valid month in the format YYYY-MM."))
        << month;
  }
  EXPECT_EQ(Get("searchlistpost?class=viewhours", SessionOf("mgr")), kLHttpNoContent);
}

}  // namespace
