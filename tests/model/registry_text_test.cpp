#include "model/registry_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(RegistryTextTest, CleaningGivesTheTextAStoreWouldGiveBack) {
  struct Case { std::string in; std::string out; };
  const std::vector<Case> cases = {
      {"  a@b.com \t", "a@b.com"}, {"a@b.com \nx", "a@b.com"}, {" = a@b.com", "a@b.com"}, {"a=b", "a=b"},
      {"\r\n a@b.com\r\n", "a@b.com"}, {"=\r\n", ""}, {std::string(258, 'x') + "  yy", std::string(258, 'x')},
  };
  for (const Case& c : cases) EXPECT_EQ(KXCleanRegistryText(c.in), c.out) << c.in;
}

TEST(RegistryTextTest, CommaListMembershipIgnoresCaseBlanksAndHonoursQuotes) {
  struct Case { std::string list; std::string name; bool member; };
  const std::vector<Case> cases = {
      {"a@x.com, BOSS@x.com", "boss@x.com", true}, {"boss@x.com , a@x.com", "boss@x.com", true},
      {"\"a,b@x.com\", c@x.com", "a", false}, {"boss@x.com.au", "boss@x.com", false},
      {"oss@x.com", "boss@x.com", false}, {"a@x.com,", "", false},
  };
  for (const Case& c : cases) EXPECT_EQ(KXCommaListContains(c.list, c.name), c.member) << c.list << " / " << c.name;
}

TEST(RegistryTextTest, ItemsWrittenIntoAListReadBackWhole) {
  const std::vector<std::string> items = {"plain@x.com", "a,b@x.com", "q\"uote@x.com", "Sales Team"};
  const std::string joined = KXJoinCommaList(items);
  EXPECT_EQ(joined, "plain@x.com,\"a,b@x.com\",\"q\"\"uote@x.com\",Sales Team");
  EXPECT_EQ(KXCommaListItems(joined), items);
}
