// The date/time period prompt: first display, each refusal with its message
// on its control, the one-year limit, and what an accepted period stores.

#include <gtest/gtest.h>

#include <string>

#include "foundation/date_time.h"
#include "support/time_zone.h"
#include "support/web_server_fixture.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/period_prompt.h"

namespace {

void PeriodPage(LWebletForm& form) {
  const bool range = form.Params().TestExists("range");
  const bool times = form.Params().TestExists("times");
  if (!LWebPromptDateTimePeriod(form, "timesheet", "Choose", range, times)) return;
  const LWebletSessionData& session = form.Session();
  wfformat(form, "HTTP/1.0 200 OK\r\n\r\nok %s|%s|%s|%s", session.GetParm("date", "-"),
           session.GetParm("enddate", "-"), session.GetParm("starttime", "-"),
           session.GetParm("endtime", "-"));
}

const LWebScriptEntry kTable[] = {{"period", PeriodPage, LWebAccess::kAnyone}};

class PeriodPromptTest : public WebServerTest {
 protected:
  void SetUp() override {
    WebServerTest::SetUp();
    UsePanelFrame();
    StartServer(kTable);
  }
  std::string Post(const std::string& query, const std::string& body) {
    return Exchange("POST /period?" + query + " HTTP/1.0\r\nContent-Length: " +
                    std::to_string(body.size()) + "\r\n\r\n" + body);
  }
  std::string Range(const std::string& start, const std::string& end) {
    return Post("range", "101=" + start + "&102=" + end + "&submit=++OK++");
  }
  // The message on the pink row of control `id`; empty when none.
  static std::string MessageOn(const std::string& page, int id) {
    const std::string input = "<input name=" + std::to_string(id) + " ";
    const std::size_t at = page.find(input);
    const std::string row = "</font></td></tr><tr bgcolor=#ffe0e0>";
    const std::size_t rowAt = page.rfind(row, at);
    if (at == std::string::npos || rowAt == std::string::npos) return "";
    if (page.find("<tr", rowAt + row.size()) < at) return "";  // another row between
    const std::string font = "<font color=#a00000>";
    const std::size_t from = page.rfind(font, rowAt) + font.size();
    return page.substr(from, rowAt - from);
  }
};

TEST_F(PeriodPromptTest, FirstDisplayOffersTodayAndTheWholeDay) {
  LDateTime now;
  ASSERT_TRUE(now.SetDateTime(2026, 2, 3, 10, 0, 0));
  LDateTime::SetFakeNow(now.value);
  const std::string page = Exchange("GET /period?range&times HTTP/1.0\r\n\r\n");
  EXPECT_NE(page.find("<b>Choose</b>"), std::string::npos);
  EXPECT_NE(page.find("<a href=\"help/timeperiod.html\" class=toptext target=_blank>Help</a>"),
            std::string::npos);
  EXPECT_NE(page.find("<tr><td colspan=6>Please select time range.</td></tr>"),
            std::string::npos);
  EXPECT_NE(page.find("Start Date:</td><td><input name=101 id=101 type=text "
                      "value=\"2026-02-03\""),
            std::string::npos);
  EXPECT_NE(page.find("End Date:</td><td><input name=102 id=102 type=text value=\"2026-02-03\""),
            std::string::npos);
  EXPECT_NE(page.find("<tr><td colspan=5>Date Range:</td><td><select name=105 id=daterange "
                      "onchange=\"changedates()\">"),
            std::string::npos);
  EXPECT_NE(page.find("kxSetDate('101', s);\r\n  kxSetDate('102', e);"), std::string::npos);
  EXPECT_NE(page.find("<input name=103 type=text value=\"00:00:00\""), std::string::npos);
  EXPECT_NE(page.find("<input name=104 type=text value=\"23:59:59\""), std::string::npos);
  EXPECT_NE(page.find("name=oncancel value=\"timesheet\""), std::string::npos);
  // A single date is labelled as such and has no range parts.
  const std::string single = Exchange("GET /period HTTP/1.0\r\n\r\n");
  EXPECT_NE(single.find("Date:</td><td><input name=101 id=101"), std::string::npos);
  EXPECT_EQ(single.find("name=102"), std::string::npos);
  EXPECT_EQ(single.find("daterange"), std::string::npos);
}

TEST_F(PeriodPromptTest, ExactlyAYearPassesOneDayMoreIsRefused) {
  EXPECT_EQ(Range("2025-01-01", "2026-01-01"),
            "HTTP/1.0 200 OK\r\nX-Content-Type-Options: nosniff\r\n\r\nok 2025-01-01|2026-01-01|-|-");
  // 2024 is a leap year: 366 days.
  const std::string refused = Range("2024-01-01", "2025-01-01");
  EXPECT_EQ(MessageOn(refused, 102), kLPeriodTooLong);
  EXPECT_EQ(Range("2024-01-01", "2024-12-31"),
            "HTTP/1.0 200 OK\r\nX-Content-Type-Options: nosniff\r\n\r\nok 2024-01-01|2024-12-31|-|-");
}

// Summer time ended on 26 October 2025 but on 25 October 2026, so the
// midnights a calendar year apart lie 365 days and one hour apart.
TEST_F(PeriodPromptTest, YearLimitCountsCalendarDaysAcrossClockChanges) {
  KavrixScopedTimeZone zone("GMT0BST,M3.5.0/1,M10.5.0");
  EXPECT_EQ(Range("2025-10-26", "2026-10-26"),
            "HTTP/1.0 200 OK\r\nX-Content-Type-Options: nosniff\r\n\r\nok 2025-10-26|2026-10-26|-|-");
  EXPECT_EQ(MessageOn(Range("2025-10-26", "2026-10-27"), 102), kLPeriodTooLong);
}

TEST_F(PeriodPromptTest, DateRefusals) {
  EXPECT_EQ(MessageOn(Range("", "2026-01-01"), 101), kLPeriodDateMessage);
  EXPECT_EQ(MessageOn(Range("2026-13-01", "2026-01-01"), 101), kLPeriodDateMessage);
  EXPECT_EQ(MessageOn(Range("2026-02-01", "2026-01-31"), 102), kLPeriodEndBeforeStart);
  EXPECT_EQ(MessageOn(Range("2026-02-01", ""), 102), kLPeriodDateMessage);
  EXPECT_EQ(MessageOn(Range("2026-02-01", "x"), 102), kLPeriodDateMessage);
  // The typed values come back.
  EXPECT_NE(Range("2026-02-01", "x").find("<input name=102 id=102 type=text value=\"x\""),
            std::string::npos);
}

TEST_F(PeriodPromptTest, TimeRefusalsAndAcceptedTimes) {
  const auto times = [this](const std::string& from, const std::string& to) {
    return Post("times", "101=2026-02-03&103=" + from + "&104=" + to + "&submit=++OK++");
  };
  EXPECT_EQ(MessageOn(times("", "10:00:00"), 103), kLPeriodTimeMessage);
  EXPECT_EQ(MessageOn(times("25:00:00", "10:00:00"), 103), kLPeriodTimeMessage);
  EXPECT_EQ(MessageOn(times("09:00:00", ""), 103), kLPeriodTimeMessage);
  EXPECT_EQ(MessageOn(times("09:00:00", "10:61:00"), 103), kLPeriodTimeMessage);
  EXPECT_EQ(MessageOn(times("09:00:00", "08:59:59"), 104), kLPeriodTimeEndBeforeStart);
  EXPECT_EQ(times("9:00:00", "10:00:00"), "HTTP/1.0 200 OK\r\n"
                                          "X-Content-Type-Options: nosniff\r\n\r\nok 2026-02-03|-|9:00:00|10:00:00");
}

TEST_F(PeriodPromptTest, OtherButtonGoesBack) {
  EXPECT_EQ(Post("range", "submit=Cancel"), "HTTP/1.0 302 OK\r\nLocation: timesheet\r\n"
                                            "X-Content-Type-Options: nosniff\r\n\r\n");
  EXPECT_EQ(Post("range", "submit=Cancel&oncancel=viewhours"),
            "HTTP/1.0 302 OK\r\nLocation: viewhours\r\nX-Content-Type-Options: nosniff\r\n\r\n");
}

}  // namespace
