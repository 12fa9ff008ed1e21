#include "web/text/hash_table.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "web/text/decimal_text.h"

namespace {

std::string Dump(const LHashTable& table) {
  std::string out;
  for (const LHashTable::Pair& pair : table) out += "[" + pair.key + "=" + pair.value + "]";
  return out;
}

}  // namespace

// Lookups are exact; SetParm replaces the first pair of its name or inserts
// at the head; loading appends; a value stays put while other pairs change.
TEST(HashTable, SetLoadDeleteAndLookups) {
  LHashTable table;
  EXPECT_STREQ(table.GetParm("a", "fallback"), "fallback");
  table.SetParm("a", "1");
  table.SetParm("b", "2");
  const char* value = table.GetParm("b");
  table.SetParm("a", "3");
  table.LoadHTTPString("b=x&c=4");
  EXPECT_EQ(Dump(table), "[b=2][a=3][b=x][c=4]");
  EXPECT_STREQ(table.GetParm("A", "none"), "none");
  for (int i = 0; i < 100; ++i) table.SetParm("x" + std::to_string(i), "y");
  EXPECT_TRUE(table.DeleteParm("x5"));
  EXPECT_STREQ(value, "2");
  EXPECT_TRUE(table.DeleteParm("b"));
  EXPECT_STREQ(table.GetParm("b"), "x");
  table.SetParm("self", "abcdefghijklmnopqrstuvwxyz0123456789");
  table.SetParm("self", std::string_view(table.GetParm("self")).substr(3));
  EXPECT_STREQ(table.GetParm("self"), "defghijklmnopqrstuvwxyz0123456789");
}

TEST(DecimalText, BehavesLikeAtoiWithinRangeAndSaturatesBeyond) {
  const std::pair<const char*, int> cases[] = {
      {" \t\n-0042x", -42}, {"2147483647", INT_MAX}, {"2147483648", INT_MAX}, {"-2147483649", INT_MIN}, {"- 5", 0}};
  for (const auto& [text, value] : cases) EXPECT_EQ(LDecimalToInt(text), value) << text;
}

// Repeated names are all kept (the first is found); empty names and
// undecodable tails are dropped; a NUL ends the text; saving encodes every
// byte so that loading gives the same pairs back.
TEST(HashTable, LoadAndSaveHttpString) {
  LHashTable table;
  table.LoadHTTPString("a=1=2&&=x&b=&c&%3D=%26&+k+=v+w&%00=z&a=9&e=%41%");
  table.LoadHTTPString(std::string_view("g=1\0&h=2", 8));
  EXPECT_EQ(Dump(table), "[a=1=2][b=][c=][==&][ k =v w][a=9][e=A][g=1]");
  LHashTable utf8;
  utf8.LoadHTTPStringUTF8("name=J%C3%B6rg&raw=\xc3\xb6");
  EXPECT_EQ(Dump(utf8), "[name=J\xc3\xb6rg][raw=\xc3\xb6]");

  std::string bytes;
  for (int c = 1; c < 256; ++c) bytes.push_back(static_cast<char>(c));
  LHashTable all;
  all.SetParm("sel users", "x/y&z=1");
  all.SetParm(bytes, bytes);
  std::string saved;
  all.SaveHTTPString(saved);
  EXPECT_TRUE(saved.ends_with("&sel%20users=x%2Fy%26z%3D1")) << saved;
  LHashTable loaded;
  loaded.LoadHTTPString(saved);
  EXPECT_EQ(Dump(loaded), Dump(all));
}
