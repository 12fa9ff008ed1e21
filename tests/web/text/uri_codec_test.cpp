#include "web/text/uri_codec.h"

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

TEST(UriEncoder, CopiesPlainBytesAndEscapesTheRestHrefValuesAttributeBreakersToo) {
  EXPECT_EQ(LURIEncode("AZaz09-_.~\x7f"), "AZaz09-_.~\x7f");
  EXPECT_EQ(LURIEncode(std::string("%:/?#[]@!$&'()*+,;= \0\x1f\x80\xff", 24)),
            "%25%3A%2F%3F%23%5B%5D%40%21%24%26%27%28%29%2A%2B%2C%3B%3D%20%00%1F%80%FF");
  // A link value cannot end its attribute or open a tag; the rest is LURIEncode.
  EXPECT_EQ(LURIEncode("a\"<>`b"), "a\"<>`b");
  EXPECT_EQ(LHrefValue("a\"<>`b c&d@e"), "a%22%3C%3E%60b%20c%26d%40e");
}

// Plus and both cases of hex; non-hex digits count as zero and zero bytes
// are dropped; a "%" near the end ends decoding and consumes the rest; the
// two bytes after "%" are always its digits, stop bytes too; decoding stops
// at a stop character (not an encoded one) and at a NUL.
TEST(UriDecoder, DecodedTextAndConsumedCount) {
  const struct {
    std::string text;
    const char* stops;
    std::string out;
    std::size_t used;
  } cases[] = {
      {"two+words", nullptr, "two words", 9},
      {"%41%6a%6A%2f%2B", nullptr, "Ajj/+", 15},
      {"a%zzb", nullptr, "ab", 5},
      {"%4z", nullptr, "@", 3},
      {"a%4", nullptr, "a", 3},
      {"ab=cd", "=&", "ab", 2},
      {std::string("ab\0cd", 5), nullptr, "ab", 2},
      {"%4&b&c", "&", "@b", 4},
      {"a%26b&c", "&", "a&b", 5},
  };
  for (const auto& c : cases) EXPECT_EQ(Decode(c.text, c.stops), std::make_pair(c.out, c.used)) << c.text;
}

