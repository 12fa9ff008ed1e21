// The manual entry dialog: its checks in order, at their boundaries, the row
// it writes into the user's own log, and an entry a manager makes for his
// staff (who may do so is the viewer rule's table).

#include "web/pages/hours/enter_hours_page.h"

#include <gtest/gtest.h>

#include "hours_pages_fixture.h"
#include "support/log_reader.h"
#include "web/pages/hours/manual_hours_page.h"
#include "web/text/uri_codec.h"

namespace {

class EnterHoursPageTest : public OfficeTest {
 protected:
  std::string Enter(const std::string& who, const char* date, const char* start, const char* end,
                    const std::string& extra = "") {
    return PostAs(who, "enterhours",
                  std::string("101=") + date + "&102=" + LURIEncode(start) + "&103=" + LURIEncode(end) +
                      "&104=why+%22so%22&105=0%24Working&submit=++OK++&onok=viewmanual&oncancel=viewmanual" + extra);
  }
};

TEST_F(EnterHoursPageTest, ChecksInOrderAtTheirLimits) {
  const struct {
    const char *date, *start, *end, *message, *control;
  } cases[] = {
      {"2026-02-30", "25:61", "08:00", kKXEnterHoursBadDate, "101"},
      {"2026-03-09", "25:61", "08:00", kKXEnterHoursBadTime, "102"},
      {"2026-03-09", "09:00", "09:00:00", kKXEnterHoursStartAfterEnd, "102"},
      {"2026-03-09", "08:00:00", "20:00:01", kKXEnterHoursOverTwelve, "103"},
      {"2025-08-22", "11:59:59", "12:00:00", kKXEnterHoursTooOld, "101"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.date) + " " + c.start + " " + c.end);
    const std::string page = Enter("staff", c.date, c.start, c.end);
    // The message, and right below it the marked row holding the control.
    const std::size_t at = page.find(ErrorRow(c.message) + "<tr bgcolor=#ffe0e0>");
    ASSERT_NE(at, std::string::npos);
    EXPECT_LT(page.find(std::string("name=") + c.control + " ", at), at + 400);
  }
  EXPECT_EQ(KavrixFolderEntries(SharedFolder() + "/Archive/staff@xexample"), Strings{});
}

TEST_F(EnterHoursPageTest, AcceptedEntriesAreWrittenToTheUsersOwnLog) {
  const struct {
    const char *who, *date, *start, *end, *extra, *row;
  } cases[] = {
      {"staff", "2026-03-09", "08:00", "20:00:00", "", "08:00:00,43200,0,\"why \"\"so\"\"\"\r\n"},
      {"mgr", "2026-03-07", "08:00", "09:30", "&seluser=staff%40x.example", "08:00:00,5400,0,\"why \"\"so\"\"\"\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Enter(c.who, c.date, c.start, c.end, c.extra), Redirect("viewmanual")) << c.date;
    EXPECT_EQ(KavrixReadFile(ManualLog("staff", c.date)), c.row) << c.date;
  }
  EXPECT_TRUE(Contains(KavrixReadLogText(),
                       "Manual entry of 5400 seconds at 2026-03-07 08:00:00 for "
                       "staff@x.example (entered by mgr@x.example)"));
}

}  // namespace
