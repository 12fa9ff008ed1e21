#include "foundation/settings_parse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Items = std::vector<LSettingsEntries::Entry>;

Items ParseAll(std::string_view bytes) {
  LSettingsEntries entries;
  entries.Parse(bytes);
  return entries.Items();
}

}  // namespace

TEST(SettingsParseTest, ReadsEveryLineEndAndASplitWithoutLineEndAtTheEnd) {
  const Items expected = {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}};
  EXPECT_EQ(ParseAll("a=1\r\nb=2\nc=3\rd=4\n\re=5"), expected);
}

TEST(SettingsParseTest, SkipsLeadingBlanksAndEqualsSignsAndDropsEmptyKeys) {
  EXPECT_EQ(ParseAll("a==b\r\n"), (Items{{"a", "b"}}));
  EXPECT_EQ(ParseAll("  a=b\r\n"), (Items{{"a", "b"}}));
  EXPECT_EQ(ParseAll("\t\x01 a=b"), (Items{{"a", "b"}}));
  EXPECT_EQ(ParseAll("=orphan\r\n\r\n\r\nk=\r\nnovalue\r\n"), (Items{{"k", ""}, {"novalue", ""}}));
  EXPECT_EQ(ParseAll("a = b "), (Items{{"a ", " b "}}));
}

TEST(SettingsParseTest, KeepsDuplicateKeysAndFindsTheFirst) {
  LSettingsEntries entries;
  entries.Parse("k=first\r\nK=mixed\r\nk=second\r\n");
  ASSERT_EQ(entries.Items().size(), 3u);
  EXPECT_EQ(*entries.Find("k"), "first");
  EXPECT_EQ(*entries.Find("K"), "mixed");
  EXPECT_EQ(entries.Find("K "), nullptr);
  EXPECT_EQ(*entries.FindNoCase("K"), "first");
  // Removing a key removes every copy, so no older value shows through.
  EXPECT_TRUE(entries.Remove("k"));
  EXPECT_EQ(entries.Find("k"), nullptr);
  EXPECT_EQ(entries.Serialize(), "K=mixed\r\n");
}

TEST(SettingsParseTest, CutsKeysAndValuesAt259Bytes) {
  const std::string k259(259, 'k'), k260(260, 'k'), v259(259, 'v'), v260(260, 'v');
  EXPECT_EQ(ParseAll(k259 + "=" + v259), (Items{{k259, v259}}));
  EXPECT_EQ(ParseAll(k260 + "=" + v260 + "\r\nnext=1"), (Items{{k259, v259}, {"next", "1"}}));
}

// Bytes are bytes: NUL and high bytes inside a key or value are kept; only
// CR and LF end a line.
TEST(SettingsParseTest, BinaryBytesAreKeptAsBytes) {
  const std::string bytes("\0\0bin\0key=va\0l\xff\x80\r\n\x01\x02=x\r\n", 24);
  const Items parsed = ParseAll(bytes);
  // The second line is blanks (\x01\x02) before "=": an empty key, dropped.
  ASSERT_EQ(parsed.size(), 1u);
  EXPECT_EQ(parsed[0].first, std::string("bin\0key", 7));
  EXPECT_EQ(parsed[0].second, std::string("va\0l\xff\x80", 6));
}

TEST(SettingsParseTest, GarbageNeverCrashesAndRoundTripsWhatItRead) {
  std::string noise;
  unsigned state = 12345;
  for (int i = 0; i < 20000; ++i) {
    state = state * 1103515245u + 12345u;
    noise += static_cast<char>((state >> 16) & 0xff);
  }
  LSettingsEntries first;
  first.Parse(noise);
  LSettingsEntries second;
  second.Parse(first.Serialize());
  EXPECT_EQ(first.Items(), second.Items());
}

TEST(SettingsParseTest, SerializesKeyEqualsValueCrLfInOrder) {
  LSettingsEntries entries;
  EXPECT_TRUE(entries.Set("b", "2"));
  EXPECT_TRUE(entries.Set("a", ""));
  EXPECT_FALSE(entries.Set("b", "2"));
  EXPECT_TRUE(entries.Set("b", "3"));
  EXPECT_EQ(entries.Serialize(), "b=3\r\na=\r\n");
  EXPECT_FALSE(entries.Remove("zz"));
}

// What a setter stores is exactly what any reader will read back: nothing
// in a key or value can start a new line (and so a new key).
TEST(SettingsParseTest, CleaningKeepsKeysAndValuesOnTheirLine) {
  EXPECT_EQ(LSettingsCleanKey("UserName"), "username");
  EXPECT_EQ(LSettingsCleanKey("  Tab\tKey=x"), "tab\tkey");
  EXPECT_EQ(LSettingsCleanKey("a\r\nadmin"), "a");
  EXPECT_EQ(LSettingsCleanKey(" =x"), "");
  EXPECT_EQ(LSettingsCleanKey(std::string(300, 'K')), std::string(259, 'k'));
  EXPECT_EQ(LSettingsCleanKey("\xc3\x84pfel"), "\xc3\x84pfel");
  EXPECT_EQ(LSettingsCleanValue("Bob\r\naccessadmin=1"), "Bob");
  EXPECT_EQ(LSettingsCleanValue("line\nmore"), "line");
  EXPECT_EQ(LSettingsCleanValue("==x=y"), "x=y");
  EXPECT_EQ(LSettingsCleanValue(std::string(259, 'v') + "w"), std::string(259, 'v'));
  EXPECT_EQ(LSettingsCleanValue(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(SettingsParseTest, CaseFoldingIsAsciiOnly) {
  EXPECT_EQ(LSettingsLowerCase("MaxID-\xc3\x84"), "maxid-\xc3\x84");
  EXPECT_TRUE(LSettingsEqualNoCase("LocalPort", "localport"));
  EXPECT_FALSE(LSettingsEqualNoCase("LocalPort", "localport "));
  EXPECT_FALSE(LSettingsEqualNoCase("\xc3\x84", "\xc3\xa4"));
}
