#include <gtest/gtest.h>

#include <sys/socket.h>

#include <string>

#include "foundation/settings_sections.h"
#include "station/station_client.h"
#include "support/log_reader.h"
#include "support/loopback.h"
#include "web/session/weblet_session.h"

namespace {

// A log line that begins with `prefix` and ends with `suffix` (the peer's
// port in between is not known to the test).
bool HasLogLine(const std::string& prefix, const std::string& suffix = "") {
  for (const std::string& line : KavrixLogMessages()) {
    if (line.rfind(prefix, 0) == 0 && line.size() >= prefix.size() + suffix.size() &&
        line.compare(line.size() - suffix.size(), suffix.size(), suffix) == 0) {
      return true;
    }
  }
  return false;
}

class StationHandshakeTest : public StationTest {};

TEST_F(StationHandshakeTest, HelloCarriesOneChallengeAndTheSwitchedOffFeatures) {
  LSettingSetString("Settings", "ModeHours", "0");
  LSettingSetString("Settings", "ModeLeave", "");
  StationClient first;
  ASSERT_TRUE(first.Open(Port()));
  const std::string& hello = first.HelloBytes();
  EXPECT_EQ(hello.substr(0, 8), std::string("\xE0\x0E\x01\x00\x10\x00\x00\x00", 8));
  EXPECT_EQ(first.Hello().features, kLKXFeatureNoHours);
  EXPECT_NE(first.Hello().challenge, 0u);
  LSettingSetString("Settings", "ModeQA", "0");
  LSettingSetString("Settings", "ModeLeave", "0");
  StationClient second;
  ASSERT_TRUE(second.Open(Port()));
  EXPECT_EQ(second.Hello().challenge, first.Hello().challenge);
  EXPECT_EQ(second.Hello().features, kLKXFeatureNoActivity | kLKXFeatureNoHours | kLKXFeatureNoLeave);
}

TEST_F(StationHandshakeTest, LogonCreatesAStationSessionThatEndsWithTheConnection) {
  AddUser("Ann@Office.com", "Ann", "Sales", "pw");
  StationClient station;
  ASSERT_TRUE(station.Open(Port()));
  ASSERT_TRUE(station.Logon("ann@OFFICE.com", "pw", kLKXStationMainSession, 480));
  const std::string id = station.Reply().sessionId;
  ASSERT_FALSE(id.empty());
  // Total 16, then the id by the length at offset 10, as stations read it.
  EXPECT_EQ(station.ReplyBytes(), std::string("\xE0\x0E\x03\x00\x10\0\0\0\0\0", 10) + static_cast<char>(id.size()) +
                                      std::string("\0\0\0\0\0", 5) + id);
  const std::string sessionFile = LWebletSessionData::Folder() + "/" + id + ".sess";
  EXPECT_EQ(KavrixReadFile(sessionFile), "staaddr=127.0.0.1&stacon=1&user=ann%40OFFICE.com");
  EXPECT_EQ(UserKey("ann@office.com", "TimeZone"), "480");
  EXPECT_TRUE(HasLogLine("ann@OFFICE.com logged on from 127.0.0.1:"));
  ASSERT_TRUE(station.Sync());
  station.Close();
  ASSERT_TRUE(KavrixWaitUntil([&] { return !KavrixFileExists(sessionFile); }));
  ASSERT_TRUE(KavrixWaitUntil([] { return HasLogLine("ann@OFFICE.com logged off"); }));
}

TEST_F(StationHandshakeTest, RefusalsAreLoggedAndEndTheConnection) {
  AddUser("ann@x", "Ann", "Sales", "pw");
  AddUser("nopw@x", "No Password", "Sales", "");
  StationClient wrong;
  ASSERT_TRUE(wrong.Open(Port()));
  EXPECT_FALSE(wrong.Logon("ann@x", "PW"));
  EXPECT_EQ(wrong.ReplyBytes(), std::string("\xE0\x0E\x03\x00\x10\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00", 16));
  EXPECT_TRUE(wrong.PeerClosed());
  StationClient unknown;
  ASSERT_TRUE(unknown.Open(Port()));
  EXPECT_FALSE(unknown.Logon("bob@x", "pw"));
  EXPECT_EQ(unknown.Reply().result, kLKXLogonRefused);
  EXPECT_TRUE(unknown.PeerClosed());
  // Without a password the digest would follow from the challenge alone.
  StationClient empty;
  ASSERT_TRUE(empty.Open(Port()));
  EXPECT_FALSE(empty.Logon("nopw@x", ""));
  EXPECT_TRUE(empty.PeerClosed());
  EXPECT_TRUE(HasLogLine("ann@x attempted logon from 127.0.0.1:", ". Bad password."));
  EXPECT_TRUE(HasLogLine("bob@x attempted logon from 127.0.0.1:", ". User doesn't exist."));
  EXPECT_TRUE(HasLogLine("nopw@x attempted logon from 127.0.0.1:", ". Bad password."));
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
  EXPECT_FALSE(HasLogLine("plain@x logged on"));
}

TEST_F(StationHandshakeTest, MalformedLogonRequestsEndSilently) {
  AddUser("ann@x", "Ann", "Sales", "pw");
  LKXLogonRequest request{1, 0, "ann@x", "d"};
  std::string wrongType = LKXBuildLogonRequest(request);
  wrongType[2] = 6;
  std::string badMagic = LKXBuildLogonRequest(request);
  badMagic[1] = 0;
  std::string shortTotal = LKXBuildLogonRequest(request);
  shortTotal[4] = 17;
  for (const std::string& bytes : {wrongType, badMagic, shortTotal}) {
    StationClient station;
    ASSERT_TRUE(station.Open(Port()));
    ASSERT_TRUE(station.Send(bytes));
    EXPECT_TRUE(station.PeerClosed());
  }
  // Cut short: the server waits for the rest, then gives up when the
  // station closes its side.
  StationClient cut;
  ASSERT_TRUE(cut.Open(Port()));
  ASSERT_TRUE(cut.Send(LKXBuildLogonRequest(request).substr(0, 18)));
  shutdown(cut.Fd(), SHUT_WR);
  EXPECT_TRUE(cut.PeerClosed());
  EXPECT_FALSE(HasLogLine("ann@x"));
}

TEST_F(StationHandshakeTest, ExtraLogonBytesAreSkipped) {
  AddUser("ann@x", "Ann", "Sales", "pw");
  StationClient station;
  ASSERT_TRUE(station.Open(Port()));
  LKXLogonRequest request{1, 0, "ann@x", StationDigest(station.Hello().challenge, "pw")};
  std::string bytes = LKXBuildLogonRequest(request) + "EXTRA";
  bytes[4] = static_cast<char>(bytes.size());
  ASSERT_TRUE(station.Send(bytes));
  const std::string reply = station.Read();
  LKXLogonReply parsed;
  ASSERT_EQ(LKXParseLogonReply(reply, parsed), LKXWireStatus::kOk);
  EXPECT_EQ(parsed.result, kLKXLogonAccepted);
  EXPECT_TRUE(station.Sync());
}

}  // namespace
