// The monitoring pages on a real server: the activity log, the screenshots
// with the full-size viewer and the picture downloads, application usage,
// the administrators' log listings and the access audit.

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "foundation/log.h"
#include "foundation/settings_sections.h"
#include "hours_pages_fixture.h"
#include "model/core_data.h"
#include "model/image_test_helpers.h"
#include "model/users.h"

namespace {

constexpr char kDay[] = "2026-03-02";
constexpr char kNotFound[] = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nX-Content-Type-Options: nosniff\r\n\r\n";
const std::string kStaff = "seluser=staff%40x.example";
const std::string kFolder = "staff@xexample";

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class MonitorPagesTest : public HoursPagesTest {
 protected:
  void SetUp() override {
    HoursPagesTest::SetUp();
    Activity("10:00:00", 60, 0, 3, "Word", "Doc");
    Picture("10:00:00", 1280, 1024);
  }
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
  std::string AuditFile() { return SharedFolder() + "/Audit/2026-03-10_audit.csv"; }
};

TEST_F(MonitorPagesTest, ActivityJoinsIdleRunsOfOneApplicationOnly) {
  Activity("08:00:00", 60, 0, 0, "Explorer", "Desk");
  Activity("08:01:00", 60, 0, 0, "EXPLORER", "Other");   // joins: idle, same name
  Activity("07:59:00", 60, 0, 0, "explorer", "Before");  // joins: ends where the row starts
  Activity("09:00:00", 30, 1, 1, "<b>x</b>", "a&b");     // one key stroke: never joined
  Activity("09:00:30", 30, 0, 0, "<b>x</b>", "c");       // nothing idle to join; Word is after the end
  const std::string page =
      GetAs("mgr", "viewactivity?" + kStaff + "&date=2026-03-02&starttime=07:00:00&endtime=09:59:59");
  EXPECT_EQ(TableRows(page, 7, "Time"),
            (std::vector<Strings>{{"07:59:00", "00:03:00", "Working", "0", "0", "Explorer", "Desk"},
                                  {"09:00:00", "00:00:30", "Private", "1", "0", "<b>x</b>", "a&b"},
                                  {"09:00:30", "00:00:30", "Working", "0", "0", "<b>x</b>", "c"}}));
}

// Each file handler takes its name through the checked path of the web
// root, whose every hostile form (links out of the folder included) is the
// path's own test: one name that leaves the folder per handler.
TEST_F(MonitorPagesTest, FileHandlersRefuseEveryNameThatLeavesItsFolder) {
  for (const std::string& request :
       {std::string("actlog.csv?folder=..&file=2026-03-02_activity.csv"), "actlog.csv?folder=" + kFolder + "&file=..",
        std::string("syslog.txt?file=..%2F..%2Fetc%2Fpasswd"),
        "getimg.jpg?" + kStaff + "&date=2026-03-02&time=%2Fetc%2Fpasswd",
        "fullsizeimg.jpg?" + kStaff + "&date=..&time=10:00:00"}) {
    EXPECT_EQ(GetAs("boss", request), kNotFound) << request;
  }
  EXPECT_FALSE(Contains(GetAs("boss", "activityfolder?file=.."), "<li>"));
}

TEST_F(MonitorPagesTest, ScreenshotsFiveToARowAndTheViewerStepsThroughTheRange) {
  for (const char* clock : {"10:05:00", "10:06:00", "10:07:00", "10:08:00", "10:09:00"}) Picture(clock, 32, 32);
  const std::string mgr = SessionOf("mgr");
  const std::string page = Get("viewscreens?" + kStaff + "&date=2026-03-02", mgr);
  EXPECT_EQ(Count(page, "<tr><td width=20% valign=top>"), 2);
  // The viewer names whose picture it is (fitting it to the window and
  // stepping from the first to the last are the browser test's); a time
  // between pictures still finds its neighbours.
  const auto viewer = [&](const char* time) {
    return HtmlPage(
        Get("fullsizeimg?" + kStaff + "&date=2026-03-02&starttime=10:00:00&endtime=10:30:00&time=" + time, mgr));
  };
  const HtmlPage first = viewer("10:00:00");
  EXPECT_EQ(first.Text(*first.ByTag("h3").at(0)), "Staff 2026-03-02 10:00:00");
  const HtmlPage between = viewer("10:05:30");
  EXPECT_TRUE(between.Href("<<").ends_with("time=10:05:00") && between.Href(">>").ends_with("time=10:06:00"));
}

// The pictures switch, and a user not pictured or not monitored: no
// picture is served or linked.
TEST_F(MonitorPagesTest, SwitchesAndUserFlagsStopTheDownloads) {
  const std::string request = "getimg.jpg?" + kStaff + "&date=2026-03-02&time=10:00:00";
  ASSERT_TRUE(GetAs("boss", request).starts_with("HTTP/1.1 200 OK"));
  const auto stopped = [&](const char* modeQA, const char* screenshots, const char* monitor) {
    LSettingSetString("Settings", "ModeQA", modeQA);
    SetText("staff", kKXUserLogScreenShot, screenshots);
    SetText("staff", kKXUserMonitor, monitor);
    EXPECT_EQ(GetAs("boss", request), kNotFound) << modeQA << screenshots << monitor;
    EXPECT_FALSE(Contains(GetAs("boss", "viewscreens?" + kStaff + "&date=2026-03-02"), "getimg.jpg?"));
  };
  stopped("0", "1", "0");
  stopped("1", "1", "1");
}

TEST_F(MonitorPagesTest, UsageLimitsComparisonRowsAndChart) {
  for (int i = 0; i < 30; ++i) {
    const std::string clock = (i < 10 ? "10:0" : "10:") + std::to_string(i) + ":00";
    ASSERT_TRUE(LKXCoreData::LogActivity(Email("staff"), KavrixAt("2026-03-03", clock.c_str()), 10 + i, 0, 1, 1,
                                         "app" + std::to_string(i), "c"));
  }
  ASSERT_TRUE(LKXCoreData::LogActivity(Email("mgr"), KavrixAt("2026-03-03", "10:00:00"), 50, 0, 1, 1, "mine", "c"));
  const std::string boss = SessionOf("boss");
  const std::string range = "&startdate=2026-03-03&enddate=2026-03-03";
  std::string six = "seluser=";
  for (const char* who : {"boss", "hr", "mgr", "other", "staff", "staff2"}) six += Email(who) + ",";
  EXPECT_TRUE(Contains(Get("viewappusage?" + six + range, boss),
                       "<div><font color=#a00000>You can not select more than 5 users!</font></div>"));
  const std::string compared = Get("viewappusage?seluser=staff%40x.example,mgr%40x.example" + range, boss);
  EXPECT_EQ(Count(compared, "<td align=left valign=top class=tdList><big>"), 21);
  const std::string single = Get("viewappusage?" + kStaff + range, boss);
  EXPECT_TRUE(Contains(single, "<div align=right>3.40%</div>")) << single;  // 39 of 1155 seconds
}

TEST_F(MonitorPagesTest, LooksAtOthersDataAreAuditedAndShownToThem) {
  (void)Get("viewscreens?" + kStaff + "&date=2026-03-02", SessionOf("staff"));  // own data: not audited
  EXPECT_FALSE(KavrixFileExists(AuditFile()));
  const std::string mgr = SessionOf("mgr");
  (void)Get("viewscreens?" + kStaff + "&date=2026-03-02", mgr);
  (void)Get("fullsizeimg.jpg?" + kStaff + "&date=2026-03-02&time=10:00:00", mgr);
  const std::string audit = KavrixReadFile(AuditFile());
  EXPECT_TRUE(
      audit.starts_with("12:00:00,\"mgr@x.example\",\"staff@x.example\",\"screenshots 2026-03-02\",\"127.0.0.1:"))
      << audit;
  EXPECT_TRUE(Contains(audit, ",\"full-size picture 2026-03-02 10:00:00\",\"127.0.0.1:"));
  EXPECT_EQ(Count(audit, "\r\n"), 2);
  EXPECT_FALSE(Contains(Get("myaudit", SessionOf("staff2")), "mgr@x.example"));
}

// A log download carries its entity tag; a browser that sends it back gets
// the 304 (the browser test revalidates thumbnails), but only once the
// access check passed: a visitor without the right learns nothing from a tag.
TEST_F(MonitorPagesTest, LogListingsAndDownloadsForAdministratorsRevalidatedAfterTheAccessCheck) {
  gLLog().Log("a <line>", 0);
  const std::string boss = SessionOf("boss");
  const HtmlPage listing(Get("systemlog?yearmonth=2026-03", boss));
  EXPECT_EQ(listing.Href("2026-03-10 KavrixServer Log.txt"), "syslog.txt?file=2026-03-10%20KavrixServer%20Log.txt");
  EXPECT_TRUE(Contains(Get("syslog.txt?file=2026-03-10%20KavrixServer%20Log.txt", boss), "a <line>"));
  EXPECT_EQ(HtmlPage(Get("activityfolder?file=" + kFolder, boss)).Href("2026-03-02_activity.csv"),
            "actlog.csv?file=2026-03-02_activity.csv&folder=staff%40xexample");
  const auto ask = [&](const std::string& who, const std::string& extra) {
    return Exchange("GET /actlog.csv?folder=" + kFolder + "&file=2026-03-02_activity.csv HTTP/1.1\r\ncookie: sess=" +
                    SessionOf(who) + "\r\n" + extra + "\r\n");
  };
  const std::string csv = ask("boss", "");
  // The header's bytes are the static file writer's test; the name is this handler's.
  EXPECT_TRUE(Contains(csv, "Content-Disposition: attachment; filename=\"2026-03-02_activity.csv\"\r\n"));
  EXPECT_EQ(Body(csv), "10:00:00,60,0,3,0,\"Word\",\"Doc\"\r\n");
  EXPECT_TRUE(Contains(KavrixReadFile(AuditFile()), "\"log download 2026-03-02_activity.csv\""));
  const std::size_t tagAt = csv.find("ETag: \"");
  ASSERT_NE(tagAt, std::string::npos) << csv;
  const std::string tag = csv.substr(tagAt + 6, csv.find("\r\n", tagAt) - tagAt - 6);
  EXPECT_TRUE(ask("boss", "If-None-Match: W/" + tag + "\r\n").starts_with("HTTP/1.1 304 Not Modified"));
  EXPECT_FALSE(Contains(ask("mgr", "If-None-Match: " + tag + "\r\n"), "304"));
}

}  // namespace
