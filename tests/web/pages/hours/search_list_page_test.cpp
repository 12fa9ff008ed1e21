// The date calendar: which dates of the user's folder a report lists.

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

TEST_F(SearchListPageTest, ListsEachDateOfTheMonthOnceEarliestFirst) {
  const HtmlPage page(Calendar("class=viewhours&yearmonth=2026-03"));
  Strings dates;
  for (const HtmlLink& link : page.Links()) {
    if (link.text.starts_with("20")) dates.push_back(link.text);
  }
  EXPECT_EQ(dates, (Strings{"2026-03-02 Mon.", "2026-03-04 Wed.", "2026-03-05 Thu."}));
  EXPECT_EQ(page.Href(dates.at(0)),
            "viewhours?seluser=staff%40x.example&date=2026-03-02&enddate=2026-03-02&direct=true");
}

}  // namespace
