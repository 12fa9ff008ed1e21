// The manual entry dialog: its seven checks in order, at their boundaries,
// the row it writes into the logged-on user's own log, and the entries a
// manager, HR or an administrator makes for a user named by "seluser".

#include "web/pages/hours/enter_hours_page.h"

#include <gtest/gtest.h>

#include "manual_pages_fixture.h"
#include "support/log_reader.h"
#include "web/pages/hours/manual_hours_page.h"
#include "web/text/uri_codec.h"

namespace {

class EnterHoursPageTest : public ManualPagesTest {
 protected:
  std::string Enter(const std::string& email, const char* date, const char* start, const char* end,
                    const std::string& extra = "") {
    return PostAs(email, "enterhours",
                  std::string("101=") + date + "&102=" + LURIEncode(start) + "&103=" + LURIEncode(end) +
                      "&104=why+%22so%22&105=0%24Working&submit=++OK++&onok=viewmanual&oncancel=viewmanual" +
                      extra);
  }
};

// The message row and, right below it, the marked control.
bool Refused(const std::string& page, const char* message, int id) {
  const std::size_t at = page.find(ErrorRow(message) + "<tr bgcolor=#ffe0e0>");
  return at != std::string::npos && page.find("name=" + std::to_string(id) + " ", at) < at + 400;
}

TEST_F(EnterHoursPageTest, ChecksInOrderAtTheirLimits) {
  const struct {
    const char *date, *start, *end, *message;
    int id;
  } cases[] = {
      {"2026-02-30", "25:61", "08:00", kKXEnterHoursBadDate, 101},
      {"10.03.2026", "08:00", "09:00", kKXEnterHoursBadDate, 101},
      {"2026-03-09", "25:61", "08:00", kKXEnterHoursBadTime, 102},
      {"2026-03-09", "08:00", "24:00:00", kKXEnterHoursBadTime, 103},
      {"2026-03-09", "09:00", "09:00:00", kKXEnterHoursStartAfterEnd, 102},
      {"2026-03-09", "08:00:00", "20:00:01", kKXEnterHoursOverTwelve, 103},
      {"2025-08-22", "11:59:59", "12:00:00", kKXEnterHoursTooOld, 101},
      {"2026-03-10", "11:00:00", "12:00:01", kKXEnterHoursFuture, 101},
  };
  for (const auto& c : cases) {
    const std::string page = Enter("staff@x.example", c.date, c.start, c.end);
    EXPECT_TRUE(Refused(page, c.message, c.id)) << c.date << " " << c.start << " " << c.end;
  }
  EXPECT_EQ(KavrixFolderEntries(SharedFolder() + "/Archive/staff@xexample"), Strings{});
}

TEST_F(EnterHoursPageTest, AcceptedEntriesAreWrittenToTheUsersOwnLog) {
  EXPECT_TRUE(Contains(Enter("staff@x.example", "2026-03-09", "08:00", "20:00:00"), "Location: viewmanual"));
  EXPECT_TRUE(Contains(Enter("staff@x.example", "2026-03-10", "11:00:00", "12:00:00", "&105=1%24Private"),
                       "Location: viewmanual"));
  EXPECT_TRUE(Contains(Enter("staff@x.example", "2025-08-22", "12:00:00", "12:00:01"), "Location: viewmanual"));
  EXPECT_EQ(KavrixReadFile(ManualLog("staff@x.example", "2026-03-09")), "08:00:00,43200,0,\"why \"\"so\"\"\"\r\n");
  EXPECT_EQ(KavrixReadFile(ManualLog("staff@x.example", "2026-03-10")), "11:00:00,3600,0,\"why \"\"so\"\"\"\r\n");
  EXPECT_EQ(KavrixReadFile(ManualLog("staff@x.example", "2025-08-22")), "12:00:00,1,0,\"why \"\"so\"\"\"\r\n");
  // Naming oneself is one's own entry.
  Enter("mgr2@x.example", "2026-03-08", "08:00", "09:00", "&seluser=MGR2%40x.example");
  EXPECT_EQ(KavrixReadFile(ManualLog("mgr2@x.example", "2026-03-08")), "08:00:00,3600,0,\"why \"\"so\"\"\"\r\n");
}

// The user's manager, HR and an administrator enter hours for him: the
// dialog names him, the row lands in his log and the system log names who
// entered it. Anyone else, and any user not in the registry, gets the
// refusal page, whether the dialog is opened or its OK forged.
TEST_F(EnterHoursPageTest, EntriesForAnotherUserNeedTheRightToChangeHisEntries) {
  const struct {
    const char *viewer, *user;
    bool allowed;
  } cases[] = {
      {"mgr@x.example", "staff@x.example", true},    {"hr@x.example", "staff@x.example", true},
      {"boss@x.example", "staff@x.example", true},   {"mgr2@x.example", "staff@x.example", false},
      {"plain@x.example", "staff@x.example", false}, {"staff@x.example", "mgr@x.example", false},
      {"boss@x.example", "gone@x.example", false},
  };
  for (const auto& c : cases) {
    const std::string user = LURIEncode(c.user);
    const std::string dialog = GetAs(c.viewer, "enterhours?edit=true&seluser=" + user + "&onok=viewmanual");
    const std::string answer = Enter(c.viewer, "2026-03-08", "08:00", "09:30", "&seluser=" + user);
    const std::string log = ManualLog(c.user, "2026-03-08");
    if (c.allowed) {
      EXPECT_TRUE(Contains(dialog, "<b>Enter Manual Time Sheet Entry for Staff &lt;S&gt;</b>")) << c.viewer;
      EXPECT_TRUE(Contains(dialog, "<input name=seluser type=hidden value=\"staff@x.example\">")) << c.viewer;
      EXPECT_TRUE(Contains(answer, "Location: viewmanual")) << c.viewer;
      EXPECT_EQ(KavrixReadFile(log), "08:00:00,5400,0,\"why \"\"so\"\"\"\r\n") << c.viewer;
      EXPECT_TRUE(Contains(KavrixReadLogText(), std::string("Manual entry of 5400 seconds at 2026-03-08 08:00:00 "
                                                            "for staff@x.example (entered by ") +
                                                    c.viewer + ")"))
          << c.viewer;
      ASSERT_EQ(unlink(log.c_str()), 0);
    } else {
      for (const std::string& page : {dialog, answer}) {
        EXPECT_TRUE(page.starts_with("HTTP/1.1 200 OK\r\n")) << c.viewer << " " << c.user;
        EXPECT_TRUE(Contains(page, "Kavrixserver Message")) << c.viewer << " " << c.user;
        EXPECT_TRUE(Contains(page, kKXManualManagerOnly)) << c.viewer << " " << c.user;
        EXPECT_FALSE(Contains(page, "Enter Manual Time Sheet Entry")) << c.viewer << " " << c.user;
      }
      EXPECT_FALSE(KavrixFileExists(log)) << c.viewer << " " << c.user;
      EXPECT_FALSE(KavrixFileExists(ManualLog(c.viewer, "2026-03-08"))) << c.viewer;
    }
  }
}

TEST_F(EnterHoursPageTest, FirstDisplayAndNoSession) {
  const std::string page = GetAs("staff@x.example", "enterhours");
  EXPECT_TRUE(Contains(page, "<b>Enter Manual Time Sheet Entry</b>"));
  EXPECT_TRUE(Contains(page, "name=101 id=101 type=text value=\"2026-03-10\""));
  EXPECT_TRUE(Contains(page, "<input name=102 type=text value=\"12:00:00\""));
  EXPECT_TRUE(Contains(page, "<input type=hidden name=onok value=\"viewmanual\">"));
  EXPECT_TRUE(Contains(Get("enterhours"), "Your session is expired."));
}

}  // namespace
