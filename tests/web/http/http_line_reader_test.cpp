#include "web/http/http_line_reader.h"

#include <gtest/gtest.h>

#include <string>

// A line ends at LF; CRs are dropped, other bytes kept; the reader takes
// nothing after a complete line until Reset.
TEST(HttpLineReader, TakesBytesUpToAndIncludingTheLf) {
  const std::string input = std::string("GET / HTTP/1.1\r\nA: b\rc\0\xff\r\r\n\r\nbody", 33);
  LHttpLineReader reader;
  EXPECT_EQ(reader.Feed(input), 16u);
  EXPECT_EQ(reader.Line(), "GET / HTTP/1.1");
  EXPECT_EQ(reader.Feed("more\n"), 0u);
  reader.Reset();
  for (std::size_t at = 16; at < 27; ++at) {  // a byte at a time
    ASSERT_FALSE(reader.Complete());
    EXPECT_EQ(reader.Feed(&input[at], 1), 1u);
  }
  EXPECT_TRUE(reader.Complete());
  EXPECT_EQ(reader.Line(), std::string_view("A: bc\0\xff", 7));
  reader.Reset();
  EXPECT_EQ(reader.Feed(input.substr(27)), 2u);
  EXPECT_TRUE(reader.Complete());
  EXPECT_EQ(reader.Line(), "");
}

TEST(HttpLineReader, OverlongLinesAreCutButConsumedWhole) {
  const std::string input = std::string(400, 'x') + "\nnext\n";
  LHttpLineReader reader;
  EXPECT_EQ(reader.Feed(input.data(), 200), 200u);
  EXPECT_EQ(reader.Feed(input.substr(200)), 201u);
  EXPECT_EQ(reader.Line(), std::string(259, 'x'));
}

TEST(HttpLineReader, PeerClosingEndsAStartedLineOnly) {
  LHttpLineReader empty;
  EXPECT_FALSE(empty.EndOfInput());
  LHttpLineReader onlyCr;
  onlyCr.Feed("\r");
  EXPECT_TRUE(onlyCr.EndOfInput());
  EXPECT_EQ(onlyCr.Line(), "");
}
