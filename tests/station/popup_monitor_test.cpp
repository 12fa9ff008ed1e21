#include <gtest/gtest.h>

#include <string>

#include "foundation/settings_sections.h"
#include "model/image_test_helpers.h"
#include "station/station_client.h"
#include "support/loopback.h"

namespace {

class PopupMonitorTest : public StationTest {
 protected:
  void SetUp() override {
    StationTest::SetUp();
    AddUser("ann@x", "Ann Lee", "Sales", "pw");
    AddUser("bob@x", "Bob", "Sales", "pw", {}, "someone@x, ANN@x");
    AddUser("cat@x", "Cat", "Other", "pw", {}, "bob@x");
  }
  // A watcher's request for `user`; returns the reply's result, or -1.
  int Watch(StationClient& watcher, const std::string& as, const std::string& user) {
    if (!Connect(watcher, as, 0) || !watcher.Send(LKXBuildScreenMonitorRequest({user}))) return -1;
    // Every monitor reply is a logon reply with no id.
    LKXLogonReply parsed;
    const std::string reply = watcher.Read();
    if (LKXParseLogonReply(reply, parsed) != LKXWireStatus::kOk || reply.size() != 16) return -1;
    return parsed.result;
  }
  std::string Screens() const { return Archive("bob@x"); }
};

TEST_F(PopupMonitorTest, PopupsReachEveryMainSessionOfEachRecipient) {
  StationClient ann, bob1, bob2, cat, catSide;
  ASSERT_TRUE(ConnectAll({{&ann, "ann@x"}, {&bob1, "bob@x"}, {&bob2, "bob@x"}, {&cat, "cat@x"}}));
  ASSERT_TRUE(Connect(catSide, "cat@x", 0));  // not a main session
  ASSERT_TRUE(ann.Send(LKXBuildPopupRequest({"BOB@x, cat@x,nobody@x", "Lunch?"})));
  const std::string expected = LKXBuildPopupMessage({"Ann Lee", "Lunch?"});
  for (StationClient* to : {&bob1, &bob2, &cat}) EXPECT_EQ(to->ReadType(kLKXMsgPopupMessage), expected);
  std::string skipped;
  ASSERT_TRUE(catSide.Sync(&skipped) && ann.Sync());
  EXPECT_EQ(skipped, "");
}

TEST_F(PopupMonitorTest, MonitorRequestsAreRefusedWithTheirReason) {
  StationClient bob;
  ASSERT_TRUE(Connect(bob, "bob@x"));
  StationClient w1, w2, w3, w4;
  EXPECT_EQ(Watch(w1, "ann@x", "ann@X"), kLKXMonitorSelf);
  EXPECT_EQ(Watch(w2, "cat@x", "bob@x"), kLKXMonitorNotManager);
  EXPECT_EQ(Watch(w3, "bob@x", "cat@x"), kLKXMonitorNotConnected);
  LSettingSetString("Settings", "ModeQA", "0");
  EXPECT_EQ(Watch(w4, "ann@x", "ann@x"), kLKXMonitorSwitchedOff);
  for (StationClient* watcher : {&w1, &w2, &w3, &w4}) EXPECT_TRUE(watcher->PeerClosed());
}

// Frames are relayed until either end leaves.
TEST_F(PopupMonitorTest, FramesAreRelayedUntilTheWatcherOrTheWatchedStationLeaves) {
  StationClient bob, watcher, second;
  ASSERT_TRUE(Connect(bob, "bob@x"));
  const std::size_t before = Server().GetThreadCount();
  ASSERT_EQ(Watch(watcher, "ann@x", "BOB@x"), kLKXMonitorAccepted);
  EXPECT_EQ(bob.ReadType(kLKXMsgScreenRequest), LKXBuildScreenRequest());
  const std::string jpeg = MakeJpeg(32, 24);
  ASSERT_TRUE(bob.Send(LKXBuildScreenshot({1709546400, kLKXFlagJpeg, jpeg})));
  EXPECT_EQ(watcher.Read(), LKXBuildScreenshot({0, kLKXFlagJpeg, jpeg}));
  // The watch is in the access audit, written before the first frame went out.
  const std::vector<std::string> audits = KavrixFolderEntries(SharedFolder() + "/Audit");
  ASSERT_EQ(audits.size(), 1u);
  EXPECT_NE(KavrixReadFile(SharedFolder() + "/Audit/" + audits[0])
                .find(",\"ann@x\",\"bob@x\",\"live screen\",\"127.0.0.1:"),
            std::string::npos);
  // The next request follows the answer.
  EXPECT_EQ(bob.ReadType(kLKXMsgScreenRequest), LKXBuildScreenRequest());
  ASSERT_TRUE(bob.Sync());
  // Watched frames are not archived so soon after the last stored one.
  EXPECT_TRUE(KavrixFolderEntries(Screens()).empty());
  watcher.Close();
  ASSERT_TRUE(KavrixWaitUntil([&] { return Server().GetThreadCount() == before; }));
  // Unwatched again: a picture goes to the archive.
  ASSERT_TRUE(bob.Send(LKXBuildScreenshot({1709546460, kLKXFlagJpeg, jpeg})));
  ASSERT_TRUE(bob.Sync());
  EXPECT_FALSE(KavrixFolderEntries(Screens()).empty());
  ASSERT_EQ(Watch(second, "ann@x", "bob@x"), kLKXMonitorAccepted);
  EXPECT_EQ(bob.ReadType(kLKXMsgScreenRequest), LKXBuildScreenRequest());
  bob.Close();
  EXPECT_TRUE(second.PeerClosed());
}

}  // namespace
