// The leave calendar feed: the personal address made and revoked on the
// leave report and the exact feed (the browser test reads it with a real
// iCalendar parser).

#include "web/pages/leave/leave_calendar.h"

#include <gtest/gtest.h>

#include "hours_pages_fixture.h"

namespace {

constexpr char kForbidden[] = "HTTP/1.1 403 Forbidden\r\n";

using LeaveCalendarTest = OfficeTest;

TEST_F(LeaveCalendarTest, TextIsEscapedAndLinesFoldWithoutSplittingCharacters) {
  EXPECT_EQ(LICalendarText("a,b;c\\d\r\ne\tf"), "a\\,b\\;c\\\\d\\nef");
  const std::string line = "SUMMARY:" + std::string(66, 'x') + "\xc3\xa9\xc3\xa9";  // 74 + 4 octets
  EXPECT_EQ(LICalendarFold(line), "SUMMARY:" + std::string(66, 'x') + "\r\n \xc3\xa9\xc3\xa9\r\n");
  EXPECT_EQ(LICalendarFold("A:b"), "A:b\r\n");
}

TEST_F(LeaveCalendarTest, PersonalAddressServesApprovedLeaveUntilRevoked) {
  WriteLog("staff", "2026",
           "2026-03-02,2026-03-04,holiday,\"a\",1,\"\"\r\n2026-03-16,2026-03-20,sick,\"b\",0,\"\"\r\n");
  WriteLog("staff2", "2026", "2026-04-01,2026-04-01,holiday,\"\",1,\"\"\r\n");  // not his to see
  EXPECT_TRUE(Contains(Get("leavecalendar.ics?token=", ""), kForbidden));
  Post("leavereportpost", "submit=Create+Calendar+Address", Session("mgr"));
  const std::string token = Text("mgr", "LeaveCalendarToken");
  ASSERT_FALSE(token.empty());  // its form and its link are the browser test's

  const std::string answer = Get("leavecalendar.ics?token=" + token);
  // The event's id names the user's folder "staff@xexample" in hex.
  EXPECT_EQ(Get("leavecalendar.ics?token=" + token),
            "HTTP/1.1 200 OK\r\nConnection: close\r\nCache-Control: no-cache\r\n"
            "Content-Type: text/calendar; charset=utf-8\r\nX-Content-Type-Options: nosniff\r\n\r\n"
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//KavrixServer//Leave Calendar//EN\r\n"
            "CALSCALE:GREGORIAN\r\nMETHOD:PUBLISH\r\nX-WR-CALNAME:Leave\r\n"
            "BEGIN:VEVENT\r\nUID:leave-737461666640786578616d706c65-20260302-20260305@kavrixserver\r\n"
            "DTSTAMP:20260310T120000Z\r\nDTSTART;VALUE=DATE:20260302\r\nDTEND;VALUE=DATE:20260305\r\n"
            "SUMMARY:Staff (holiday)\r\nTRANSP:TRANSPARENT\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");

  Post("leavereportpost", "submit=Revoke+Calendar+Address", Session("mgr"));
  EXPECT_EQ(Text("mgr", "LeaveCalendarToken"), "");
  EXPECT_TRUE(Contains(Get("leavecalendar.ics?token=" + token), kForbidden));
}

}  // namespace
