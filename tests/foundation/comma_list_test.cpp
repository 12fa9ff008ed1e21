#include "foundation/comma_list.h"

#include "support/test_helpers.h"

// Blanks are skipped after a comma only; text around quotes is dropped; an
// unterminated quote runs to the end; items are cut at 259 bytes after
// doubled quotes are undone; NUL and high bytes are ordinary.
TEST(CommaListTest, SplitsQuotesAndBlanksAsTheMailListsNeed) {
  const std::string x259(259, 'x');
  std::string doubled = "\"";
  for (int i = 0; i < 300; ++i) doubled += "\"\"";
  const std::pair<std::string, Strings> cases[] = {
      {"", {}}, {"a, \t", {"a"}}, {"a,,b", {"a", "", "b"}}, {" a", {" a"}}, {"a,\t\r\n\x01 b", {"a", "b"}},
      {"a,\xff", {"a", "\xff"}}, {"\"x\"\"y\"", {"x\"y"}}, {"ab\"cd\"ef,g", {"cd", "g"}},
      {"\"abc,def", {"abc,def"}}, {std::string(300, 'x') + ",y", {x259, "y"}},
      {doubled + "\",z", {std::string(259, '"'), "z"}}, {std::string("a\0b,\0c", 6), {std::string("a\0b", 3), "c"}},
  };
  for (const auto& [text, expected] : cases) {
    LCommaSeparatedListIterator items(text);
    Strings got;
    while (items.Next()) got.push_back(items.Item());
    EXPECT_EQ(got, expected) << text;
    EXPECT_TRUE(items.End() && items.Item().empty() && !items.Next()) << "the end is final: " << text;
  }
}
