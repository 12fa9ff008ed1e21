#include "web/http/http_line_reader.h"

#include <gtest/gtest.h>

#include <string>

TEST(HttpLineReader, TakesBytesUpToAndIncludingTheLf) {
  const std::string input = "GET / HTTP/1.1\r\nHost: x\r\n\r\nbody";
  LHttpLineReader reader;
  EXPECT_EQ(reader.Feed(input), 16u);
  ASSERT_TRUE(reader.Complete());
  EXPECT_EQ(reader.Line(), "GET / HTTP/1.1");
  EXPECT_EQ(reader.Feed("more\n"), 0u);
  reader.Reset();
  EXPECT_EQ(reader.Feed(input.substr(16)), 9u);
  EXPECT_EQ(reader.Line(), "Host: x");
  reader.Reset();
  EXPECT_EQ(reader.Feed(input.substr(25)), 2u);
  EXPECT_TRUE(reader.Complete());
  EXPECT_EQ(reader.Line(), "");
}

TEST(HttpLineReader, PiecesOfAnySizeGiveTheSameLine) {
  const std::string input = "A: b\rc\r\r\n";
  LHttpLineReader reader;
  for (char c : input) {
    ASSERT_FALSE(reader.Complete());
    EXPECT_EQ(reader.Feed(&c, 1), 1u);
  }
  EXPECT_TRUE(reader.Complete());
  EXPECT_EQ(reader.Line(), "A: bc");
}

TEST(HttpLineReader, OverlongLinesAreCutButConsumedWhole) {
  const std::string input = std::string(400, 'x') + "\nnext\n";
  LHttpLineReader reader;
  EXPECT_EQ(reader.Feed(input.data(), 200), 200u);
  EXPECT_EQ(reader.Feed(input.substr(200)), 201u);
  EXPECT_EQ(reader.Line(), std::string(259, 'x'));

  LHttpLineReader small(4);
  small.Feed("ab\rcdef\n");
  EXPECT_EQ(small.Line(), "abcd");
}

TEST(HttpLineReader, PeerClosingEndsAStartedLineOnly) {
  LHttpLineReader empty;
  EXPECT_FALSE(empty.EndOfInput());
  EXPECT_FALSE(empty.Complete());

  LHttpLineReader partial;
  partial.Feed("GET / HT");
  EXPECT_FALSE(partial.Complete());
  EXPECT_TRUE(partial.EndOfInput());
  EXPECT_EQ(partial.Line(), "GET / HT");

  LHttpLineReader onlyCr;
  onlyCr.Feed("\r");
  EXPECT_TRUE(onlyCr.Started());
  EXPECT_TRUE(onlyCr.EndOfInput());
  EXPECT_EQ(onlyCr.Line(), "");
}

TEST(HttpLineReader, KeepsBinaryBytes) {
  LHttpLineReader reader;
  const std::string input("a\0b\xff\n", 5);
  reader.Feed(input);
  EXPECT_EQ(reader.Line(), std::string_view("a\0b\xff", 4));
}
