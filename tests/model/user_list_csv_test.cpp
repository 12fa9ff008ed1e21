// The user list file: exact bytes of an export, every column read back,
// malformed lines, and an import into a registry that already has users.

#include "model/user_list_csv.h"

#include <gtest/gtest.h>

#include <string>

#include "model/users.h"
#include "registry_fixture.h"
#include "support/test_helpers.h"

namespace {

using UserListCSVTest = RegistryTest;

TEST_F(UserListCSVTest, ExportWritesElevenColumnsPerUserInRegistryOrder) {
  ASSERT_TRUE(KXAddUser("boss@x.example", "+Boss", true, true, "", "", "pw1"));
  ASSERT_TRUE(KXAddUser("cy@x.example", "Cy, Jr.", false, false, "Sales,Support", "boss@x.example", ""));
  ASSERT_TRUE(UserOf("boss@x.example").SetText(kKXUserOldPassword, "old"));
  LKXUser cy = UserOf("cy@x.example");
  ASSERT_TRUE(cy.SetText(kKXUserLeaveAllowanceDays, "25"));
  ASSERT_TRUE(cy.SetText(kKXUserLeaveCarryOverDays, "2025:1,2026:3"));
  const std::string path = SharedFolder() + "/users.csv";
  ASSERT_TRUE(KavrixWriteFile(path, "an older and much longer file that must not survive the export\r\n"));
  ASSERT_TRUE(KXExportUserList(path));
  EXPECT_EQ(KavrixReadFile(path),
            "boss@x.example,\"'+Boss\",\"pw1\",\"old\",1,1,0,\"DefaultTeam\",\"\",\"\",\"\"\r\n"
            "cy@x.example,\"Cy, Jr.\",\"\",\"\",0,0,1,\"Sales,Support\",\"boss@x.example\",\"25\",\"2025:1,2026:3\"\r\n");
  // The panel's copy never carries a password.
  EXPECT_EQ(KXUserListCSVLine(KXUserListCSVRows(false).front()),
            "boss@x.example,\"'+Boss\",\"\",\"\",1,1,0,\"DefaultTeam\",\"\",\"\",\"\"");
}

TEST_F(UserListCSVTest, ReadsEveryColumnAndSkipsLinesWithoutAddress) {
  const auto rows = KXParseUserListCSV(
      "a@x.example,\"A, the first\",\"p\",\"o\",1,0,7,\"T\",\"m@x.example,n@x.example\"\n"
      "\r\n"
      ",\"no address\",\"\",\"\",1,1,1\r"
      "  b@x.example\r\n"
      "\"=c@x.example\",\"'@Cut\",,,x,-1,0\rhere\",\"a line of its own\"");
  // A line ends at a CR even inside quotes, as every line of the logs does.
  ASSERT_EQ(rows.size(), 4u);
  // Any number but 0 is true; a short line's missing columns are empty or
  // false; the registry's cleaning takes off a leading "=".
  std::vector<std::string> seen;
  for (const LKXUserListCSVRow& r : std::vector(rows.begin(), rows.begin() + 3)) {
    seen.push_back(r.email + "|" + r.name + "|" + r.password + "|" + r.oldPassword + "|" + std::to_string(r.admin) +
                   std::to_string(r.accountant) + std::to_string(r.passwordReq) + "|" + r.team + "|" + r.manager);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"a@x.example|A, the first|p|o|101|T|m@x.example,n@x.example",
                                            "b@x.example||||000||", "c@x.example|@Cut|||010||"}));
}

// A line without the two leave columns keeps the user's leave keys.
TEST_F(UserListCSVTest, ImportChangesKnownUsersAddsNewOnesKeepsTheRest) {
  ASSERT_TRUE(KXAddUser("Boss@x.example", "Boss", true, false, "", "", "pw"));
  ASSERT_TRUE(KXAddUser("kept@x.example", "Kept", false, false, "", "", "pw"));
  ASSERT_TRUE(UserOf("boss@x.example").SetText(kKXUserLeaveAllowanceDays, "25"));
  const std::string path = SharedFolder() + "/in.csv";
  ASSERT_TRUE(KavrixWriteFile(path,
                              "boss@x.example,\"Big Boss\",\"new\",\"\",1,1,0,\"DefaultTeam\",\"\"\r\n"
                              "new@x.example,\"New\",\"np\",\"op\",0,0,1,\"T\",\"boss@x.example\",\"20\",\"2026:3\"\r\n"));
  EXPECT_EQ(KXImportUserList(path), 2);
  EXPECT_EQ(KXUserCount(), 3);
  EXPECT_EQ(Texts("boss@x.example", {kKXUserEmail, kKXUserName, kKXUserPassword, kKXUserAccessHR,
                                      kKXUserLeaveAllowanceDays}) +
                Texts("new@x.example", {kKXUserOldPassword, kKXUserManager, kKXUserLeaveCarryOverDays}) +
                Texts("kept@x.example", {kKXUserName}),
            "Boss@x.example|Big Boss|new|1|25|op|boss@x.example|2026:3|Kept|");
}

TEST_F(UserListCSVTest, PanelRowsNeverTouchPasswordsAndGiveNewUsersARandomOne) {
  ASSERT_TRUE(KXAddUser("old@x.example", "Old", false, false, "", "", "secret"));
  ASSERT_TRUE(KXAddUser("admin@x.example", "Admin", true, false, "", "", "pw"));
  LKXUserListCSVRow row;
  ASSERT_TRUE(KXParseUserListCSVLine("old@x.example,\"Old\",\"hacked\",\"\",0,0,0,\"\",\"\"", row));
  ASSERT_TRUE(KXStoreUserListRow(row, false));
  EXPECT_EQ(Texts("old@x.example", {kKXUserPassword, kKXUserPasswordReq}), "secret|0|");
  ASSERT_TRUE(KXParseUserListCSVLine("fresh@x.example,\"Fresh\",\"chosen\",\"\",0,0,0,\"\",\"\"", row));
  ASSERT_TRUE(KXStoreUserListRow(row, false));
  const std::string password = Texts("fresh@x.example", {kKXUserPassword});
  EXPECT_TRUE(password.size() == 7u && password != "chosen|") << password;
  // Without managers in the file, the registry's choice stays.
  EXPECT_EQ(Texts("fresh@x.example", {kKXUserPasswordReq, kKXUserManager}), "1|admin@x.example|");
}

}  // namespace
