#include "foundation/comma_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Items(std::string_view text) {
  LCommaSeparatedListIterator items(text);
  std::vector<std::string> out;
  while (items.Next()) out.push_back(items.Item());
  EXPECT_TRUE(items.End());
  EXPECT_EQ(items.Item(), "");
  EXPECT_FALSE(items.Next()) << "the end is final";
  return out;
}

using List = std::vector<std::string>;

}  // namespace

TEST(CommaListTest, PlainItemsAndSeparators) {
  EXPECT_EQ(Items(""), List{});
  EXPECT_EQ(Items("a"), List{"a"});
  EXPECT_EQ(Items("a,"), List{"a"});
  EXPECT_EQ(Items("a, \t"), List{"a"});
  EXPECT_EQ(Items(",a"), (List{"", "a"}));
  EXPECT_EQ(Items("a,,b"), (List{"a", "", "b"}));
  EXPECT_EQ(Items(" a"), List{" a"});
  EXPECT_EQ(Items("boss@x.com, Second@Y.com"), (List{"boss@x.com", "Second@Y.com"}));
}

TEST(CommaListTest, SpacesBeforeACommaStayAndAfterItAreSkipped) {
  EXPECT_EQ(Items("1, 2 ,\"a,b\""), (List{"1", "2 ", "a,b"}));
  EXPECT_EQ(Items("a,\t\r\n\x01 b"), (List{"a", "b"}));
}

TEST(CommaListTest, BytesAboveAsciiAreNotBlanks) {
  EXPECT_EQ(Items("a,\xc3\xa9t\xc3\xa9,\xff"), (List{"a", "\xc3\xa9t\xc3\xa9", "\xff"}));
}

TEST(CommaListTest, QuotedItems) {
  EXPECT_EQ(Items("\"x\"\"y\""), List{"x\"y"});
  EXPECT_EQ(Items("\"\",b"), (List{"", "b"}));
  EXPECT_EQ(Items("\"\"\"\"\"\""), List{"\"\""});
  // Text before the opening quote is replaced, text after the closing
  // quote up to the "," is dropped.
  EXPECT_EQ(Items("ab\"cd\"ef,g"), (List{"cd", "g"}));
  EXPECT_EQ(Items("\"a b\" ,\"c\""), (List{"a b", "c"}));
  EXPECT_EQ(Items("\"a\"x\"y\",z"), (List{"a", "z"}));
}

TEST(CommaListTest, UnterminatedQuoteRunsToTheEnd) {
  EXPECT_EQ(Items("\"abc,def"), List{"abc,def"});
  EXPECT_EQ(Items("1,\"a\"\""), (List{"1", "a\""}));
  EXPECT_EQ(Items("\""), List{""});
}

TEST(CommaListTest, ItemsAreCutAt259Bytes) {
  const std::string cut(259, 'x');
  EXPECT_EQ(Items(std::string(300, 'x') + ",y"), (List{cut, "y"}));
  EXPECT_EQ(Items(std::string(259, 'x')), List{cut});
  // A quoted item is cut after its doubled quotes are undone.
  std::string quoted = "\"";
  for (int i = 0; i < 300; ++i) quoted += "\"\"";
  EXPECT_EQ(Items(quoted + "\",z"), (List{std::string(259, '"'), "z"}));
}

TEST(CommaListTest, NulIsAnOrdinaryByte) {
  EXPECT_EQ(Items(std::string_view("a\0b,\0c", 6)), (List{std::string("a\0b", 3), "c"}));
}
