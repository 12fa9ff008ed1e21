// The date calendar: which dates of the user's folder each report lists,
// the month links, and bad requests.

#include <gtest/gtest.h>

#include <string>

#include "hours_pages_fixture.h"
#include "model/core_data.h"

namespace {

class SearchListPageTest : public HoursPagesTest {
 protected:
  void SetUp() override {
    HoursPagesTest::SetUp();
    // Written out of order: listed in date order, whatever order the folder keeps.
    for (const char* day : {"2026-03-05", "2026-03-02", "2026-03-04"}) WriteActivity("staff", day, "09:00:00", 60);
    ASSERT_TRUE(LKXCoreData::LogManualEntry(Email("staff"), KavrixAt("2026-02-27", "13:00:00"), 600, 0, "x"));
  }
  std::string Calendar(const std::string& query) {
    return Get("searchlist?seluser=staff%40x.example&" + query, SessionOf("mgr"));
  }
};

TEST_F(SearchListPageTest, ListsEachDateOfTheMonthOnceEarliestFirstForItsReport) {
  const struct Case {
    const char* query;
    Strings dates;
    const char* firstHref;
  } cases[] = {
      {"class=viewhours&yearmonth=2026-03",
       {"2026-03-02 Mon.", "2026-03-04 Wed.", "2026-03-05 Thu."},
       "viewhours?seluser=staff%40x.example&date=2026-03-02&enddate=2026-03-02&direct=true"},
      {"class=viewmanual&yearmonth=2026-02",
       {"2026-02-27 Fri."},
       "viewmanual?seluser=staff%40x.example&direct=true&edit=false&date=2026-02-27&enddate=2026-02-27"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    const HtmlPage page(Calendar(c.query));
    Strings dates;
    for (const HtmlLink& link : page.Links()) {
      if (link.text.starts_with("20")) dates.push_back(link.text);
    }
    EXPECT_EQ(dates, c.dates);
    EXPECT_EQ(page.Href(c.dates[0]), c.firstHref);
  }
}

TEST_F(SearchListPageTest, MonthLinksStopAtTheCurrentMonthAndBadRequestsGetAMessage) {
  const HtmlPage now(Calendar("class=viewhours"));
  EXPECT_EQ(now.Href("<<"), "searchlist?seluser=staff%40x.example&class=viewhours&yearmonth=2026-02");
  EXPECT_EQ(now.Href(">>"), "<none>");
  EXPECT_EQ(HtmlPage(Calendar("class=viewhours&yearmonth=2026-01")).Href(">>"),
            "searchlist?seluser=staff%40x.example&class=viewhours&yearmonth=2026-02");
  EXPECT_TRUE(Contains(Calendar("class=%3Cscript%3E"),
                       "Please choose a report: viewactivity, viewscreens, viewhours, viewmanual or viewappusage."));
}

}  // namespace
