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
    WriteActivity("staff", "2026-03-02", "09:00:00", 60);
    WriteActivity("staff", "2026-03-05", "09:00:00", 60);
    ASSERT_TRUE(LKXCoreData::LogManualEntry(Email("staff"), KavrixAt("2026-03-05", "13:00:00"), 600, 0, "x"));
    ASSERT_TRUE(LKXCoreData::LogManualEntry(Email("staff"), KavrixAt("2026-02-27", "13:00:00"), 600, 0, "x"));
  }
  std::string Calendar(const std::string& query) {
    return Get("searchlist?seluser=staff%40x.example&" + query, SessionOf("mgr"));
  }
};

// The calendar's dates: each link's text, then where it leads.
Strings Dates(const std::string& page) {
  Strings dates;
  for (const HtmlLink& link : HtmlPage(page).Links()) {
    if (link.text.starts_with("20")) dates.insert(dates.end(), {link.text, link.href});
  }
  return dates;
}

TEST_F(SearchListPageTest, ListsEachDateOfTheMonthOnceEarliestFirstForItsReport) {
  const struct Case {
    const char* query;
    Strings dates;
  } cases[] = {
      {"class=viewhours&yearmonth=2026-03",
       {"2026-03-02 Mon.", "viewhours?seluser=staff%40x.example&date=2026-03-02&enddate=2026-03-02&direct=true",
        "2026-03-05 Thu.", "viewhours?seluser=staff%40x.example&date=2026-03-05&enddate=2026-03-05&direct=true"}},
      {"class=viewmanual&yearmonth=2026-03",
       {"2026-03-05 Thu.",
        "viewmanual?seluser=staff%40x.example&direct=true&edit=false&date=2026-03-05&enddate=2026-03-05"}},
      {"class=viewscreens&yearmonth=2026-03", {}},
      {"class=viewmanual&yearmonth=2026-02",
       {"2026-02-27 Fri.",
        "viewmanual?seluser=staff%40x.example&direct=true&edit=false&date=2026-02-27&enddate=2026-02-27"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    const std::string page = Calendar(c.query);
    EXPECT_EQ(Dates(page), c.dates);
    EXPECT_TRUE(Contains(Visible(page), "Please select the date you want to see:"));
  }
  // Written out of order, listed in date order, whatever order the folder keeps.
  for (const char* day : {"04", "01", "07", "03"}) {
    WriteActivity("staff", std::string("2026-03-") + day, "09:00:00", 60);
  }
  Strings shown;
  const Strings links = Dates(Calendar("class=viewactivity&yearmonth=2026-03"));
  for (std::size_t i = 0; i < links.size(); i += 2) shown.push_back(links[i]);
  EXPECT_EQ(shown, (Strings{"2026-03-01 Sun.", "2026-03-02 Mon.", "2026-03-03 Tue.", "2026-03-04 Wed.",
                            "2026-03-05 Thu.", "2026-03-07 Sat."}));
  EXPECT_EQ(links[3],
            "viewactivity?seluser=staff%40x.example&date=2026-03-02&direct=true&starttime=00:00:00&endtime=23:59:59");
}

TEST_F(SearchListPageTest, MonthLinksStopAtTheCurrentMonth) {
  const HtmlPage now(Calendar("class=viewhours"));
  EXPECT_EQ(now.Href("<<"), "searchlist?seluser=staff%40x.example&class=viewhours&yearmonth=2026-02");
  EXPECT_EQ(now.Href(">>"), "<none>");
  EXPECT_TRUE(Contains(Calendar("class=viewhours"),
                       "onclick=\"location.href='viewhours?seluser=staff%40x.example'\""));
  const HtmlPage before(Calendar("class=viewhours&yearmonth=2026-01"));
  EXPECT_EQ(before.Href("<<"), "searchlist?seluser=staff%40x.example&class=viewhours&yearmonth=2025-12");
  EXPECT_EQ(before.Href(">>"), "searchlist?seluser=staff%40x.example&class=viewhours&yearmonth=2026-02");
}

TEST_F(SearchListPageTest, BadRequestsGetAMessage) {
  EXPECT_TRUE(Contains(Calendar("class=%3Cscript%3E"),
                       "Please choose a report: viewactivity, viewscreens, viewhours, viewmanual or viewappusage."));
  for (const char* month : {"2026-13", "2026-3", "%3Cb%3E", "2026-03-01"}) {
    SCOPED_TRACE(month);
    EXPECT_TRUE(Contains(Calendar(std::string("class=viewhours&yearmonth=") + month),
                         "Please enter a valid month in the format YYYY-MM."));
  }
}

}  // namespace
