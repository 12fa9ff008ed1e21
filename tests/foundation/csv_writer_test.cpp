#include "foundation/csv_writer.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <latch>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "csv_test_helpers.h"
#include "foundation/unique_fd.h"
#include "support/temp_root.h"

class CsvWriterTest : public KavrixTempRoot {
 protected:
  std::string LogPath() const { return TempDir() + "/2010-01-04_activity.csv"; }
};

TEST(CsvWriterRowTest, ColumnEncodings) {
  LCSVWriterRow row;
  EXPECT_TRUE(row.Empty());
  row.AddCol(std::string_view("say \"hi\"\tnow\r\n\0\x01|\xc3\xa9", 19));
  row.AddCol(42);
  row.AddCol(-2147483647 - 1);
  row.AddColDirect("12:00:00");
  row.AddCol("");
  EXPECT_EQ(row.Text(), "\"say \"\"hi\"\" now    |\xc3\xa9\",42,-2147483648,12:00:00,\"\"");

  LCSVWriterRow plain;
  plain.AddColDirect("2010-01-04");
  plain.AddCol(0);
  EXPECT_EQ(plain.Text(), "2010-01-04,0");
}

TEST_F(CsvWriterTest, QuoteAndLineBreakSurviveTheRoundTripAsQuoteAndSpace) {
  ASSERT_TRUE(LCSVWriteRow(LogPath(), {"he said \"stop\"\nthen left", "x"}));
  EXPECT_EQ(KavrixReadFile(LogPath()), "\"he said \"\"stop\"\" then left\",\"x\"\r\n");
  const auto lines = CsvLines(LogPath());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(CsvColumns(lines[0]), (std::vector<std::string>{"he said \"stop\" then left", "x"}));
}

TEST_F(CsvWriterTest, AppendsCreateWithMode0666AndNeverTruncate) {
  const mode_t old_mask = umask(0);
  EXPECT_TRUE(LCSVWriteRow(LogPath(), {"a", "b"}));
  umask(old_mask);
  struct stat info {};
  ASSERT_EQ(stat(LogPath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0666u);
  LCSVWriterRow row;
  row.AddColDirect("09:00:00");
  row.AddCol(60);
  EXPECT_TRUE(LCSVAppendRow(LogPath(), row));
  EXPECT_EQ(KavrixReadFile(LogPath()), "\"a\",\"b\"\r\n09:00:00,60\r\n");
}

TEST_F(CsvWriterTest, MissingFolderFailsAndCreatesNothing) {
  EXPECT_FALSE(LCSVWriteRow(TempDir() + "/no/such.csv", {"a"}));
  EXPECT_FALSE(KavrixFileExists(TempDir() + "/no"));
}

TEST_F(CsvWriterTest, CallersDescriptorIsWrittenAtTheEndAndUnlockedAfter) {
  ASSERT_TRUE(KavrixWriteFile(LogPath(), "x\n"));
  LUniqueFd fd(open(LogPath().c_str(), O_RDWR));
  EXPECT_TRUE(LCSVWriteRow(fd.Get(), {"y"}));
  EXPECT_EQ(KavrixReadFile(LogPath()), "x\n\"y\"\r\n");
  LUniqueFd other(open(LogPath().c_str(), O_RDWR));
  EXPECT_EQ(flock(other.Get(), LOCK_EX | LOCK_NB), 0);
  EXPECT_FALSE(LCSVWriteRow(-1, {"y"}));
}

// A peer that never lets go of the lock delays the row by the whole wait
// sequence for 5000 ms (157+314+628+1256+2512 ms) but does not lose it.
TEST_F(CsvWriterTest, RowIsWrittenWhenTheLockTimesOut) {
  ASSERT_TRUE(KavrixWriteFile(LogPath(), ""));
  LUniqueFd holder(open(LogPath().c_str(), O_RDWR));
  ASSERT_EQ(flock(holder.Get(), LOCK_EX), 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(LCSVWriteRow(LogPath(), {"late"}));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(4867));
  EXPECT_EQ(KavrixReadFile(LogPath()), "\"late\"\r\n");
}

namespace {

constexpr int kRowsPerWriter = 300;

// Rows of very different lengths, some far beyond a pipe's atomic size, so
// that an interleaved write would show as a broken row.
std::string Payload(int writer, int seq) {
  return std::string(static_cast<std::size_t>((seq * 37 + writer * 101) % 6000),
                     static_cast<char>('a' + (seq + writer) % 26));
}

LCSVWriterRow RowOf(int writer, int seq) {
  LCSVWriterRow row;
  row.AddCol(writer);
  row.AddCol(seq);
  row.AddCol(Payload(writer, seq));
  return row;
}

bool AppendRows(const std::string& path, int writer) {
  bool all = true;
  for (int seq = 0; seq < kRowsPerWriter; ++seq) all = LCSVAppendRow(path, RowOf(writer, seq)) && all;
  return all;
}

}  // namespace

TEST_F(CsvWriterTest, ThreadsAndAProcessAppendingAtOnceKeepEveryRowWhole) {
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  LUniqueFd go_read(go[0]), go_write(go[1]);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    char byte;
    if (read(go_read.Get(), &byte, 1) != 1) _exit(2);
    _exit(AppendRows(LogPath(), 0) ? 0 : 1);
  }
  constexpr int kThreads = 4;
  std::latch start(kThreads + 1);
  std::vector<std::thread> threads;
  std::vector<char> ok(kThreads, 0);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      start.arrive_and_wait();
      ok[t] = AppendRows(LogPath(), t + 1);
    });
  }
  ASSERT_EQ(write(go_write.Get(), "g", 1), 1);
  start.arrive_and_wait();
  for (auto& thread : threads) thread.join();
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (char each : ok) EXPECT_TRUE(each);

  std::set<std::pair<int, int>> seen;
  for (const std::string& line : CsvLines(LogPath())) {
    LCSVReaderRow row(line);
    const int writer = row.GetCol();
    const int seq = row.GetCol();
    ASSERT_EQ(line, RowOf(writer, seq).Text()) << "row " << writer << "/" << seq;
    EXPECT_TRUE(seen.emplace(writer, seq).second) << "twice: " << writer << "/" << seq;
  }
  EXPECT_EQ(seen.size(), static_cast<std::size_t>((kThreads + 1) * kRowsPerWriter));
}
