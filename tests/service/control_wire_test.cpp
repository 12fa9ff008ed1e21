#include "service/control_wire.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Status = LControlMessageReader::Status;

std::string Bytes(std::initializer_list<unsigned char> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST(ControlWireTest, MessagesHaveTheirExactBytes) {
  EXPECT_EQ(LControlMessageBytes(kLServiceReply, 0, 7, "x"),
            Bytes({0x34, 0x12, 0x12, 0, 0, 0, 0, 0, 1, 0, 0, 0, 7, 0, 0, 0, 'x'}));
  EXPECT_EQ(LControlLogLineBytes("10:00:01", "Hi", 1),
            Bytes({0x34, 0x12, 0x13, 0, 1, 0, 0, 0, 12, 0, 0, 0, 9, 0, 0, 0}) +
                std::string("10:00:01\0Hi\0", 12));
  EXPECT_EQ(LControlNotifyBytes(5, "ab", 2),
            Bytes({0x34, 0x12, 0x11, 0, 5, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 'a', 'b'}));
  // No data: size 0 whatever was asked.
  EXPECT_EQ(LControlNotifyBytes(5, nullptr, 9),
            Bytes({0x34, 0x12, 0x11, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(ControlWireTest, LogLineSplitFollowsTheDesktopsRule) {
  struct Case {
    std::string payload;
    uint32_t extra;
    std::pair<std::string, std::string> timeAndMessage;
  } cases[] = {
      {std::string("10:00:01\0Hi\0", 12), 9, {"10:00:01", "Hi"}},
      {std::string("ab\0cd", 5), 0, {"", "b"}},  // 0 splits after the first byte
      {std::string("abcd", 4), 4, {"ab", ""}},   // extra == size: before the last byte
      {std::string("ab", 2), 1, {"", ""}},       // too short: nothing shown
      {std::string("x\0yz", 4), 2, {"x", "y"}},  // the last byte becomes a NUL
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.payload.size() << " bytes, extra " << c.extra);
    EXPECT_EQ(LControlSplitLogLine(c.payload, c.extra), c.timeAndMessage);
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

// A wrong magic and a payload over the limit: control_channel_test.cpp,
// where the service cuts such a peer off and says why.
TEST(ControlWireTest, ReaderTakesTheLargestPayloadAndHonoursTheNoPayloadBit) {
  LControlMessage message;
  LControlMessageReader service(true);
  // Bit 0x8000: no payload follows, whatever the size says; the next header
  // comes right after.
  const LServiceMessageHeader header{kLServiceMagic, kLServiceQuery | kLServiceNoPayload, 0,
                                     0xFFFFFFFF, 5};
  const std::string bytes =
      std::string(reinterpret_cast<const char*>(&header), sizeof(header)) +
      LControlMessageBytes(kLServiceCommand, 1, 6, std::string(kLControlMaxPayload, 'p'));
  service.Feed(bytes.data(), bytes.size());
  ASSERT_EQ(service.Next(&message), Status::kMessage);
  EXPECT_EQ(std::vector<uint32_t>({message.header.type, message.header.size, message.header.extra}),
            std::vector<uint32_t>({kLServiceQuery, 0, 5}));
  ASSERT_EQ(service.Next(&message), Status::kMessage);
  EXPECT_EQ(std::vector<size_t>({message.header.extra, message.payload.size()}),
            std::vector<size_t>({6, kLControlMaxPayload}));
  // The desktop's reader takes the bit as part of the type.
  LControlMessageReader desktop(false);
  const std::string logLine =
      LControlMessageBytes(kLServiceLogLine | kLServiceNoPayload, 0, 1, "ab");
  desktop.Feed(logLine.data(), logLine.size());
  ASSERT_EQ(desktop.Next(&message), Status::kMessage);
  EXPECT_EQ(message.payload, "ab");
}
