#include "foundation/csv_writer.h"

#include <set>

#include "csv_test_helpers.h"
#include "foundation/file_modes.h"
#include "support/lock_pauses.h"
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
  LCSVWriterRow row;
  row.AddColDirect("09:00:00");
  row.AddCol(60);
  EXPECT_TRUE(LCSVAppendRow(LogPath(), row));
  LUniqueFd fd(open(LogPath().c_str(), O_RDWR));  // a caller's own descriptor
  EXPECT_TRUE(LCSVWriteRow(fd.Get(), {"y"}));
  EXPECT_EQ(KavrixReadFile(LogPath()), "\"he said \"\"stop\"\" then left\",\"x\"\r\n09:00:00,60\r\n\"y\"\r\n");
  EXPECT_EQ(CsvColumns(CsvLines(LogPath()).at(0)), (Lines{"he said \"stop\" then left", "x"}));
  LUniqueFd other(open(LogPath().c_str(), O_RDWR));
  EXPECT_EQ(flock(other.Get(), LOCK_EX | LOCK_NB), 0) << "the lock is given back";
  EXPECT_FALSE(LCSVWriteRow(-1, {"y"}) || LCSVWriteRow(TempDir() + "/no/such.csv", {"a"}) ||
               KavrixFileExists(TempDir() + "/no"));
}

// A peer that never lets go of the lock delays the row by the whole wait
// sequence for 5000 ms (157+314+628+1256+2512 ms) but does not lose it.
TEST_F(CsvWriterTest, RowIsWrittenWhenTheLockTimesOut) {
  LUniqueFd holder = HoldLock(LogPath());
  KavrixLockPauses pauses;
  EXPECT_TRUE(LCSVWriteRow(LogPath(), {"late"}));
  EXPECT_EQ(pauses.Taken(), (std::vector<int>{157, 314, 628, 1256, 2512}));
  EXPECT_EQ(KavrixReadFile(LogPath()), "\"late\"\r\n");
}

constexpr int kRowsPerWriter = 300;

// Rows of very different lengths, some far beyond a pipe's atomic size, so
// that an interleaved write would show as a broken row.
static LCSVWriterRow RowOf(int writer, int seq) {
  LCSVWriterRow row;
  row.AddCol(writer);
  row.AddCol(seq);
  row.AddCol(std::string((seq * 37 + writer * 101) % 6000, static_cast<char>('a' + (seq + writer) % 26)));
  return row;
}

static bool AppendRows(const std::string& path, int writer) {
  bool all = true;
  for (int seq = 0; seq < kRowsPerWriter; ++seq) all = LCSVAppendRow(path, RowOf(writer, seq)) && all;
  return all;
}

TEST_F(CsvWriterTest, ThreadsAndAProcessAppendingAtOnceKeepEveryRowWhole) {
  constexpr int kThreads = 4;
  TestChild child([this] { return AppendRows(LogPath(), 0) ? 0 : 1; });
  std::vector<std::thread> threads;
  std::atomic<int> ok{0};
  for (int t = 1; t <= kThreads; ++t) threads.emplace_back([&, t] { ok += AppendRows(LogPath(), t); });
  child.Release();
  for (auto& thread : threads) thread.join();
  EXPECT_TRUE(child.Wait() == 0 && ok.load() == kThreads);
  std::set<std::pair<int, int>> seen;
  for (const std::string& line : CsvLines(LogPath())) {
    LCSVReaderRow row(line);
    const int writer = row.GetCol(), seq = row.GetCol();
    ASSERT_EQ(line, RowOf(writer, seq).Text()) << "row " << writer << "/" << seq;
    EXPECT_TRUE(seen.emplace(writer, seq).second) << "twice: " << writer << "/" << seq;
  }
  EXPECT_EQ(seen.size(), static_cast<std::size_t>((kThreads + 1) * kRowsPerWriter));
}
