#include <gtest/gtest.h>

#include <sys/socket.h>

#include <mutex>
#include <string>

#include "foundation/settings_sections.h"
#include "model/users.h"
#include "station/presence_seq.h"
#include "station/server_connection.h"
#include "station/station_client.h"
#include "station/station_limits.h"
#include "station/station_pages.h"
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
  // Registered main sessions of `email`.
  static int SessionsOf(const std::string& email) {
    std::lock_guard<std::mutex> lock(LKXServer::loConnections);
    int count = 0;
    for (const LKXServerConnection* connection : LKXServer::lConnections) count += connection->UserName() == email;
    return count;
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

// A station whose buffers are full stalls only its own session: the sender
// and the other mates carry on, and the stalled one is dropped when its
// send times out (lowered here from 50 s).
TEST_F(PresenceTest, AStationThatStopsReadingDelaysNobodyAndIsDropped) {
  limits = LKXStationLimits{kLKXBodySilenceMs, kLKXMaxConnectionsPerUser, 300};
  AddUser("deaf@x", "Deaf", "Sales", "pw");
  StationClient ann, bob, deaf;
  ASSERT_TRUE(Connect(ann, "ann@x"));
  // Small buffers at both ends, so that a few reports fill them.
  ASSERT_TRUE(deaf.Open(Port()));
  const int small = 4096;
  ASSERT_EQ(setsockopt(deaf.Fd(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small), 0);
  ASSERT_EQ(setsockopt(StationServerEnd(deaf.Fd()), SOL_SOCKET, SO_SNDBUF, &small, sizeof small), 0);
  ASSERT_TRUE(deaf.Logon("deaf@x", "pw"));
  ASSERT_TRUE(Connect(bob, "bob@x"));
  LKXPresence report = Report(kLKXPresenceActive, std::string(300, 'c'));
  report.application = std::string(300, 'a');
  int sent = 0;
  for (; sent < 2000 && SessionsOf("deaf@x") > 0; ++sent) {
    report.location = "L" + std::to_string(sent);
    ASSERT_TRUE(bob.Send(LKXBuildPresence(report)));
    ASSERT_TRUE(bob.Sync()) << sent;
    LKXUserState seen;
    ASSERT_TRUE(ann.WaitState("bob@x", kLKXUserStateActive, seen)) << sent;
    ASSERT_EQ(seen.location, report.location);
  }
  EXPECT_EQ(SessionsOf("deaf@x"), 0) << "still there after " << sent << " reports";
  EXPECT_TRUE(deaf.PeerClosed());
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
