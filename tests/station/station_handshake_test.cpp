#include <gtest/gtest.h>

#include <sys/socket.h>

#include <string>

#include "foundation/settings_sections.h"
#include "station/station_client.h"
#include "support/loopback.h"
#include "web/session/weblet_session.h"

namespace {

class StationHandshakeTest : public StationTest {};

TEST_F(StationHandshakeTest, HelloCarriesOneChallengeAndTheSwitchedOffFeatures) {
  for (const char* mode : {"ModeHours", "ModeQA", "ModeLeave"}) {
    LSettingSetString("Settings", mode, "0");
  }
  StationClient first, second;
  ASSERT_TRUE(first.Open(Port()) && second.Open(Port()));
  EXPECT_NE(first.Hello().challenge, 0u);
  EXPECT_EQ(second.HelloBytes(),
            LKXBuildHello({first.Hello().challenge,
                           kLKXFeatureNoActivity | kLKXFeatureNoHours | kLKXFeatureNoLeave}));
}

TEST_F(StationHandshakeTest, LogonCreatesAStationSessionThatEndsWithTheConnection) {
  AddUser("Ann@Office.com", "Ann", "Sales", "pw");
  StationClient station;
  ASSERT_TRUE(station.Open(Port()));
  ASSERT_TRUE(station.Logon("ann@OFFICE.com", "pw", kLKXStationMainSession, 480));
  const std::string id = station.Reply().sessionId;
  ASSERT_FALSE(id.empty());
  const std::string sessionFile = LWebletSessionData::Folder() + "/" + id + ".sess";
  EXPECT_EQ(KavrixReadFile(sessionFile), "staaddr=127.0.0.1&stacon=1&user=ann%40OFFICE.com");
  EXPECT_EQ(UserKey("ann@office.com", "TimeZone"), "480");
  ASSERT_TRUE(station.Sync());
  station.Close();
  ASSERT_TRUE(KavrixWaitUntil([&] { return !KavrixFileExists(sessionFile); }));
}

TEST_F(StationHandshakeTest, RefusalsAreLoggedAndEndTheConnection) {
  AddUser("ann@x", "Ann", "Sales", "pw");
  AddUser("nopw@x", "No Password", "Sales", "");
  const struct {
    const char* user;
    const char* password;
    const char* logged;
  } cases[] = {{"ann@x", "PW", ". Bad password."},
               {"bob@x", "pw", ". User doesn't exist."},
               // Without a password the digest would follow from the challenge alone.
               {"nopw@x", "", ". Bad password."}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.user);
    EXPECT_TRUE(Refused(c.user, c.password));
    EXPECT_TRUE(StationLogged(std::string(c.user) + " attempted logon from 127.0.0.1:", c.logged));
  }
  EXPECT_TRUE(KavrixFolderEntries(LWebletSessionData::Folder()).empty());
}

TEST_F(StationHandshakeTest, RecordingFlagsFollowTheUserRecord) {
  AddUser("plain@x", "P", "T", "pw");
  AddUser("noact@x", "A", "T", "pw", {"LogActivity=0"});
  AddUser("noshot@x", "S", "T", "pw", {"LogScreenShot=0"});
  AddUser("mon@x", "M", "T", "pw", {"Monitor=1"});
  const std::pair<const char*, std::uint32_t> cases[] = {
      {"plain@x", 0}, {"noact@x", 1}, {"noshot@x", 2}, {"mon@x", 3}};
  for (const auto& [user, flags] : cases) {
    StationClient station;
    ASSERT_TRUE(Connect(station, user, 0)) << user;
    EXPECT_EQ(station.Reply().recordingFlags, flags) << user;
  }
  // Connections without the main-session flag log nothing at logon.
  EXPECT_FALSE(StationLogged("plain@x logged on"));
}

TEST_F(StationHandshakeTest, MalformedLogonRequestsEndSilently) {
  AddUser("ann@x", "Ann", "Sales", "pw");
  LKXLogonRequest request{1, 0, "ann@x", "d"};
  // Wrong type, bad magic, a total that cuts the strings.
  for (const auto& [at, byte] : {std::pair{2, 6}, {1, 0}, {4, 17}}) {
    std::string bytes = LKXBuildLogonRequest(request);
    bytes[at] = static_cast<char>(byte);
    StationClient station;
    ASSERT_TRUE(station.Open(Port()) && station.Send(bytes));
    EXPECT_TRUE(station.PeerClosed()) << at;
  }
  EXPECT_FALSE(StationLogged("ann@x"));
}

}  // namespace
