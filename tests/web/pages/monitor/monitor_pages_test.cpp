// The monitoring pages on a real server: the file handlers' path check, the
// access audit, and the administrators' log downloads.

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
    ASSERT_TRUE(LKXCoreData::LogActivity(Email("staff"), KavrixAt(kDay, "10:00:00"), 60, 0, 3, 0, "Word", "Doc"));
    const std::string jpeg = MakeJpeg(1280, 1024);
    ASSERT_TRUE(LKXCoreData::LogScreenShot(Email("staff"), KavrixAt(kDay, "10:00:00"), true, jpeg.data(), jpeg.size()));
  }
  std::string AuditFile() { return SharedFolder() + "/Audit/2026-03-10_audit.csv"; }
};

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
