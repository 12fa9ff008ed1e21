#include "web/cookie_parser.h"

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

TEST(CookieParser, SessionAndDecodedValues) {
  LHashTable table;
  LWebletCookieData::LoadCookieData("sess=abc; theme=two+words", table);
  EXPECT_STREQ(table.GetParm("sess"), "abc");
  EXPECT_STREQ(table.GetParm("theme"), "two words");
  EXPECT_EQ(Cookies("v=%3B%41%zz%"), "[v=;A]");
}

TEST(CookieParser, RepeatedCookieKeepsItsLastValue) {
  EXPECT_EQ(Cookies("a=1; b=2; a=3"), "[b=2][a=3]");
}

TEST(CookieParser, BlanksAreSkippedOnlyAfterSemicolons) {
  EXPECT_EQ(Cookies("a=1;  \t b=2"), "[b=2][a=1]");
  EXPECT_EQ(Cookies(" a=1 ;b=2"), "[b=2][ a=1 ]");
  EXPECT_EQ(Cookies("a =1"), "[a =1]");
}

TEST(CookieParser, EmptyNamesAreSkippedAndBareNamesHaveEmptyValues) {
  EXPECT_EQ(Cookies("=x; ;;b=2"), "[b=2]");
  EXPECT_EQ(Cookies("flag; b=2"), "[b=2][flag=]");
  EXPECT_EQ(Cookies("a=1=2"), "[a=1=2]");
  EXPECT_EQ(Cookies(""), "");
  EXPECT_EQ(Cookies(";"), "");
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

TEST(CookieParser, BinaryBytesAndNul) {
  EXPECT_EQ(Cookies("k=\xff\x01\x7f"), "[k=\xff\x01\x7f]");
  EXPECT_EQ(Cookies(std::string_view("a=1\0; b=2", 9)), "[a=1]");
}
