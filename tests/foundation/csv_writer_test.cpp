#include "foundation/csv_writer.h"

#include "csv_test_helpers.h"
#include "foundation/file_modes.h"
#include "support/test_helpers.h"

class CsvWriterTest : public KavrixTempRoot {
 protected:
  std::string LogPath() const { return TempDir() + "/2010-01-04_activity.csv"; }
};

TEST(CsvWriterRowTest, ColumnEncodings) {
  LCSVWriterRow row;
  row.AddCol(std::string_view("say \"hi\"\tnow\r\n\0\x01|\xc3\xa9", 19));
  row.AddCol(-2147483647 - 1);
  row.AddColDirect("12:00:00");
  row.AddCol("");
  EXPECT_EQ(row.Text(), "\"say \"\"hi\"\" now    |\xc3\xa9\",-2147483648,12:00:00,\"\"");
}

TEST_F(CsvWriterTest, RowsAreAppendedInCrLfAndReadBackWithQuoteIntactAndLineBreakAsSpace) {
  const mode_t old_mask = umask(0);
  ASSERT_TRUE(LCSVWriteRow(LogPath(), {"he said \"stop\"\nthen left", "x"}));
  umask(old_mask);
  EXPECT_EQ(std::filesystem::status(LogPath()).permissions(), std::filesystem::perms(kLDataFileMode));
  EXPECT_TRUE(LCSVWriteRow(LogPath(), {"y"}));
  EXPECT_EQ(KavrixReadFile(LogPath()), "\"he said \"\"stop\"\" then left\",\"x\"\r\n\"y\"\r\n");
  EXPECT_EQ(CsvColumns(CsvLines(LogPath()).at(0)), (Lines{"he said \"stop\" then left", "x"}));
  LUniqueFd other(open(LogPath().c_str(), O_RDWR));
  EXPECT_EQ(flock(other.Get(), LOCK_EX | LOCK_NB), 0) << "the lock is given back";
  EXPECT_FALSE(LCSVWriteRow(TempDir() + "/no/such.csv", {"a"}) || KavrixFileExists(TempDir() + "/no"));
}

