#include "web/text/hash_table.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "web/text/decimal_text.h"

namespace {

std::string Dump(const LHashTable& table) {
  std::string out;
  for (const LHashTable::Pair& pair : table) out += "[" + pair.key + "=" + pair.value + "]";
  return out;
}

}  // namespace

TEST(HashTable, LookupsAreExactAndReturnTheStoredValue) {
  LHashTable table;
  const char* fallback = "fallback";
  EXPECT_EQ(table.GetParm("user", fallback), fallback);
  table.SetParm("user", "a@b.c");
  EXPECT_STREQ(table.GetParm("user"), "a@b.c");
  EXPECT_STREQ(table.GetParm("User", "none"), "none");
  EXPECT_STREQ(table.GetParm("user "), "");
  EXPECT_TRUE(table.TestExists("user"));
  EXPECT_FALSE(table.TestExists("USER"));
}

TEST(HashTable, SetParmReplacesTheFirstOrInsertsAtTheHead) {
  LHashTable table;
  table.SetParm("a", "1");
  table.SetParm("b", "2");
  table.SetParm("a", "3");
  EXPECT_EQ(Dump(table), "[b=2][a=3]");
  table.LoadHTTPString("b=x&c=4");
  EXPECT_EQ(Dump(table), "[b=2][a=3][b=x][c=4]");
  table.SetParm("b", "5");
  EXPECT_EQ(Dump(table), "[b=5][a=3][b=x][c=4]");
  EXPECT_TRUE(table.DeleteParm("b"));
  EXPECT_STREQ(table.GetParm("b"), "x");
  EXPECT_TRUE(table.DeleteParm("b"));
  EXPECT_FALSE(table.DeleteParm("b"));
  EXPECT_EQ(Dump(table), "[a=3][c=4]");
}

TEST(HashTable, ValuesStayPutWhileOtherPairsChange) {
  LHashTable table;
  table.SetParm("k", "v");
  const char* value = table.GetParm("k");
  for (int i = 0; i < 100; ++i) table.SetParm("x" + std::to_string(i), "y");
  table.DeleteParm("x5");
  EXPECT_STREQ(value, "v");
  table.SetParm("self", "abcdefghijklmnopqrstuvwxyz0123456789");
  table.SetParm("self", std::string_view(table.GetParm("self")).substr(3));
  EXPECT_STREQ(table.GetParm("self"), "defghijklmnopqrstuvwxyz0123456789");
}

TEST(HashTable, GetIntAndGetBool) {
  LHashTable table;
  table.LoadHTTPString("e=&n=-17&t=12abc&w=abc&h=99999999999&l=-99999999999&s=%20%2B42");
  EXPECT_EQ(table.GetInt("missing", 7), 7);
  EXPECT_EQ(table.GetInt("e", 7), 7);
  EXPECT_EQ(table.GetInt("n", 7), -17);
  EXPECT_EQ(table.GetInt("t", 7), 12);
  EXPECT_EQ(table.GetInt("w", 7), 0);
  EXPECT_EQ(table.GetInt("h", 7), INT_MAX);
  EXPECT_EQ(table.GetInt("l", 7), INT_MIN);
  EXPECT_EQ(table.GetInt("s", 7), 42);

  table.LoadHTTPString("f=0abc&g=1xyz&y=yes&z=");
  EXPECT_FALSE(table.GetBool("f", true));
  EXPECT_TRUE(table.GetBool("g", false));
  EXPECT_TRUE(table.GetBool("y", true));
  EXPECT_FALSE(table.GetBool("y", false));
  EXPECT_TRUE(table.GetBool("z", true));
  EXPECT_FALSE(table.GetBool("missing", false));
}

TEST(DecimalText, BehavesLikeAtoiWithinRangeAndSaturatesBeyond) {
  const std::pair<const char*, int> cases[] = {{" \t\n-0042x", -42},        {"2147483647", INT_MAX},
                                               {"2147483648", INT_MAX},     {"-2147483648", INT_MIN},
                                               {"-2147483649", INT_MIN},    {"+", 0},
                                               {"", 0},                     {"- 5", 0}};
  for (const auto& [text, value] : cases) EXPECT_EQ(LDecimalToInt(text), value) << text;
}

// Repeated names are all kept (the first is found); empty names and
// undecodable tails are dropped; a NUL ends the text.
TEST(HashTable, LoadHttpStringSplitsAndDecodes) {
  LHashTable repeated;
  repeated.LoadHTTPString("field=1&field=2");
  EXPECT_STREQ(repeated.GetParm("field"), "1");
  EXPECT_EQ(repeated.Size(), 2u);
  LHashTable table;
  table.LoadHTTPString("a=1=2&&=x&b=&c&%3D=%26&+k+=v+w&%00=z&e=%41%");
  EXPECT_EQ(Dump(table), "[a=1=2][b=][c=][==&][ k =v w][e=A]");

  LHashTable utf8;
  utf8.LoadHTTPStringUTF8("name=J%C3%B6rg&raw=\xc3\xb6");
  EXPECT_STREQ(utf8.GetParm("name"), "J\xc3\xb6rg");
  EXPECT_STREQ(utf8.GetParm("raw"), "\xc3\xb6");

  LHashTable cut;
  cut.LoadHTTPString(std::string_view("a=1&b=2\0&c=3", 12));
  EXPECT_EQ(Dump(cut), "[a=1][b=2]");
}

TEST(HashTable, SaveHttpStringWritesThePairsInOrderEncoded) {
  LHashTable table;
  table.SetParm("user", "a@b.c");
  table.SetParm("sel users", "x/y&z=1");
  table.LoadHTTPString("date=2024-02-29");
  std::string saved;
  table.SaveHTTPString(saved);
  EXPECT_EQ(saved, "sel%20users=x%2Fy%26z%3D1&user=a%40b.c&date=2024-02-29");

  LHashTable loaded;
  loaded.LoadHTTPString(saved);
  EXPECT_EQ(Dump(loaded), Dump(table));

  std::string empty;
  LHashTable().SaveHTTPString(empty);
  EXPECT_EQ(empty, "");
}

TEST(HashTable, SaveAndLoadKeepEveryByteButNul) {
  std::string bytes;
  for (int c = 1; c < 256; ++c) bytes.push_back(static_cast<char>(c));
  LHashTable table;
  table.SetParm(bytes, bytes);
  std::string saved;
  table.SaveHTTPString(saved);
  LHashTable loaded;
  loaded.LoadHTTPString(saved);
  EXPECT_STREQ(loaded.GetParm(bytes, "missing"), bytes.c_str());
}
