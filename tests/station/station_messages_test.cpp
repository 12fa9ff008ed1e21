#include <gtest/gtest.h>

#include <sys/socket.h>

#include <string>

#include "foundation/date_time.h"
#include "foundation/settings_sections.h"
#include "model/image_test_helpers.h"
#include "station/station_client.h"
#include "support/loopback.h"
#include "support/test_dates.h"
#include "support/time_zone.h"

namespace {

using namespace std::string_literals;

// The server's zone is 10 hours east of UTC for the whole test (set before
// the server starts: connections take the offset when they begin).
class StationMessagesTest : public StationTest {
 protected:
  void SetUp() override {
    StationTest::SetUp();
    AddUser("ann@x", "Ann", "Sales", "pw");
  }
  // A record time as stations send it.
  static std::uint32_t WireTime(const char* date, const char* time) {
    return static_cast<std::uint32_t>(KavrixAt(date, time).value);
  }
  std::string Log(const std::string& name) { return KavrixReadFile(Archive("ann@x") + "/" + name); }
  KavrixScopedTimeZone zone_{"<+10>-10"};
};

TEST_F(StationMessagesTest, RecordsAreStoredInTheStationsClockTime) {
  StationClient east;  // +480: two hours behind the server
  ASSERT_TRUE(Connect(east, "ann@x", kLKXStationMainSession, 480));
  ASSERT_TRUE(east.Send(LKXBuildActivity({WireTime("2024-03-04", "10:00:00"), 60, 1, 12, 3, "Word", "Doc\0tail"s})));
  ASSERT_TRUE(east.Send(LKXBuildManualHours({WireTime("2024-03-04", "11:00:00"), 1800, 3, "Meeting"})));
  ASSERT_TRUE(east.Sync());
  EXPECT_EQ(Log("2024-03-04_activity.csv"), "08:00:00,60,1,12,3,\"Word\",\"Doc\"\r\n");
  EXPECT_EQ(Log("2024-03-04_manual.csv"), "09:00:00,1800,1,\"Meeting\"\r\n");
}

TEST_F(StationMessagesTest, ScreenshotsAreStoredAndBadSizesHandled) {
  StationClient station;
  ASSERT_TRUE(Connect(station, "ann@x", kLKXStationMainSession, 480));
  const std::string jpeg = MakeJpeg(64, 48);
  ASSERT_TRUE(station.Send(LKXBuildScreenshot({WireTime("2024-03-04", "10:00:05"), kLKXFlagJpeg, jpeg})));
  // Below 16: skipped after its fixed part; the session goes on.
  ASSERT_TRUE(station.Send(WithTotal(LKXBuildScreenshot({}), 10)));
  ASSERT_TRUE(station.Sync());
  const std::string folder = Archive("ann@x") + "/2024-03-04_qascreens";
  EXPECT_EQ(KavrixReadFile(folder + "/08-00-05.jpg"), jpeg);
  EXPECT_EQ(KavrixFolderEntries(folder), (std::vector<std::string>{"08-00-05.jpg", "_08-00-05.jpg"}));
}

TEST_F(StationMessagesTest, VersionAndBusinessProgramsAreAnswered) {
  LSettingSetString("Company", "BusinessPrograms", "word.exe, excel.exe");
  StationClient station;
  ASSERT_TRUE(Connect(station, "ann@x"));
  ASSERT_TRUE(station.Send(LKXBuildStationVersionRequest()));
  EXPECT_EQ(station.ReadType(kLKXMsgStationVersion),
            std::string("\xE0\x0E\x0E\x00\x14\x00\x00\x00\x04\x00\x00\x00\x00\x00\x00\x00", 16) + "1.61");
  ASSERT_TRUE(station.Send(LKXBuildBusinessProgramsRequest()));
  EXPECT_EQ(station.ReadType(kLKXMsgBusinessPrograms), LKXBuildBusinessPrograms("word.exe, excel.exe"));
  LSettingSetString("Company", "SendBusinessProgramsList", "0");
  // Extra bytes announced by the total length are read and dropped.
  ASSERT_TRUE(station.Send(WithTotal(LKXBuildBusinessProgramsRequest() + "xyz", 11)));
  EXPECT_EQ(station.ReadType(kLKXMsgBusinessPrograms),
            std::string("\xE0\x0E\x10\x00\x10\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00", 16));
  EXPECT_TRUE(station.Sync());
}

TEST_F(StationMessagesTest, MalformedMessagesEndOnlyTheirOwnSession) {
  StationClient other;
  ASSERT_TRUE(Connect(other, "ann@x"));
  std::string wrongMagic = LKXBuildStationVersionRequest();
  wrongMagic[0] = 0x0E;
  // Strings longer than the message: its end cannot be known.
  const std::string overlong = WithTotal(LKXBuildActivity({WireTime("2024-03-04", "10:00:00"), 60, 0, 0, 0, "app", "cap"}), 24);
  for (const std::string& bad : {wrongMagic, overlong}) {
    StationClient station;
    ASSERT_TRUE(Connect(station, "ann@x"));
    ASSERT_TRUE(station.Send(bad));
    EXPECT_TRUE(station.PeerClosed());
  }
  // A station that stops in the middle of a message: nothing half written.
  StationClient cut;
  ASSERT_TRUE(Connect(cut, "ann@x"));
  const std::string activity = LKXBuildActivity({WireTime("2024-03-04", "10:00:00"), 60, 0, 0, 0, "app", "caption"});
  ASSERT_TRUE(cut.Send(activity.substr(0, activity.size() - 3)));
  shutdown(cut.Fd(), SHUT_WR);
  EXPECT_TRUE(cut.PeerClosed());
  EXPECT_FALSE(KavrixFileExists(Archive("ann@x") + "/2024-03-04_activity.csv"));
  EXPECT_TRUE(other.Sync());
}

}  // namespace
