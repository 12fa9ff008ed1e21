#include "service/control_wire.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Status = LControlMessageReader::Status;

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const unsigned char c : bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[c >> 4];
    text += kDigits[c & 15];
  }
  return text;
}

}  // namespace

TEST(ControlWireTest, MessagesHaveTheirExactBytes) {
  EXPECT_EQ(Hex(LControlMessageBytes(kLServiceStop, 0, 0, {})), "34 12 01 01 00 00 00 00 00 00 00 00 00 00 00 00");
  EXPECT_EQ(Hex(LControlMessageBytes(kLServiceReply, 0, 7, {})), "34 12 12 00 00 00 00 00 00 00 00 00 07 00 00 00");
  EXPECT_EQ(Hex(LControlLogLineBytes("10:00:01", "Hi", 1)),
            "34 12 13 00 01 00 00 00 0c 00 00 00 09 00 00 00 "
            "31 30 3a 30 30 3a 30 31 00 48 69 00");
  EXPECT_EQ(Hex(LControlNotifyBytes(5, "ab", 2)), "34 12 11 00 05 00 00 00 02 00 00 00 02 00 00 00 61 62");
  // No data: size 0 whatever was asked.
  EXPECT_EQ(Hex(LControlNotifyBytes(5, nullptr, 9)), "34 12 11 00 05 00 00 00 00 00 00 00 00 00 00 00");
}

TEST(ControlWireTest, LogLineSplitFollowsTheDesktopsRule) {
  struct Case {
    std::string payload;
    uint32_t extra;
    std::string time, message;
  } cases[] = {
      {std::string("10:00:01\0Hi\0", 12), 9, "10:00:01", "Hi"},
      {std::string("ab\0cd", 5), 0, "", "b"},          // 0 splits after the first byte
      {std::string("abcd", 4), 4, "ab", ""},           // extra == size: before the last byte
      {std::string("ab", 2), 1, "", ""},               // too short: nothing shown
      {std::string("x\0yz", 4), 2, "x", "y"},          // the last byte becomes a NUL
  };
  for (const Case& c : cases) {
    const auto [time, message] = LControlSplitLogLine(c.payload, c.extra);
    EXPECT_EQ(time, c.time) << Hex(c.payload) << " extra " << c.extra;
    EXPECT_EQ(message, c.message) << Hex(c.payload) << " extra " << c.extra;
  }
}

TEST(ControlWireTest, ReaderAssemblesMessagesFromAnySplit) {
  const std::string stream = LControlLogLineBytes("t", "one", 0) + LControlMessageBytes(kLServiceReply, 3, 42, "xyz") +
                             LControlLogLineBytes("t", "two", 1);
  for (size_t piece = 1; piece <= stream.size(); ++piece) {
    LControlMessageReader reader(false);
    std::string seen;
    LControlMessage message;
    for (size_t at = 0; at < stream.size(); at += piece) {
      reader.Feed(stream.data() + at, std::min(piece, stream.size() - at));
      Status status;
      while ((status = reader.Next(&message)) == Status::kMessage) {
        seen += std::to_string(message.header.type) + ":" + std::to_string(message.header.extra) + ":" +
                std::string(message.payload.c_str() + (message.header.type == 19 ? 2 : 0)) + ";";
      }
      ASSERT_EQ(status, Status::kNeedMore);
    }
    EXPECT_EQ(seen, "19:2:one;18:42:xyz;19:2:two;") << piece;
    EXPECT_EQ(reader.Pending(), 0u);
  }
}

TEST(ControlWireTest, ReaderTakesTheLargestPayloadAndHonoursTheNoPayloadBit) {
  // A wrong magic and a payload over the limit: control_channel_test.cpp,
  // where the service cuts such a peer off and says why.
  LControlMessage message;
  {
    LControlMessageReader reader(true);
    const std::string bytes = LControlMessageBytes(kLServiceCommand, 1, 1, std::string(kLControlMaxPayload, 'p'));
    reader.Feed(bytes.data(), bytes.size());
    EXPECT_EQ(reader.Next(&message), Status::kMessage);
    EXPECT_EQ(message.payload.size(), kLControlMaxPayload);
  }
  {
    // Bit 0x8000: no payload follows, whatever the size says; the next
    // header comes right after.
    LControlMessageReader reader(true);
    const LServiceMessageHeader header{kLServiceMagic, kLServiceQuery | kLServiceNoPayload, 0, 0xFFFFFFFF, 5};
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof(header));
    bytes += LControlMessageBytes(kLServiceQuery, 0, 6, {});
    reader.Feed(bytes.data(), bytes.size());
    ASSERT_EQ(reader.Next(&message), Status::kMessage);
    EXPECT_EQ(std::vector<uint32_t>({message.header.type, message.header.size, message.header.extra}),
              std::vector<uint32_t>({kLServiceQuery, 0, 5}));
    ASSERT_EQ(reader.Next(&message), Status::kMessage);
    EXPECT_EQ(message.header.extra, 6u);
  }
  {
    // The desktop's reader takes the bit as part of the type.
    LControlMessageReader reader(false);
    const std::string bytes = LControlMessageBytes(kLServiceLogLine | kLServiceNoPayload, 0, 1, "ab");
    reader.Feed(bytes.data(), bytes.size());
    ASSERT_EQ(reader.Next(&message), Status::kMessage);
    EXPECT_EQ(message.payload, "ab");
  }
}
