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

// The picture the viewer shows.
const HtmlElement* Shown(const HtmlPage& page) {
  for (const HtmlElement* image : page.ByTag("img")) {
    if (image->Attribute("title") == "fullsize") return image;
  }
  return nullptr;
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
  const HtmlPage page(
      Get("viewactivity?" + kStaff + "&date=2026-03-02&starttime=09:00:00&endtime=11:59:59", SessionOf("mgr")));
  const std::vector<Strings> rows = {{"09:59:00", "00:03:00", "Working", "0", "0", "Explorer", "Desk"},
                                     {"11:00:00", "00:00:30", "Private", "1", "0", "<b>x</b>", "a&b"},
                                     {"11:00:30", "00:00:30", "Working", "0", "0", "<b>x</b>", "c"}};
  std::vector<Strings> listed;
  for (const Strings& row : page.Rows()) {
    if (row.size() == 7 && row[0] != "Time") listed.push_back(row);
  }
  EXPECT_EQ(listed, rows);
  EXPECT_EQ(page.Href("Time"),
            "viewactivity?seluser=staff%40x.example&date=2026-03-02&starttime=09%3A00%3A00&endtime=11%3A59%3A59"
            "&direct=true&iCol=0&bAsc=0");
  EXPECT_FALSE(Contains(page.Text(), "late"));
  // Times that are not refuse the search; a day without a log is an empty table.
  const struct Case {
    const char* query;
    const char* shows;
  } cases[] = {{"&date=2026-03-02&starttime=25:00:00", "Please enter a valid time."},
               {"&date=2026-02-30&starttime=00:00:00", "Please enter a valid date"},
               {"&date=2026-03-03", "There are no items in this list"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    EXPECT_TRUE(Contains(Visible(Get("viewactivity?" + kStaff + c.query, SessionOf("mgr"))), c.shows));
  }
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
  for (const char* clock : {"10:06:00", "10:07:00", "10:08:00", "10:09:00"}) Picture(clock, 32, 32);
  ASSERT_TRUE(KavrixWriteFile(ScreenFolder() + "/10-10-00.jpg", ""));  // zero length
  ASSERT_TRUE(KavrixWriteFile(ScreenFolder() + "/10-11-00.jpg", MakeJpeg(1280, 1024).substr(0, 20)));
  LKXUser staff;
  ASSERT_TRUE(KXGetUser(Email("staff"), staff));
  ASSERT_TRUE(staff.SetText(kKXUserName, "Sam <Staff> & Co"));
  const std::string mgr = SessionOf("mgr");
  const std::string page = Get("viewscreens?" + kStaff + "&date=2026-03-02", mgr);
  const HtmlPage screens(page);
  Strings viewers;
  for (const HtmlLink& link : screens.Links()) {
    if (link.href.starts_with("fullsizeimg?")) viewers.push_back(link.href);
  }
  ASSERT_EQ(viewers.size(), 7u);
  EXPECT_EQ(viewers[0],
            "fullsizeimg?seluser=staff%40x.example&date=2026-03-02&time=09:00:00&starttime=00%3A00%3A00"
            "&endtime=24%3A00%3A00");
  EXPECT_EQ(Count(page, "<tr><td width=20% valign=top>"), 2);

  // The viewer names whose picture it is and when, fits it to the window
  // and steps to the neighbours in the range.
  const auto viewer = [&](const char* time) {
    return HtmlPage(Get("fullsizeimg?" + kStaff + "&date=2026-03-02&starttime=10:00:00&endtime=10:30:00&time=" + time,
                        mgr));
  };
  const HtmlPage first = viewer("10:00:00");
  EXPECT_EQ(first.Text(*first.ByTag("h3").at(0)), "Sam <Staff> & Co 2026-03-02 10:00:00");
  EXPECT_EQ(first.Href("<<"), "<none>");
  EXPECT_TRUE(first.Href(">>").ends_with("time=10:05:00"));
  const HtmlElement* picture = Shown(first);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Attribute("width") + "x" + picture->Attribute("height"), "900x720");
  // Damaged pictures are shown at their own size; a time between pictures
  // still finds its neighbours.
  const HtmlPage second = viewer("10:05:00");
  ASSERT_NE(Shown(second), nullptr);
  EXPECT_FALSE(Shown(second)->Has("width"));
  EXPECT_TRUE(viewer("10:11:00").Href("<<").ends_with("time=10:10:00"));
  const HtmlPage between = viewer("10:05:30");
  EXPECT_TRUE(between.Href("<<").ends_with("time=10:05:00"));
  EXPECT_TRUE(between.Href(">>").ends_with("time=10:06:00"));
  const std::string empty = Get("fullsizeimg.jpg?" + kStaff + "&date=2026-03-02&time=10:10:00", mgr);
  EXPECT_EQ(empty.substr(0, empty.find("Last-Modified: ")),
            "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nContent-Type: image/jpeg\r\nCache-Control: private, "
            "no-cache\r\nX-Content-Type-Options: nosniff\r\n");
  EXPECT_TRUE(Contains(Visible(Get("fullsizeimg?" + kStaff + "&date=2026-03-02&time=99:00:00", mgr)),
                       "There is no such picture."));
}

// Pictures and logs carry their entity tag; a browser that sends it back
// gets the 304, but only once the access check passed: a visitor without
// the right learns nothing from a tag.
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
    EXPECT_EQ(ask(f.path, f.allowed, "If-None-Match: W/" + tag + "\r\n"),
              "HTTP/1.1 304 Not Modified\r\nCache-Control: private, no-cache\r\nX-Content-Type-Options: "
              "nosniff\r\nETag: " + tag + "\r\n\r\n");
    EXPECT_FALSE(Contains(ask(f.path, f.refused, "If-None-Match: " + tag + "\r\n"), "304"));
    // A picture is never compressed, even for a client that asks.
    const std::string asked = ask(f.path, f.allowed, "Accept-Encoding: gzip\r\n");
    EXPECT_EQ(Contains(asked, "Content-Encoding: gzip\r\n"), f.type.rfind("text/", 0) == 0) << f.path;
  }
}

// The main page links the day pages without a day: they show today (the
// fake clock's), not an empty date.
TEST_F(MonitorPagesTest, DayPagesWithoutADateShowToday) {
  ASSERT_TRUE(
      LKXCoreData::LogActivity(Email("staff"), KavrixAt("2026-03-10", "09:00:00"), 60, 0, 3, 0, "Today.exe", "c"));
  const std::string jpeg = MakeJpeg(64, 48);
  ASSERT_TRUE(
      LKXCoreData::LogScreenShot(Email("staff"), KavrixAt("2026-03-10", "09:30:00"), true, jpeg.data(), jpeg.size()));
  const struct Case {
    const char* path;
    const char* shows;
  } cases[] = {
      {"timesheet?", "viewactivity?seluser=staff%40x.example&date=2026-03-10&starttime=09:00:00"},
      {"viewactivity?direct=true&", "Today.exe"},
      {"viewscreens?direct=true&", "getimg.jpg?seluser=staff%40x.example&date=2026-03-10&time=09:30:00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const std::string page = Get(c.path + kStaff, SessionOf("mgr"));
    ASSERT_NE(HtmlPage(page).ById("dateinput"), nullptr);
    EXPECT_EQ(HtmlPage(page).ById("dateinput")->Attribute("value"), "2026-03-10");
    EXPECT_TRUE(Contains(page, c.shows));
    EXPECT_FALSE(Contains(page, "Please click on Search"));
  }
}

TEST_F(MonitorPagesTest, SwitchesAndUserFlagsStopTheDownloads) {
  Picture("10:00:00", 64, 48);
  const std::string request = "getimg.jpg?" + kStaff + "&date=2026-03-02&time=10:00:00";
  const std::string boss = SessionOf("boss");
  ASSERT_TRUE(Contains(Get(request, boss), "HTTP/1.1 200 OK"));
  LKXUser staff;
  ASSERT_TRUE(KXGetUser(Email("staff"), staff));
  const struct Case {
    const char* what;
    const char* modeQA;
    bool screenshots, monitor;
  } cases[] = {{"pictures off", "0", true, false}, {"user not pictured", "1", false, false},
               {"user not monitored", "1", true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LSettingSetString("Settings", "ModeQA", c.modeQA);
    ASSERT_TRUE(staff.SetFlag(kKXUserLogScreenShot, c.screenshots) && staff.SetFlag(kKXUserMonitor, c.monitor));
    EXPECT_EQ(Get(request, boss), kNotFound);
    EXPECT_FALSE(Contains(Get("viewscreens?" + kStaff + "&date=2026-03-02", boss), "getimg.jpg?"));
  }
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

  EXPECT_FALSE(Contains(Get("myaudit", SessionOf("staff2")), "mgr@x.example"));
  EXPECT_TRUE(Contains(Get("auditlog?date=2026-03-10", SessionOf("boss")), "staff@x.example"));
}

TEST_F(MonitorPagesTest, LogListingsAndDownloadsForAdministrators) {
  Activity("10:00:00", 60, 0, 3, "Word", "Doc");
  gLLog().Log("a <line>", 0);
  const std::string logName = LLog::FileNameForDate(2026, 3, 10);
  const std::string boss = SessionOf("boss");
  const HtmlPage listing(Get("systemlog?yearmonth=2026-03", boss));
  EXPECT_EQ(listing.Href("2026-03-10 KavrixServer Log.txt"), "syslog.txt?file=2026-03-10%20KavrixServer%20Log.txt");
  EXPECT_EQ(listing.Href("<<"), "systemlog?yearmonth=2026-02");
  EXPECT_EQ(listing.Href(">>"), "<none>");
  EXPECT_EQ(HtmlPage(Get("systemlog?yearmonth=2026-01", boss)).Href(">>"), "systemlog?yearmonth=2026-02");
  const std::string log = Get("syslog.txt?file=2026-03-10%20KavrixServer%20Log.txt", boss);
  EXPECT_TRUE(Contains(log, "Content-Type: text/plain; charset=utf-8\r\n")) << log;
  EXPECT_TRUE(Contains(log, "Content-Disposition: attachment; filename=\"" + logName + "\"\r\n"));
  EXPECT_TRUE(Contains(log, "a <line>"));
  const std::string folder = LKXCoreData::GetUserFolderName(Email("staff"));
  ASSERT_EQ(folder, "staff@xexample");
  EXPECT_EQ(HtmlPage(Get("archivefolder", boss)).Href("staff@xexample"), "activityfolder?file=staff%40xexample");
  EXPECT_EQ(HtmlPage(Get("activityfolder?file=" + folder, boss)).Href("2026-03-02_activity.csv"),
            "actlog.csv?file=2026-03-02_activity.csv&folder=staff%40xexample");
  const std::string csv = Get("actlog.csv?folder=" + folder + "&file=2026-03-02_activity.csv", boss);
  EXPECT_TRUE(Contains(csv,
                       "Content-Type: text/csv; charset=utf-8\r\nCache-Control: private, no-cache\r\n"
                       "X-Content-Type-Options: nosniff\r\nContent-Disposition: attachment; "
                       "filename=\"2026-03-02_activity.csv\"\r\n"));
  EXPECT_TRUE(Contains(KavrixReadFile(AuditFile()), "\"log download 2026-03-02_activity.csv\""));
}

}  // namespace
