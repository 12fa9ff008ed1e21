#include "web/uri_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Decodes with stop characters; returns the text and the consumed count.
std::pair<std::string, std::size_t> Decode(std::string_view text, const char* stops = nullptr) {
  std::string out;
  LStringAppender writer(out);
  const std::size_t used = LURIDecodeToWriterDirect(writer, text, stops);
  return {out, used};
}

}  // namespace

TEST(UriEncoder, CopiesPlainBytesAndEscapesTheRest) {
  EXPECT_EQ(LURIEncode("a b/c"), "a%20b%2Fc");
  EXPECT_EQ(LURIEncode("AZaz09-_.~\x7f"), "AZaz09-_.~\x7f");
  EXPECT_EQ(LURIEncode("%:/?#[]@!$&'()*+,;="),
            "%25%3A%2F%3F%23%5B%5D%40%21%24%26%27%28%29%2A%2B%2C%3B%3D");
  EXPECT_EQ(LURIEncode(std::string("\0\t\r\n\x1f", 5)), "%00%09%0D%0A%1F");
  EXPECT_EQ(LURIEncode("\x80\xc3\xa9\xff"), "%80%C3%A9%FF");
  EXPECT_EQ(LURIEncode(""), "");
}

TEST(UriDecoder, PlusPercentAndBothCasesOfHex) {
  EXPECT_EQ(Decode("two+words").first, "two words");
  EXPECT_EQ(Decode("%41%6a%6A%2f").first, "Ajj/");
  EXPECT_EQ(Decode("%2B+%20").first, "+  ");
  EXPECT_EQ(Decode("%C3%A9").first, "\xc3\xa9");
}

TEST(UriDecoder, NonHexDigitsCountAsZeroAndZeroBytesAreDropped) {
  EXPECT_EQ(Decode("a%zzb").first, "ab");     // %zz is byte 0, dropped
  EXPECT_EQ(Decode("a%00b").first, "ab");
  EXPECT_EQ(Decode("%g1").first, "\x01");
  EXPECT_EQ(Decode("%4z").first, "@");        // 4 * 16 + 0
  EXPECT_EQ(Decode("%%41").first, "\x04" "1");
}

TEST(UriDecoder, PercentNearTheEndEndsDecodingAndConsumesTheRest) {
  EXPECT_EQ(Decode("a%4"), std::make_pair(std::string("a"), std::size_t{3}));
  EXPECT_EQ(Decode("ab%"), std::make_pair(std::string("ab"), std::size_t{3}));
  EXPECT_EQ(Decode("%41"), std::make_pair(std::string("A"), std::size_t{3}));
}

TEST(UriDecoder, StopsAtStopCharactersAndNul) {
  EXPECT_EQ(Decode("ab=cd", "=&"), std::make_pair(std::string("ab"), std::size_t{2}));
  EXPECT_EQ(Decode("&x", "=&"), std::make_pair(std::string(), std::size_t{0}));
  EXPECT_EQ(Decode(std::string_view("ab\0cd", 5)), std::make_pair(std::string("ab"), std::size_t{2}));
  // The two bytes after "%" are always taken as its digits, stop bytes too.
  EXPECT_EQ(Decode("%4&b&c", "&"), std::make_pair(std::string("@b"), std::size_t{4}));
  // An encoded stop character does not stop.
  EXPECT_EQ(Decode("a%26b&c", "&"), std::make_pair(std::string("a&b"), std::size_t{5}));
}

TEST(UriDecoder, FixedWriterCutsWhatDoesNotFit) {
  char buffer[4];
  LFixedBufferWriter writer(buffer, sizeof buffer);
  EXPECT_EQ(LURIDecodeToWriterDirect(writer, "a+b%43def", nullptr), 9u);
  EXPECT_STREQ(buffer, "a b");
}

TEST(UriCodec, EncodeThenDecodeGivesBackEveryByteButNul) {
  std::string all;
  for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
  EXPECT_EQ(LURIDecode(LURIEncode(all)), all);
}
