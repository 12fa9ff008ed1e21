#include "station/station_wire.h"

#include <gtest/gtest.h>

#include "station/station_client.h"

#include <string>

namespace {

using namespace std::string_literals;

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

TEST(StationWireTest, BuildersWriteExactBytes) {
  EXPECT_EQ(LKXBuildHello({0x01020304, 5}), Bytes({0xE0, 0x0E, 1, 0, 16, 0, 0, 0, 4, 3, 2, 1, 5, 0, 0, 0}));
  EXPECT_EQ(LKXBuildScreenRequest(), Bytes({0xE0, 0x0E, 5, 0, 16, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(LKXBuildStationVersionRequest(), Bytes({0xE0, 0x0E, 15, 0, 8, 0, 0, 0}));
  EXPECT_EQ(LKXBuildBusinessPrograms("ab"), Bytes({0xE0, 0x0E, 16, 0, 18, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0}) + "ab");
  // The logon reply's total stops at its fixed part; the id follows it.
  EXPECT_EQ(LKXBuildLogonReply({0, 3, "s12"}), Bytes({0xE0, 0x0E, 3, 0, 16, 0, 0, 0, 0, 0, 3, 0, 3, 0, 0, 0}) + "s12");
  EXPECT_EQ(LKXBuildLogonRequest({1, -480, "a@x", "dd"}),
            Bytes({0xE0, 0x0E, 2, 0, 21, 0, 0, 0, 3, 0, 2, 0, 1, 0, 0x20, 0xFE}) + "a@xdd");
  EXPECT_EQ(LKXBuildUserState({7, "e", "nn", "l", "", "*", "p"}),
            Bytes({0xE0, 0x0E, 11, 0, 30, 0, 0, 0, 1, 0, 2, 0, 7, 0, 1, 0, 0, 0, 1, 0, 1, 0, 0, 0}) + "ennl*p");
  EXPECT_EQ(LKXBuildActivity({0x11223344, 60, 1, 500, 7, "app", "cap!"}),
            Bytes({0xE0, 0x0E, 6, 0, 31, 0, 0, 0, 0x44, 0x33, 0x22, 0x11, 60, 0, 1, 0, 0xF4, 1, 7, 0, 3, 0, 4, 0}) + "appcap!");
  EXPECT_EQ(LKXBuildScreenshot({9, 1, "JPG"}), Bytes({0xE0, 0x0E, 7, 0, 19, 0, 0, 0, 9, 0, 0, 0, 1, 0, 0, 0}) + "JPG");
  EXPECT_EQ(LKXBuildPopupMessage({"Ann", "hi"}), Bytes({0xE0, 0x0E, 13, 0, 21, 0, 0, 0, 3, 0, 2, 0, 0, 0, 0, 0}) + "Annhi");
}

// Round trips of every message are the fuzz target's; these are the cuts.
TEST(StationWireTest, TextsAreKeptAsTheyCameButCutToWhatAU16Says) {
  LKXPresence p;
  ASSERT_EQ(LKXParsePresence(LKXBuildPresence({3, "Office", "Word", "Doc\0x"s, "123"}), p), LKXWireStatus::kOk);
  EXPECT_EQ(p.caption, "Doc\0x"s);  // the server cuts
  LKXPopupRequest r;
  ASSERT_EQ(LKXParsePopupRequest(LKXBuildPopupRequest({"a@x, b@x", std::string(70000, 'm')}), r), LKXWireStatus::kOk);
  EXPECT_EQ(r.message.size(), kLKXMaxWireString);
}

TEST(StationWireTest, MalformedMessagesGetAClearStatus) {
  LKXActivityRecord out;
  const std::string good = LKXBuildActivity({1, 2, 0, 0, 0, "app", "cap"});
  EXPECT_EQ(LKXParseActivity(good.substr(0, good.size() - 1), out), LKXWireStatus::kShort);
  std::string magic = good;
  magic[0] = 0x0F;
  EXPECT_EQ(LKXParseActivity(magic, out), LKXWireStatus::kBadMagic);
  EXPECT_EQ(LKXParseActivity(LKXBuildManualHours({}), out), LKXWireStatus::kWrongType);
  // Strings that reach past the announced end.
  EXPECT_EQ(LKXParseActivity(WithTotal(good, 25), out), LKXWireStatus::kBadLength);
  // A longer total is fine: the reader discards the rest.
  EXPECT_EQ(LKXParseActivity(WithTotal(good + "zz", good.size() + 2), out), LKXWireStatus::kOk);
  // Without strings a small total does no harm: the fixed part is read anyway.
  EXPECT_EQ(LKXParseActivity(WithTotal(LKXBuildActivity({}), 8), out), LKXWireStatus::kOk);
  LKXScreenshot shot;
  const std::string header = LKXBuildScreenshot({});
  EXPECT_EQ(LKXParseScreenshot(WithTotal(header, 12), shot), LKXWireStatus::kBadLength);
  EXPECT_EQ(LKXParseScreenshot(WithTotal(header, kLKXMaxScreenshotMessage + 1), shot),
            LKXWireStatus::kTooLarge);
  EXPECT_EQ(LKXParseScreenshot(WithTotal(header, kLKXMaxScreenshotMessage), shot),
            LKXWireStatus::kShort);
}

TEST(StationWireTest, BodyBytesFollowTheFixedPart) {
  std::size_t body = 0;
  EXPECT_TRUE(LKXBodyBytes(LKXBuildPresence({0, "ab", "c", "", "dddd"}), body) && body == 7u);
  EXPECT_TRUE(LKXBodyBytes(LKXBuildScreenshot({0, 0, std::string(100, 'x')}), body) && body == 100u);
  EXPECT_FALSE(LKXBodyBytes(LKXBuildPresence({}).substr(0, 20), body));
  std::string unknown = LKXBuildStationVersionRequest();
  unknown[2] = 4;  // no message has type 4
  EXPECT_FALSE(LKXBodyBytes(unknown, body));
}

// What a reader of server messages takes from the wire: the total, but for
// the logon reply 16 plus its id.
TEST(StationWireTest, WireBytesFollowTheTotalButForTheLogonReply) {
  const struct {
    std::string bytes;
    bool known;
    std::size_t whole;
  } cases[] = {
      {LKXBuildLogonReply({0, 2, std::string(10, 'i')}), true, 26},
      // once sent: still 16 + id
      {WithTotal(LKXBuildLogonReply({0, 0, std::string(10, 'i')}), 26), true, 26},
      {LKXBuildUserState({5, "e", "n", "l", "a", "c", "p"}), true, 30},
      {WithTotal(LKXBuildUserState({5, "e", "n", "", "", "", ""}), 25), false, 0},
      {WithTotal(LKXBuildScreenshot({}), 3), true, 16},
      {LKXBuildLogonReply({}).substr(0, 15), false, 0},
  };
  for (const auto& c : cases) {
    std::size_t whole = 99;
    EXPECT_EQ(LKXWireBytes(c.bytes, whole), c.known) << c.bytes.size();
    EXPECT_EQ(whole, c.whole) << c.bytes.size();  // 0 when not known
  }
  // The parser reads the id by its length whatever the total says.
  LKXLogonReply parsed;
  ASSERT_EQ(LKXParseLogonReply(LKXBuildLogonReply({0, 2, "abc"}), parsed), LKXWireStatus::kOk);
  EXPECT_EQ(parsed.sessionId + std::to_string(parsed.recordingFlags), "abc2");
  EXPECT_EQ(LKXParseLogonReply(LKXBuildLogonReply({0, 2, "abc"}).substr(0, 18), parsed), LKXWireStatus::kShort);
}

TEST(StationWireTest, ReceivedTextEndsAtNulAndIsCut) {
  EXPECT_EQ(LKXWireText("ab\0cd"s), "ab");
  EXPECT_EQ(LKXWireText(std::string(300, 'x')), std::string(259, 'x'));
  EXPECT_EQ(LKXWireText(std::string(300, 'x'), true), std::string(300, 'x'));
}

}  // namespace
