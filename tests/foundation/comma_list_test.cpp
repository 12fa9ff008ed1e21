#include "foundation/comma_list.h"

#include "support/test_helpers.h"

namespace {

using List = std::vector<std::string>;

List Items(std::string_view text) {
  LCommaSeparatedListIterator items(text);
  List out;
  while (items.Next()) out.push_back(items.Item());
  EXPECT_TRUE(items.End());
  EXPECT_EQ(items.Item(), "");
  EXPECT_FALSE(items.Next()) << "the end is final";
  return out;
}

}  // namespace

TEST(CommaListTest, SplitsQuotesAndBlanksAsTheMailListsNeed) {
  const std::string x259(259, 'x');
  std::string doubled = "\"";  // 300 doubled quotes: cut after they are undone
  for (int i = 0; i < 300; ++i) doubled += "\"\"";
  const std::vector<std::pair<std::string, List>> cases = {
      {"", {}},
      {"a, \t", {"a"}},
      {",a", {"", "a"}},
      {"a,,b", {"a", "", "b"}},
      {" a", {" a"}},  // blanks are skipped after a comma only
      {"1, 2 ,\"a,b\"", {"1", "2 ", "a,b"}},
      {"a,\t\r\n\x01 b", {"a", "b"}},
      {"a,\xc3\xa9t\xc3\xa9,\xff", {"a", "\xc3\xa9t\xc3\xa9", "\xff"}},
      {"\"x\"\"y\"", {"x\"y"}},
      {"\"\",b", {"", "b"}},
      {"\"\"\"\"\"\"", {"\"\""}},
      {"ab\"cd\"ef,g", {"cd", "g"}},  // text around the quotes is dropped
      {"\"a b\" ,\"c\"", {"a b", "c"}},
      {"\"a\"x\"y\",z", {"a", "z"}},
      {"\"abc,def", {"abc,def"}},  // an unterminated quote runs to the end
      {"1,\"a\"\"", {"1", "a\""}},
      {"\"", {""}},
      {std::string(300, 'x') + ",y", {x259, "y"}},
      {x259, {x259}},
      {doubled + "\",z", {std::string(259, '"'), "z"}},
      {std::string("a\0b,\0c", 6), {std::string("a\0b", 3), "c"}},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Items(text), expected) << text;
}
