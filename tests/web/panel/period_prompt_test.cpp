// The date/time period prompt: each refusal with its message on its control,
// the one-year limit, and what an accepted period stores.

#include <gtest/gtest.h>

#include <string>

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
    StartServer(kTable);
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

// Each refusal puts its message on its control; an accepted period is stored.
// Exactly a year passes, a day more does not; in a zone whose summer time
// ends on other days each year, calendar days count.
TEST_F(PeriodPromptTest, RefusalsAndAcceptedPeriods) {
  KavrixScopedTimeZone zone("GMT0BST,M3.5.0/1,M10.5.0");
  const std::string ok = "HTTP/1.0 200 OK\r\nX-Content-Type-Options: nosniff\r\n\r\nok ";
  const struct {
    const char* query;
    const char* fields;
    int control;  // 0: accepted
    std::string outcome;
  } cases[] = {
      {"range", "101=2025-10-26&102=2026-10-26", 0, "2025-10-26|2026-10-26|-|-"},
      {"range", "101=2025-10-26&102=2026-10-27", 102, kLPeriodTooLong},
      {"range", "101=&102=2026-01-01", 101, kLPeriodDateMessage},
      {"range", "101=2026-02-01&102=2026-01-31", 102, kLPeriodEndBeforeStart},
      {"range", "101=2026-02-01&102=x", 102, kLPeriodDateMessage},
      {"times", "101=2026-02-03&103=25:00:00&104=10:00:00", 103, kLPeriodTimeMessage},
      {"times", "101=2026-02-03&103=09:00:00&104=08:59:59", 104, kLPeriodTimeEndBeforeStart},
      {"times", "101=2026-02-03&103=9:00:00&104=10:00:00", 0, "2026-02-03|-|9:00:00|10:00:00"},
  };
  for (const auto& c : cases) {
    const std::string answer = Post(std::string("period?") + c.query, std::string(c.fields) + "&submit=++OK++");
    if (c.control == 0) {
      EXPECT_EQ(answer, ok + c.outcome) << c.fields;
    } else {
      EXPECT_EQ(MessageOn(answer, c.control), c.outcome) << c.fields;
    }
  }
  // The typed values come back.
  EXPECT_NE(Post("period?range", "101=2026-02-01&102=x&submit=++OK++").find("<input name=102 id=102 type=text value=\"x\""), std::string::npos);
}

TEST_F(PeriodPromptTest, OtherButtonGoesBack) {
  EXPECT_EQ(Post("period?range", "submit=Cancel"), "HTTP/1.0 302 OK\r\nLocation: timesheet\r\n"
                                            "X-Content-Type-Options: nosniff\r\n\r\n");
}

}  // namespace
