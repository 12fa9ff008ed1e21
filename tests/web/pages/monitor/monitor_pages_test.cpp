// The monitoring pages on a real server: the activity log, the screenshots
// with the full-size viewer and the picture downloads, application usage,
// the administrators' log listings and the access audit.

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "foundation/log.h"
#include "foundation/paths.h"
#include "foundation/settings_sections.h"
#include "hours_pages_fixture.h"
#include "model/core_data.h"
#include "model/image_test_helpers.h"
#include "model/users.h"
#include "support/temp_root.h"
#include "web/http/http_responses.h"
#include "web/panel/access_rules.h"

namespace {

constexpr char kDay[] = "2026-03-02";
constexpr char kNotFound[] = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nX-Content-Type-Options: nosniff\r\n\r\n";
const std::string kStaff = "seluser=staff%40x.example";

std::string Td(const std::string& text) {
  return "<td valign=top style=\"border-top: #c1dad7 1px solid;\">" + text + "</td>";
}

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class MonitorPagesTest : public HoursPagesTest {
 protected:
  void Activity(const std::string& clock, int seconds, int flags, int keys, const std::string& app,
                const std::string& caption) {
    ASSERT_TRUE(LKXCoreData::LogActivity(Email("staff"), KavrixAt(kDay, clock.c_str()), seconds,
                                         static_cast<std::uint16_t>(flags), keys, 0, app, caption));
  }
  void Picture(const std::string& clock, int width, int height) {
    const std::string jpeg = MakeJpeg(width, height);
    ASSERT_TRUE(
        LKXCoreData::LogScreenShot(Email("staff"), KavrixAt(kDay, clock.c_str()), true, jpeg.data(), jpeg.size()));
  }
  std::string StaffFolder() {
    return LKXCoreData::GetArchiveRoot() + "/" + LKXCoreData::GetUserFolderName(Email("staff"));
  }
  std::string ScreenFolder() { return StaffFolder() + "/" + std::string(kDay) + "_qascreens"; }
  std::string AuditFile() { return SharedFolder() + "/Audit/2026-03-10_audit.csv"; }
};

TEST_F(MonitorPagesTest, ActivityJoinsIdleRunsOfOneApplicationOnly) {
  Activity("10:00:00", 60, 0, 0, "Explorer", "Desk");
  Activity("10:01:00", 60, 0, 0, "EXPLORER", "Other");   // joins: idle, same name
  Activity("09:59:00", 60, 0, 0, "explorer", "Before");  // joins: ends where the row starts
  Activity("11:00:00", 30, 1, 1, "<b>x</b>", "a&b");     // one key stroke: never joined
  Activity("11:00:30", 30, 0, 0, "<b>x</b>", "c");       // nothing idle to join
  Activity("12:00:00", 30, 0, 0, "late", "");            // after the end time
  const std::string page =
      Get("viewactivity?" + kStaff + "&date=2026-03-02&starttime=09:00:00&endtime=11:59:59", SessionOf("mgr"));
  const std::string rows = "</tr><tr>" + Td("09:59:00") + Td("00:03:00") + Td("Working") + Td("0") + Td("0") +
                           Td("Explorer&nbsp;") + Td("Desk&nbsp;") + "</tr><tr>" + Td("11:00:00") + Td("00:00:30") +
                           Td("Private") + Td("1") + Td("0") + Td("&lt;b&gt;x&lt;/b&gt;&nbsp;") + Td("a&amp;b&nbsp;") +
                           "</tr><tr>" + Td("11:00:30") + Td("00:00:30") + Td("Working") + Td("0") + Td("0") +
                           Td("&lt;b&gt;x&lt;/b&gt;&nbsp;") + Td("c&nbsp;") + "</tr></table>";
  EXPECT_TRUE(Contains(page, rows)) << page;
  EXPECT_TRUE(Contains(page,
                       "<a href=\"viewactivity?seluser=staff%40x.example&date=2026-03-02&starttime=09%3A00%3A00"
                       "&endtime=11%3A59%3A59&direct=true&iCol=0&bAsc=0\" class=thList><b>Time</b></a>"))
      << page;
  EXPECT_FALSE(Contains(page, "late"));
  // Times that are not refuse the search; a day without a log is an empty table.
  EXPECT_TRUE(Contains(Get("viewactivity?" + kStaff + "&date=2026-03-02&starttime=25:00:00", SessionOf("mgr")),
                       "Please enter a valid time."));
  EXPECT_TRUE(Contains(Get("viewactivity?" + kStaff + "&date=2026-02-30&starttime=00:00:00", SessionOf("mgr")),
                       "Please enter a valid date"));
  EXPECT_TRUE(Contains(Get("viewactivity?" + kStaff + "&date=2026-03-03", SessionOf("mgr")),
                       "There are no items in this list"));
}

TEST_F(MonitorPagesTest, FileHandlersRefuseEveryNameThatLeavesItsFolder) {
  Picture("10:00:00", 64, 48);
  Activity("10:00:00", 60, 0, 3, "Word", "Doc");
  const std::string folder = LKXCoreData::GetUserFolderName(Email("staff"));
  const std::string logs = gLLog().GetLogFolder();
  ASSERT_EQ(::symlink("/etc/passwd", (StaffFolder() + "/evil.csv").c_str()), 0);
  ASSERT_EQ(::symlink("/etc/passwd", (logs + "/evil.txt").c_str()), 0);
  ASSERT_EQ(::symlink("/etc/passwd", (ScreenFolder() + "/10-30-00.jpg").c_str()), 0);
  ASSERT_EQ(::mkdir((StaffFolder() + "/dir.csv").c_str(), 0777), 0);
  ASSERT_EQ(::symlink("/etc", (LKXCoreData::GetArchiveRoot() + "/outside").c_str()), 0);
  const std::string boss = SessionOf("boss");
  // Each request names one hostile value; the good forms beside them work.
  const std::string hostile[] = {
      "..",      "../..",    "..%2F..%2Fetc%2Fpasswd", "%2Fetc%2Fpasswd", "%252e%252e", "a%00b", ".", "evil.csv",
      "dir.csv", "%5C..%5Cx"};
  for (const std::string& h : hostile) {
    const std::string requests[] = {"actlog.csv?folder=" + h + "&file=2026-03-02_activity.csv",
                                    "actlog.csv?folder=" + folder + "&file=" + h,
                                    "actlog.csv?folder=outside&file=" + h,
                                    "syslog.txt?file=" + h,
                                    std::string("syslog.txt?file=evil.txt"),
                                    "getimg.jpg?" + kStaff + "&date=2026-03-02&time=" + h,
                                    "fullsizeimg.jpg?" + kStaff + "&date=" + h + "&time=10:00:00",
                                    "fullsizeimg.jpg?" + kStaff + "&date=2026-03-02&time=10:30:00"};
    for (const std::string& request : requests) {
      EXPECT_EQ(Get(request, boss), kNotFound) << request;
    }
  }
  EXPECT_FALSE(Contains(Get("activityfolder?file=..", boss), "<li>"));
  EXPECT_FALSE(Contains(Get("activityfolder?file=outside", boss), "<li>"));
  EXPECT_TRUE(Contains(Get("actlog.csv?folder=" + folder + "&file=2026-03-02_activity.csv", boss),
                       "\r\n\r\n10:00:00,60,0,3,0,\"Word\",\"Doc\"\r\n"));
}

TEST_F(MonitorPagesTest, ScreenshotsFiveToARowAndTheViewerStepsThroughTheRange) {
  Picture("09:00:00", 64, 48);  // before the range
  Picture("10:00:00", 1280, 1024);
  Picture("10:05:00", 1024, 768);
  Picture("10:06:00", 32, 32);
  Picture("10:07:00", 32, 32);
  Picture("10:08:00", 32, 32);
  Picture("10:09:00", 32, 32);
  ASSERT_TRUE(KavrixWriteFile(ScreenFolder() + "/10-10-00.jpg", ""));  // zero length
  ASSERT_TRUE(KavrixWriteFile(ScreenFolder() + "/10-11-00.jpg", MakeJpeg(1280, 1024).substr(0, 20)));
  const std::string mgr = SessionOf("mgr");
  const std::string page = Get("viewscreens?" + kStaff + "&date=2026-03-02", mgr);
  EXPECT_TRUE(Contains(page,
                       "<tr><td width=20% valign=top><div align=center><a href=\"fullsizeimg?seluser=staff%40x.example&"
                       "date=2026-03-02&time=09:00:00&starttime=00%3A00%3A00&endtime=24%3A00%3A00\" target=\"_blank\">"
                       "<img src=\"getimg.jpg?seluser=staff%40x.example&date=2026-03-02&time=09:00:00\" title=\"Click "
                       "to view full size image\" alt=\"Click to view full size image\" border=0></a><br>09:00:00</div>"
                       "</td>"))
      << page;
  EXPECT_EQ(Count(page, "<td width=20% valign=top>"), 7);
  EXPECT_EQ(Count(page, "<tr><td width=20% valign=top>"), 2);

  const std::string range = "&starttime=10:00:00&endtime=10:30:00";
  const std::string first = Get("fullsizeimg?" + kStaff + "&date=2026-03-02" + range + "&time=10:00:00", mgr);
  EXPECT_FALSE(Contains(first, "&lt;&lt;"));
  EXPECT_TRUE(Contains(first, "time=10:05:00\">&gt;&gt;</a>")) << first;
  EXPECT_TRUE(Contains(first, "title=\"fullsize\" width=900 height=720 style=\"max-width:100%;height:auto\">"))
      << first;
  const std::string second = Get("fullsizeimg?" + kStaff + "&date=2026-03-02" + range + "&time=10:05:00", mgr);
  EXPECT_TRUE(Contains(second, "time=10:00:00\">&lt;&lt;</a>")) << second;
  EXPECT_TRUE(Contains(second, "time=10%3A05%3A00\" title=\"fullsize\" style=")) << second;
  // Damaged pictures are shown at their own size; a time between pictures
  // still finds its neighbours.
  EXPECT_TRUE(Contains(Get("fullsizeimg?" + kStaff + "&date=2026-03-02" + range + "&time=10:11:00", mgr),
                       "time=10:10:00\">&lt;&lt;</a>"));
  const std::string between = Get("fullsizeimg?" + kStaff + "&date=2026-03-02" + range + "&time=10:05:30", mgr);
  EXPECT_TRUE(Contains(between, "time=10:05:00\">&lt;&lt;</a>") && Contains(between, "time=10:06:00\">&gt;&gt;</a>"));
  const std::string empty = Get("fullsizeimg.jpg?" + kStaff + "&date=2026-03-02&time=10:10:00", mgr);
  EXPECT_EQ(empty.substr(0, empty.find("Last-Modified: ")),
            "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nContent-Type: image/jpeg\r\nCache-Control: private, "
            "no-cache\r\nX-Content-Type-Options: nosniff\r\n");
  EXPECT_TRUE(
      Contains(Get("fullsizeimg?" + kStaff + "&date=2026-03-02&time=99:00:00", mgr), "There is no such picture."));
}

// Pictures and logs carry their entity tag; a browser that sends it back
// (header names in any case) gets the 304, but only once the access check
// passed: a visitor without the right learns nothing from a tag.
TEST_F(MonitorPagesTest, PicturesAndLogsRevalidateAfterTheAccessCheck) {
  Picture("10:00:00", 64, 48);
  Activity("10:00:00", 60, 0, 3, "Word", "Doc");
  const std::string folder = LKXCoreData::GetUserFolderName(Email("staff"));
  const std::string day = "&date=2026-03-02&time=10:00:00";
  const struct {
    std::string path;
    std::string type;
    const char* allowed;
    const char* refused;
  } files[] = {
      {"getimg.jpg?" + kStaff + day, "image/jpeg", "staff", "other"},
      {"fullsizeimg.jpg?" + kStaff + day, "image/jpeg", "mgr", "staff2"},
      {"actlog.csv?folder=" + folder + "&file=2026-03-02_activity.csv", "text/csv; charset=utf-8", "boss", "mgr"},
  };
  const auto ask = [&](const std::string& path, const std::string& who, const std::string& extra) {
    return Exchange("GET /" + path + " HTTP/1.1\r\ncookie: sess=" + SessionOf(who) + "\r\n" + extra + "\r\n");
  };
  for (const auto& f : files) {
    const std::string first = ask(f.path, f.allowed, "");
    ASSERT_TRUE(Contains(first, "Content-Type: " + f.type + "\r\n")) << f.path << "\n" << first;
    const std::size_t tagAt = first.find("ETag: \"");
    ASSERT_NE(tagAt, std::string::npos) << first;
    const std::string tag = first.substr(tagAt + 6, first.find("\r\n", tagAt) - tagAt - 6);
    EXPECT_TRUE(Contains(first, "Last-Modified: Tue, 10 Mar 2026 ")) << first;
    for (const char* name : {"If-None-Match", "if-none-match"}) {
      EXPECT_EQ(ask(f.path, f.allowed, std::string(name) + ": W/" + tag + "\r\n"),
                "HTTP/1.1 304 Not Modified\r\nCache-Control: private, no-cache\r\nX-Content-Type-Options: "
                "nosniff\r\nETag: " +
                    tag + "\r\n\r\n")
          << f.path;
      EXPECT_FALSE(Contains(ask(f.path, f.refused, std::string(name) + ": " + tag + "\r\n"), "304")) << f.path;
      EXPECT_FALSE(Contains(Exchange("GET /" + f.path + " HTTP/1.1\r\n" + name + ": " + tag + "\r\n\r\n"), "304"));
    }
    // A picture is never compressed, even for a client that asks.
    const std::string asked = ask(f.path, f.allowed, "Accept-Encoding: gzip\r\n");
    EXPECT_EQ(Contains(asked, "Content-Encoding: gzip\r\n"), f.type.rfind("text/", 0) == 0) << f.path;
  }
}

// Above the picture: whose it is and when it was taken; the picture fits the
// window and a click on it opens the picture itself.
TEST_F(MonitorPagesTest, ViewerNamesUserDateAndTimeAndLinksThePicture) {
  Picture("10:00:00", 1280, 1024);
  LKXUser staff;
  ASSERT_TRUE(KXGetUser(Email("staff"), staff));
  ASSERT_TRUE(staff.SetText(kKXUserName, "Sam <Staff> & Co"));
  const std::string page = Get("fullsizeimg?" + kStaff + "&date=2026-03-02&time=10:00:00", SessionOf("mgr"));
  const std::size_t head = page.find("<h3 class=fullsizehead");
  ASSERT_NE(head, std::string::npos) << page;
  const std::string heading = page.substr(head, page.find("</h3>", head) - head);
  for (const char* seen : {">Sam &lt;Staff&gt; &amp; Co&nbsp;", "2026-03-02", "10:00:00"}) {
    EXPECT_TRUE(Contains(heading, seen)) << seen << "\n" << heading;
  }
  EXPECT_TRUE(Contains(page,
                       "<a href=\"fullsizeimg.jpg?seluser=staff%40x.example&date=2026-03-02&time=10%3A00%3A00\" "
                       "target=\"_blank\""))
      << page;
}

// The main page links the day pages without a day: they show today (the
// fake clock's), not an empty date.
TEST_F(MonitorPagesTest, DayPagesWithoutADateShowToday) {
  ASSERT_TRUE(
      LKXCoreData::LogActivity(Email("staff"), KavrixAt("2026-03-10", "09:00:00"), 60, 0, 3, 0, "Today.exe", "c"));
  const std::string jpeg = MakeJpeg(64, 48);
  ASSERT_TRUE(
      LKXCoreData::LogScreenShot(Email("staff"), KavrixAt("2026-03-10", "09:30:00"), true, jpeg.data(), jpeg.size()));
  const struct {
    const char* path;
    const char* shows;
  } cases[] = {
      {"timesheet?", "viewactivity?seluser=staff%40x.example&date=2026-03-10&starttime=09:00:00"},
      {"viewactivity?direct=true&", "Today.exe"},
      {"viewscreens?direct=true&", "getimg.jpg?seluser=staff%40x.example&date=2026-03-10&time=09:30:00"},
  };
  for (const auto& c : cases) {
    const std::string page = Get(c.path + kStaff, SessionOf("mgr"));
    EXPECT_TRUE(Contains(page, "id=dateinput value=\"2026-03-10\"")) << c.path << "\n" << page;
    EXPECT_TRUE(Contains(page, c.shows)) << c.path << "\n" << page;
    EXPECT_FALSE(Contains(page, "Please click on Search")) << c.path;
  }
}

TEST_F(MonitorPagesTest, SwitchesAndUserFlagsStopTheDownloads) {
  Picture("10:00:00", 64, 48);
  const std::string request = "getimg.jpg?" + kStaff + "&date=2026-03-02&time=10:00:00";
  const std::string boss = SessionOf("boss");
  ASSERT_TRUE(Contains(Get(request, boss), "HTTP/1.1 200 OK"));
  LSettingSetString("Settings", "ModeQA", "0");
  EXPECT_EQ(Get(request, boss), kNotFound);
  EXPECT_FALSE(Contains(Get("viewscreens?" + kStaff + "&date=2026-03-02", boss), "getimg.jpg?"));
  LSettingSetString("Settings", "ModeQA", "1");
  LKXUser staff;
  ASSERT_TRUE(KXGetUser(Email("staff"), staff));
  ASSERT_TRUE(staff.SetFlag(kKXUserLogScreenShot, false));
  EXPECT_EQ(Get(request, boss), kNotFound);
  EXPECT_FALSE(Contains(Get("viewscreens?" + kStaff + "&date=2026-03-02", boss), "getimg.jpg?"));
  ASSERT_TRUE(staff.SetFlag(kKXUserLogScreenShot, true));
  ASSERT_TRUE(staff.SetFlag(kKXUserMonitor, true));
  EXPECT_EQ(Get(request, boss), kNotFound);
}

TEST_F(MonitorPagesTest, UsageLimitsComparisonRowsAndChart) {
  for (int i = 0; i < 30; ++i) {
    const std::string clock = (i < 10 ? "10:0" : "10:") + std::to_string(i) + ":00";
    ASSERT_TRUE(LKXCoreData::LogActivity(Email("staff"), KavrixAt(kDay, clock.c_str()), 10 + i, 0, 1, 1,
                                         "app" + std::to_string(i), "c"));
  }
  ASSERT_TRUE(LKXCoreData::LogActivity(Email("mgr"), KavrixAt(kDay, "10:00:00"), 50, 0, 1, 1, "<i>mine</i>", "c"));
  const std::string boss = SessionOf("boss");
  const std::string range = "&startdate=2026-03-02&enddate=2026-03-02";
  std::string six = "seluser=";
  for (const char* who : {"boss", "hr", "mgr", "other", "staff", "staff2"}) six += Email(who) + ",";
  const std::string tooMany = Get("viewappusage?" + six + range, boss);
  EXPECT_TRUE(Contains(tooMany, "<div><font color=#a00000>You can not select more than 5 users!</font></div>"));
  EXPECT_FALSE(Contains(tooMany, "class=tblList"));
  const std::string compared = Get("viewappusage?seluser=staff%40x.example,mgr%40x.example" + range, boss);
  EXPECT_EQ(Count(compared, "<td align=left valign=top class=tdList><big>"), 21);
  EXPECT_TRUE(Contains(compared, "<td align=left valign=top class=tdList><big>&lt;i&gt;mine&lt;/i&gt;</big></td>"));
  EXPECT_TRUE(Contains(compared, "<div align=center><big>00:00:39</big><br><tt>KEY&nbsp;1&nbsp;MSE&nbsp;1</tt></div>"));
  const std::string single = Get("viewappusage?" + kStaff + range, boss);
  EXPECT_TRUE(Contains(single, "<div align=right>3.40%</div>")) << single;  // 39 of 1155 seconds
  EXPECT_TRUE(Contains(single, "<svg xmlns=\"http://www.w3.org/2000/svg\""));
  EXPECT_EQ(Count(single, "<rect "), 10);
  EXPECT_FALSE(Contains(single, "<script>"));
  EXPECT_TRUE(Contains(Get("viewappusage?" + kStaff + "&startdate=2026-03-05&enddate=2026-03-02", boss),
                       "Start date can not be after end date!"));
  EXPECT_EQ(Body(Get("viewappusagepost?" + kStaff + range + "&submit=Other", boss)), "");
}

TEST_F(MonitorPagesTest, LooksAtOthersDataAreAuditedAndShownToThem) {
  Activity("10:00:00", 60, 0, 3, "Word", "Doc");
  Picture("10:00:00", 64, 48);
  (void)Get("viewscreens?" + kStaff + "&date=2026-03-02", SessionOf("staff"));  // own data: not audited
  EXPECT_FALSE(KavrixFileExists(AuditFile()));
  const std::string mgr = SessionOf("mgr");
  (void)Get("viewscreens?" + kStaff + "&date=2026-03-02", mgr);
  (void)Get("fullsizeimg.jpg?" + kStaff + "&date=2026-03-02&time=10:00:00", mgr);
  (void)Get("viewactivity?" + kStaff + "&date=2026-03-02", mgr);
  const std::string audit = KavrixReadFile(AuditFile());
  EXPECT_TRUE(
      audit.starts_with("12:00:00,\"mgr@x.example\",\"staff@x.example\",\"screenshots 2026-03-02\",\"127.0.0.1:"))
      << audit;
  EXPECT_TRUE(Contains(audit, ",\"full-size picture 2026-03-02 10:00:00\",\"127.0.0.1:"));
  EXPECT_TRUE(Contains(audit, ",\"activity log 2026-03-02\",\"127.0.0.1:"));
  EXPECT_EQ(Count(audit, "\r\n"), 3);

  const std::string mine = Get("myaudit", SessionOf("staff"));
  EXPECT_TRUE(Contains(mine,
                       "<td align=left valign=top class=tdList>mgr@x.example</td><td align=left valign=top "
                       "class=tdList>screenshots 2026-03-02</td>"))
      << mine;
  EXPECT_FALSE(Contains(Get("myaudit", SessionOf("staff2")), "mgr@x.example"));
  EXPECT_TRUE(Contains(Get("auditlog?date=2026-03-10", SessionOf("boss")), "staff@x.example"));
}

TEST_F(MonitorPagesTest, LogListingsAndDownloadsForAdministrators) {
  Activity("10:00:00", 60, 0, 3, "Word", "Doc");
  gLLog().Log("a <line>", 0);
  const std::string logName = LLog::FileNameForDate(2026, 3, 10);
  const std::string boss = SessionOf("boss");
  const std::string listing = Get("systemlog?yearmonth=2026-03", boss);
  EXPECT_TRUE(Contains(listing,
                       "<li><a href=\"syslog.txt?file=2026-03-10%20KavrixServer%20Log.txt\" "
                       "style=\"text-decoration:none\">2026-03-10 KavrixServer Log.txt</a></li>"))
      << listing;
  EXPECT_TRUE(Contains(listing, "<a href=\"systemlog?yearmonth=2026-02\">&lt;&lt;</a>"));
  EXPECT_FALSE(Contains(listing, "&gt;&gt;"));
  EXPECT_TRUE(
      Contains(Get("systemlog?yearmonth=2026-01", boss), "<a href=\"systemlog?yearmonth=2026-02\">&gt;&gt;</a>"));
  const std::string log = Get("syslog.txt?file=2026-03-10%20KavrixServer%20Log.txt", boss);
  EXPECT_TRUE(Contains(log, "Content-Type: text/plain; charset=utf-8\r\n")) << log;
  EXPECT_TRUE(Contains(log, "Content-Disposition: attachment; filename=\"" + logName + "\"\r\n"));
  EXPECT_TRUE(Contains(log, "a <line>"));
  const std::string folder = LKXCoreData::GetUserFolderName(Email("staff"));
  ASSERT_EQ(folder, "staff@xexample");
  EXPECT_TRUE(Contains(Get("archivefolder", boss),
                       "<li><a href=\"activityfolder?file=staff%40xexample\" style=\"text-decoration:none\">"
                       "staff@xexample</a></li>"));
  EXPECT_TRUE(Contains(Get("activityfolder?file=" + folder, boss),
                       "<li><a href=\"actlog.csv?file=2026-03-02_activity.csv&folder=staff%40xexample\""));
  const std::string csv = Get("actlog.csv?folder=" + folder + "&file=2026-03-02_activity.csv", boss);
  EXPECT_TRUE(Contains(csv,
                       "Content-Type: text/csv; charset=utf-8\r\nCache-Control: private, no-cache\r\n"
                       "X-Content-Type-Options: nosniff\r\nContent-Disposition: attachment; "
                       "filename=\"2026-03-02_activity.csv\"\r\n"));
  EXPECT_TRUE(Contains(KavrixReadFile(AuditFile()), "\"log download 2026-03-02_activity.csv\""));
}

}  // namespace
