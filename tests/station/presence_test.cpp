#include <gtest/gtest.h>

#include <string>

#include "foundation/settings_sections.h"
#include "model/users.h"
#include "station/server_connection.h"
#include "station/station_client.h"
#include "support/loopback.h"

namespace {

class PresenceTest : public StationTest {
 protected:
  void SetUp() override {
    StationTest::SetUp();
    AddUser("ann@x", "Ann", "Sales", "pw");
    AddUser("bob@x", "Bob", "Support, sales", "pw");
  }
  static LKXPresence Report(std::uint16_t flags, const std::string& caption = "Budget.xls") {
    return LKXPresence{flags, "Desk 4", "Excel", caption, "555"};
  }
};

// What mates see of a change is the simulator test's; here what the record
// keeps of it. A user connected twice stays connected until the first
// connection ends.
TEST_F(PresenceTest, TheRecordKeepsTheStateAndPrivateUsersShowAStar) {
  StationClient ann, bob, second;
  ASSERT_TRUE(ConnectAll({{&ann, "ann@x"}, {&bob, "bob@x"}, {&second, "BOB@x"}}));
  LKXUserState seen;
  ASSERT_TRUE(second.Send(LKXBuildPresence(Report(kLKXPresenceActive))));
  ASSERT_TRUE(ann.WaitState("bob@x", kLKXUserStateActive, seen));
  EXPECT_EQ(UserKey("bob@x", "Connected") + UserKey("bob@x", "StateActive") +
                UserKey("bob@x", "StatePrivate"),
            "110");
  ASSERT_TRUE(second.Send(LKXBuildPresence(Report(kLKXPresencePrivate))));
  ASSERT_TRUE(ann.WaitState("bob@x", 6, seen));
  EXPECT_EQ(seen.caption + UserKey("bob@x", "LastCaption"), "*Budget.xls");
  bob.Close();
  ASSERT_TRUE(ann.WaitState("bob@x", kLKXUserStateOffline, seen));
  EXPECT_EQ(UserKey("bob@x", "Connected"), "0");
  ASSERT_TRUE(second.Send(LKXBuildPresence(Report(0))));
  ASSERT_TRUE(ann.WaitState("bob@x", kLKXUserStateIdle, seen));
}

TEST_F(PresenceTest, CaptionsFollowTheOrganisationRule) {
  AddUser("dan@x", "Dan", "Sales", "pw", {"ShowDetails=0"});
  StationClient dan, ann;
  ASSERT_TRUE(ConnectAll({{&dan, "dan@x"}, {&ann, "ann@x"}}));
  LSettingSetString("Settings", "ShowUserCaptions", "1");
  ASSERT_TRUE(dan.Send(LKXBuildPresence(Report(kLKXPresenceActive, "Secret.doc"))));
  ASSERT_TRUE(ann.Send(LKXBuildPresence(Report(kLKXPresenceActive, "Open.doc"))));
  ASSERT_TRUE(dan.Sync() && ann.Sync());
  EXPECT_EQ(UserKey("dan@x", "LastCaption") + "|" + UserKey("ann@x", "LastCaption"), "|Open.doc");
  LSettingSetString("Settings", "ShowUserCaptions", "-1");
  ASSERT_TRUE(ann.Send(LKXBuildPresence(Report(kLKXPresenceActive, "Other.doc"))));
  ASSERT_TRUE(ann.Sync());
  EXPECT_EQ(UserKey("ann@x", "LastCaption"), "");
  LSettingSetString("Settings", "ShowUserCaptions", "0");
  ASSERT_TRUE(dan.Send(LKXBuildPresence(Report(kLKXPresenceActive, "Secret.doc"))));
  ASSERT_TRUE(dan.Sync());
  EXPECT_EQ(UserKey("dan@x", "LastCaption"), "Secret.doc");
}

TEST_F(PresenceTest, ADeletedRecordIsNotBroughtBack) {
  StationClient bob;
  ASSERT_TRUE(Connect(bob, "bob@x"));
  LKXUser record;
  ASSERT_TRUE(KXGetUser("bob@x", record));
  const std::string path = record.GetPath();
  ASSERT_TRUE(KXDeleteUser("bob@x"));
  ASSERT_TRUE(bob.Send(LKXBuildPresence(Report(kLKXPresenceActive))));
  ASSERT_TRUE(bob.Send(LKXBuildActivity({1709546400, 60, 0, 0, 0, "app", "cap"})));
  ASSERT_TRUE(bob.Sync());
  EXPECT_FALSE(KavrixFileExists(path));
  EXPECT_FALSE(KavrixFolderEntries(Archive("bob@x")).empty());  // activity still recorded
  bob.Close();
  StationClient ann;
  ASSERT_TRUE(Connect(ann, "ann@x"));  // the session still works after the log-off
  ASSERT_TRUE(ann.Sync());
  EXPECT_FALSE(KavrixFileExists(path));
}

TEST_F(PresenceTest, StoppingAUsersConnectionsEndsThem) {
  StationClient bob, ann;
  ASSERT_TRUE(ConnectAll({{&bob, "bob@x"}, {&ann, "ann@x"}}));
  ASSERT_TRUE(bob.Sync());
  LKXServer::StopConnectionsOfUser("BOB@X");
  EXPECT_TRUE(bob.PeerClosed());
  EXPECT_TRUE(ann.Sync());
}

}  // namespace
