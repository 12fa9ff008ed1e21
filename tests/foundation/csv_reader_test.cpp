#include "foundation/csv_reader.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <string>
#include <vector>

#include "csv_test_helpers.h"
#include "foundation/unique_fd.h"
#include "support/temp_root.h"

class CsvReaderTest : public KavrixTempRoot {
 protected:
  std::vector<std::string> LinesOf(const std::string& bytes) {
    const std::string path = TempDir() + "/log.csv";
    EXPECT_TRUE(KavrixWriteFile(path, bytes));
    return CsvLines(path);
  }
};

using Lines = std::vector<std::string>;

TEST_F(CsvReaderTest, EveryLineEndIsAcceptedAndEmptyLinesAreNeverReturned) {
  EXPECT_EQ(LinesOf("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(LinesOf("a\rb\rc\r"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(LinesOf("a\n\rb\n\r"), (Lines{"a", "b"}));
  EXPECT_EQ(LinesOf("\n\r\n\r\r a\n\n\nb\r\n\r\n"), (Lines{" a", "b"}));
  EXPECT_EQ(LinesOf("\r\n\n\r"), Lines{});
  EXPECT_EQ(LinesOf(""), Lines{});
}

TEST_F(CsvReaderTest, MissingFileReadsAsEmpty) {
  LCSVFileReader reader(TempDir() + "/none.csv", 1000);
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_FALSE(reader.Next());
  EXPECT_EQ(reader.Line(), "");
  EXPECT_FALSE(KavrixFileExists(TempDir() + "/none.csv"));
}

TEST_F(CsvReaderTest, LongLinesKeep8191BytesAndTheNextLineIsIntact) {
  const std::string kept(8191, 'x');
  EXPECT_EQ(LinesOf(std::string(20000, 'x') + "\r\nnext\n"), (Lines{kept, "next"}));
  EXPECT_EQ(LinesOf(std::string(8192, 'x') + "\nnext"), (Lines{kept, "next"}));
  EXPECT_EQ(LinesOf(std::string(20000, 'x')), Lines{kept});
  // The CR ends the first 8192-byte read and its LF starts the second.
  EXPECT_EQ(LinesOf(kept + "\r\ny"), (Lines{kept, "y"}));
  EXPECT_EQ(LinesOf("a\n" + kept + "\nb"), (Lines{"a", kept, "b"}));
}

TEST_F(CsvReaderTest, BinaryBytesAreLineContent) {
  const std::string first("a\0b", 3);
  const std::string second("\x01\x02,\xff\xfe\x7f", 6);
  EXPECT_EQ(LinesOf(first + "\n" + second + std::string("\r\n\0\n", 4)),
            (Lines{first, second, std::string(1, '\0')}));
  EXPECT_EQ(CsvColumns(second), (Lines{"", "\xff\xfe\x7f"}));
}

TEST_F(CsvReaderTest, ReaderOnACallersDescriptorStartsAtItsOffset) {
  const std::string path = TempDir() + "/log.csv";
  ASSERT_TRUE(KavrixWriteFile(path, "skip\nkeep\n"));
  LUniqueFd fd(open(path.c_str(), O_RDONLY));
  ASSERT_EQ(lseek(fd.Get(), 5, SEEK_SET), 5);
  LCSVFileReader reader(fd.Get());
  ASSERT_TRUE(reader.Next());
  EXPECT_EQ(reader.Line(), "keep");
  EXPECT_FALSE(reader.Next());
}

// A writer that holds the log too long does not stop the reports: after the
// time-out (sleeps of 4+8+16+32+64 ms for 100 ms) the file is read unlocked.
TEST_F(CsvReaderTest, LockTimeOutReadsUnlocked) {
  const std::string path = TempDir() + "/log.csv";
  ASSERT_TRUE(KavrixWriteFile(path, "a\n"));
  LUniqueFd holder(open(path.c_str(), O_RDWR));
  ASSERT_EQ(flock(holder.Get(), LOCK_EX), 0);
  const auto start = std::chrono::steady_clock::now();
  LCSVFileReader reader(path, 100);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(124));
  ASSERT_TRUE(reader.Next());
  EXPECT_EQ(reader.Line(), "a");
}

TEST(CsvReaderRowTest, ColumnsWithSpacesAndQuotes) {
  LCSVReaderRow row("1, 2 ,\"a,b\"");
  std::string a, b, c, past;
  EXPECT_TRUE(row.GetCols(a, b, c));
  EXPECT_EQ(a, "1");
  EXPECT_EQ(b, "2 ");
  EXPECT_EQ(c, "a,b");
  past = "stale";
  EXPECT_FALSE(row.GetCol(past));
  EXPECT_EQ(past, "");
  EXPECT_EQ(row.GetCol(), 0);
}

TEST(CsvReaderRowTest, LeadingBlanksOfTheLineAreSkipped) {
  LCSVReaderRow row(" \t\x01 5,x");
  EXPECT_EQ(row.GetCol(), 5);
  EXPECT_EQ(CsvColumns("\x01\x02 \"q\", r"), (std::vector<std::string>{"q", "r"}));
  EXPECT_EQ(CsvColumns(" \t "), std::vector<std::string>{});
}

TEST(CsvReaderRowTest, NumbersReadLikeStrtolWithinTheIntRange) {
  LCSVReaderRow row("12abc,abc,-7,99999999999,-99999999999,\"42\",2147483647,");
  EXPECT_EQ(row.GetCol(), 12);
  EXPECT_EQ(row.GetCol(), 0);
  EXPECT_EQ(row.GetCol(), -7);
  EXPECT_EQ(row.GetCol(), INT_MAX);
  EXPECT_EQ(row.GetCol(), INT_MIN);
  EXPECT_EQ(row.GetCol(), 42);
  EXPECT_EQ(row.GetCol(), INT_MAX);
  EXPECT_EQ(row.GetCol(), 0);
  EXPECT_EQ(row.GetCol(), 0);
}

TEST(CsvReaderRowTest, GetColsReportsMissingColumnsAndEmptiesThem) {
  LCSVReaderRow row("x,y");
  std::string a, b, c = "stale";
  EXPECT_FALSE(row.GetCols(a, b, c));
  EXPECT_EQ(a, "x");
  EXPECT_EQ(b, "y");
  EXPECT_EQ(c, "");
}
