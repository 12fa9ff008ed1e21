#include "foundation/csv_reader.h"

#include <climits>

#include "csv_test_helpers.h"

class CsvReaderTest : public KavrixTempRoot {
 protected:
  std::string Path() const { return TempDir() + "/log.csv"; }
};

// Any line end is accepted, empty lines are never rows, long lines keep
// 8191 bytes without harming the next line, and binary bytes are content.
TEST_F(CsvReaderTest, LinesOfEveryShape) {
  const std::string kept(8191, 'x'), nul(1, '\0'), binary("\x01\x02,\xff\xfe\x7f", 6);
  const std::pair<std::string, Lines> cases[] = {
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}}, {"\n\r\n\r\r a\n\n\nb\r\n\r\n", {" a", "b"}},
      {std::string(8192, 'x') + "\nnext", {kept, "next"}}, {kept + "\r\ny", {kept, "y"}},
      // The CR ends one read, its LF starts the next.
      {"a\r\n" + std::string(LCSVFileReader::kBufferSize - 4, 'x') + "\r\ny", {"a", kept, "y"}},
      // Lines ended by CR alone, longer than one search window and shorter.
      {std::string(700, 'x') + "\rz", {std::string(700, 'x'), "z"}},
      {std::string("a\0b\n", 4) + binary + "\r\n" + nul + "\n", {std::string("a\0b", 3), binary, nul}},
  };
  for (const auto& [bytes, expected] : cases) {
    ASSERT_TRUE(KavrixWriteFile(Path(), bytes));
    EXPECT_EQ(CsvLines(Path()), expected) << bytes.substr(0, 40);
  }
  EXPECT_EQ(CsvLines(TempDir() + "/none.csv"), Lines{});
  EXPECT_FALSE(KavrixFileExists(TempDir() + "/none.csv"));
}

TEST(CsvReaderRowTest, ColumnsSkipBlanksAfterCommasAndNumbersReadLikeStrtol) {
  const std::pair<std::string, Lines> cases[] = {{"1, 2 ,\"a,b\"", {"1", "2 ", "a,b"}},
                                                 {"\x01\x02,\xff\xfe\x7f", {"", "\xff\xfe\x7f"}}};
  for (const auto& [line, expected] : cases) EXPECT_EQ(CsvColumns(line), expected) << line;
  LCSVReaderRow row("x,y");
  std::string a, b, c = "stale";
  EXPECT_FALSE(row.GetCols(a, b, c));
  EXPECT_EQ(a + b + c, "xy");
  LCSVReaderRow numbers(" \t\x01 12abc,abc,99999999999,-99999999999,\"42\",");
  for (int expected : {12, 0, INT_MAX, INT_MIN, 42, 0, 0}) EXPECT_EQ(numbers.GetCol(), expected);
}
