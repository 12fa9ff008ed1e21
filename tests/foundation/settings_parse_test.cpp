#include "foundation/settings_parse.h"

#include "support/test_helpers.h"

using Items = std::vector<LSettingsEntries::Entry>;

static Items ParseAll(std::string_view bytes) {
  LSettingsEntries entries;
  entries.Parse(bytes);
  return entries.Items();
}

// Every line end; blanks before a key and "=" before a value are skipped;
// empty keys are dropped; keys and values are cut at 259 bytes; NUL and high
// bytes are kept, only CR and LF end a line.
TEST(SettingsParseTest, ReadsTolerantly) {
  const std::string k259(259, 'k'), v259(259, 'v');
  const std::pair<std::string, Items> cases[] = {
      {"a=1\r\nb=2\nc=3\rd=4\n\re=5", {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}}},
      {"a==b\r\n", {{"a", "b"}}}, {"\t\x01 a=b", {{"a", "b"}}},
      {"=orphan\r\n\r\n\r\nk=\r\nnovalue\r\n", {{"k", ""}, {"novalue", ""}}}, {"a = b ", {{"a ", " b "}}},
      {k259 + "k=" + v259 + "v\r\nnext=1", {{k259, v259}, {"next", "1"}}},
      {std::string("\0\0bin\0key=va\0l\xff\x80\r\n\x01\x02=x\r\n", 24),
       {{std::string("bin\0key", 7), std::string("va\0l\xff\x80", 6)}}},
  };
  for (const auto& [bytes, expected] : cases) EXPECT_EQ(ParseAll(bytes), expected) << bytes;
}

TEST(SettingsParseTest, DuplicateKeysFindTheFirstAndAreRemovedTogether) {
  LSettingsEntries entries;
  entries.Parse("k=first\r\nK=mixed\r\nk=second\r\n");
  EXPECT_EQ(*entries.Find("k") + *entries.Find("K") + *entries.FindNoCase("K"), "firstmixedfirst");
  EXPECT_TRUE(entries.Remove("k"));  // so that no older value shows through
  EXPECT_EQ(entries.Find("k"), nullptr);
  EXPECT_TRUE(entries.Set("b", "2") && !entries.Set("b", "2") && entries.Set("K", "3"));
  EXPECT_EQ(entries.Serialize(), "K=3\r\nb=2\r\n");
}

// What a setter stores is exactly what any reader will read back: nothing
// in a key or value can start a new line (and so a new key).
TEST(SettingsParseTest, CleaningKeepsKeysAndValuesOnTheirLine) {
  const std::pair<std::string, std::string> keys[] = {
      {"  Tab\tKey=x", "tab\tkey"}, {"a\r\nadmin", "a"}, {" =x", ""}, {std::string(300, 'K'), std::string(259, 'k')}};
  for (const auto& [key, cleaned] : keys) EXPECT_EQ(LSettingsCleanKey(key), cleaned) << key;
  const std::pair<std::string, std::string> values[] = {
      {"Bob\r\naccessadmin=1", "Bob"}, {"line\nmore", "line"}, {"==x=y", "x=y"},
      {std::string(259, 'v') + "w", std::string(259, 'v')}};
  for (const auto& [value, cleaned] : values) EXPECT_EQ(LSettingsCleanValue(value), cleaned) << value;
  EXPECT_EQ(LSettingsLowerCase("MaxID-\xc3\x84"), "maxid-\xc3\x84");  // ASCII letters only
}
