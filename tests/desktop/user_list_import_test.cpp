// The control window's user list import: a password that the file changes
// ends that user's web sessions, as the password page does; the same
// password leaves them, and a station's session stays either way.

#include "desktop/user_list_import.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/user_list_csv.h"
#include "model/users.h"
#include "support/temp_root.h"
#include "web/session/weblet_session.h"

namespace {

class DesktopUserImportTest : public KavrixTempRoot {};

TEST_F(DesktopUserImportTest, ANewPasswordFromTheFileEndsTheUsersWebSessions) {
  ASSERT_TRUE(KXAddUser("ann@x.example", "Ann", false, false, "", "", "secret"));
  const std::string folder = LWebletSessionData::Folder();
  const std::string file = TempDir() + "/users.csv";
  struct Case {
    const char* password;
    bool ends;
  };
  for (const Case& c : {Case{"secret", false}, Case{"new", true}}) {
    ASSERT_TRUE(KavrixWriteFile(folder + "/lwebxxxxx1.sess", "user=ann%40x.example"));
    ASSERT_TRUE(KavrixWriteFile(folder + "/lstationx1.sess", "staaddr=127.0.0.1&stacon=1&user=ann%40x.example"));
    std::vector<LKXUserListCSVRow> rows = KXUserListCSVRows(true);
    ASSERT_EQ(rows.size(), 1u);
    rows[0].password = c.password;
    ASSERT_TRUE(KavrixWriteFile(file, KXUserListCSVText(rows)));
    EXPECT_EQ(LDesktopImportUserList(file).stored, 1) << c.password;
    EXPECT_EQ(KavrixFileExists(folder + "/lwebxxxxx1.sess"), !c.ends) << c.password;
    EXPECT_TRUE(KavrixFileExists(folder + "/lstationx1.sess")) << c.password;
  }
}

// Refused rows are reported by their line (a blank line counts) and the
// others are stored.
TEST_F(DesktopUserImportTest, RefusedRowsAreReportedByTheirLine) {
  const std::string file = TempDir() + "/users.csv";
  ASSERT_TRUE(KavrixWriteFile(file,
                              "ann@example.com,\"Ann\",\"pw1\",\"\",1,0,0,\"\",\"\"\r\n"
                              "not an address,\"Nobody\",\"pw\",\"\",0,0,0,\"\",\"\"\r\n"
                              "\r\n"
                              ",\"Empty\",\"pw\",\"\",0,0,0,\"\",\"\"\r\n"));
  const LUserListImportReport report = LDesktopImportUserList(file);
  EXPECT_EQ(report.stored, 1);
  EXPECT_EQ(report.refused,
            (std::vector<std::string>{"Line 4: no e-mail address",
                                      "Line 2: This email address is invalid. Please reenter"}));
}

}  // namespace
