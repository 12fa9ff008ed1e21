#include "web/http/cookie_parser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Cookies(std::string_view header) {
  LHashTable table;
  LWebletCookieData::LoadCookieData(header, table);
  std::string out;
  for (const LHashTable::Pair& pair : table) out += "[" + pair.key + "=" + pair.value + "]";
  return out;
}

}  // namespace

// Values are decoded; a repeated cookie keeps its last value; blanks are
// skipped only after semicolons; empty names are skipped, bare names have
// empty values; a NUL ends the header.
TEST(CookieParser, PairsOfTheHeader) {
  const std::pair<std::string, std::string> cases[] = {
      {"sess=abc; theme=two+words", "[theme=two words][sess=abc]"},
      {"v=%3B%41%zz%", "[v=;A]"},
      {"a=1; b=2; a=3", "[b=2][a=3]"},
      {" a=1 ;  \t b=2", "[b=2][ a=1 ]"},
      {"=x; ;;flag", "[flag=]"},
      {"k=\xff\x01=2", "[k=\xff\x01=2]"},
      {std::string("a=1\0; b=2", 9), "[a=1]"},
  };
  for (const auto& [header, pairs] : cases) EXPECT_EQ(Cookies(header), pairs) << header;
}

TEST(CookieParser, LongNamesAndValuesAreCutAt259BeforeDecoding) {
  const std::string longName(300, 'n');
  const std::string longValue(300, 'v');
  LHashTable table;
  LWebletCookieData::LoadCookieData(longName + "=" + longValue + "; next=1", table);
  EXPECT_STREQ(table.GetParm(std::string(259, 'n')), std::string(259, 'v').c_str());
  EXPECT_STREQ(table.GetParm("next"), "1");
  EXPECT_EQ(table.Size(), 2u);

  // 86 whole "%41" fill 258 bytes; the cut leaves a lone "%" that ends it.
  std::string encoded;
  for (int i = 0; i < 100; ++i) encoded += "%41";
  LHashTable cut;
  LWebletCookieData::LoadCookieData("e=" + encoded, cut);
  EXPECT_STREQ(cut.GetParm("e"), std::string(86, 'A').c_str());
}
