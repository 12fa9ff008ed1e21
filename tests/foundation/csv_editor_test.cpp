#include "foundation/csv_editor.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "csv_test_helpers.h"
#include "foundation/csv_writer.h"
#include "foundation/unique_fd.h"
#include "support/temp_root.h"

class CsvEditorTest : public KavrixTempRoot {
 protected:
  std::string LogPath() const { return TempDir() + "/2010_leave.csv"; }

  // The names in the log's folder other than the log itself.
  std::vector<std::string> Litter() const {
    std::vector<std::string> names = FolderEntries(TempDir());
    std::erase_if(names, [](const std::string& name) {
      return name == "2010_leave.csv" || name == "root" || name == "home";
    });
    return names;
  }

  // Runs `body` in a child process and returns its exit status (0 = passed);
  // for limits that must not touch the test process itself.
  template <typename Body>
  int InChild(Body body) {
    const pid_t child = fork();
    if (child == 0) _exit(body() ? 0 : 1);
    int status = -1;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
  }
};

namespace {

bool EditAcceptingAll(const std::string& path) {
  LCSVFileEditor editor(path, 5000);
  for (bool more = editor.HasLine(); more; more = editor.Next()) {
    if (!editor.RowAccept()) return false;
  }
  return editor.Commit();
}

}  // namespace

TEST_F(CsvEditorTest, KeepsAcceptedLinesEndingInLfAndDropsTheRest) {
  ASSERT_TRUE(KavrixWriteFile(LogPath(), "\"1\"\r\n\"2\"\r\n\r\n\"3\"\n\"4\"\r\n\"5\""));
  {
    LCSVFileEditor editor(LogPath(), 5000);
    ASSERT_TRUE(editor.Ok());
    std::vector<std::string> seen;
    for (bool more = editor.HasLine(); more; more = editor.Next()) {
      seen.push_back(editor.Line());
      if (editor.Line() != "\"2\"" && editor.Line() != "\"4\"") {
        EXPECT_TRUE(editor.RowAccept());
      }
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"\"1\"", "\"2\"", "\"3\"", "\"4\"", "\"5\""}));
    EXPECT_FALSE(editor.RowAccept()) << "no current line at the end";
  }
  EXPECT_EQ(KavrixReadFile(LogPath()), "\"1\"\n\"3\"\n\"5\"\n");
  ASSERT_TRUE(LCSVWriteRow(LogPath(), {"6"}));
  EXPECT_EQ(CsvLines(LogPath()), (std::vector<std::string>{"\"1\"", "\"3\"", "\"5\"", "\"6\""}));
  EXPECT_EQ(Litter(), std::vector<std::string>{});
}

TEST_F(CsvEditorTest, LinesAfterTheCallerStoppedAreGone) {
  ASSERT_TRUE(KavrixWriteFile(LogPath(), "a\nb\nc\n"));
  LCSVFileEditor editor(LogPath(), 5000);
  EXPECT_TRUE(editor.RowAccept());
  EXPECT_TRUE(editor.Commit());
  EXPECT_FALSE(editor.HasLine());
  EXPECT_TRUE(editor.Commit()) << "a second commit repeats the first one's result";
  EXPECT_EQ(KavrixReadFile(LogPath()), "a\n");
}

TEST_F(CsvEditorTest, AcceptingNothingLeavesAnEmptyFile) {
  ASSERT_TRUE(KavrixWriteFile(LogPath(), "a\r\nb\r\n"));
  { LCSVFileEditor editor(LogPath(), 5000); }
  EXPECT_TRUE(KavrixFileExists(LogPath()));
  EXPECT_EQ(KavrixReadFile(LogPath()), "");
}

TEST_F(CsvEditorTest, MissingLogIsCreatedEmpty) {
  LCSVFileEditor editor(LogPath(), 5000);
  EXPECT_TRUE(editor.Ok());
  EXPECT_FALSE(editor.HasLine());
  EXPECT_EQ(editor.Line(), "");
  EXPECT_TRUE(editor.Commit());
  EXPECT_TRUE(KavrixFileExists(LogPath()));
  EXPECT_EQ(KavrixReadFile(LogPath()), "");
}

TEST_F(CsvEditorTest, ScratchFileSitsBesideTheLogAndTheModeIsKept) {
  ASSERT_TRUE(KavrixWriteFile(LogPath(), "a\n"));
  ASSERT_EQ(chmod(LogPath().c_str(), 0640), 0);
  LCSVFileEditor editor(LogPath(), 5000);
  const std::vector<std::string> litter = Litter();
  ASSERT_EQ(litter.size(), 1u);
  EXPECT_EQ(litter[0].rfind("~2010_leave.csv.", 0), 0u) << litter[0];
  EXPECT_EQ(litter[0].size(), std::string("~2010_leave.csv.XXXXXX").size());
  EXPECT_TRUE(editor.RowAccept());
  EXPECT_TRUE(editor.Commit());
  struct stat info {};
  ASSERT_EQ(stat(LogPath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(Litter(), std::vector<std::string>{});
}

TEST_F(CsvEditorTest, LogWithTheLongestFileNameCanBeEdited) {
  const std::string path = TempDir() + "/" + std::string(NAME_MAX, 'n');
  ASSERT_TRUE(KavrixWriteFile(path, "a\nb\n"));
  EXPECT_TRUE(EditAcceptingAll(path));
  EXPECT_EQ(KavrixReadFile(path), "a\nb\n");
}

TEST_F(CsvEditorTest, DiscardLeavesTheLogAlone) {
  ASSERT_TRUE(KavrixWriteFile(LogPath(), "a\r\nb\r\n"));
  LCSVFileEditor editor(LogPath(), 5000);
  EXPECT_TRUE(editor.RowAccept());
  editor.Discard();
  EXPECT_FALSE(editor.Commit());
  EXPECT_EQ(KavrixReadFile(LogPath()), "a\r\nb\r\n");
  EXPECT_EQ(Litter(), std::vector<std::string>{});
}

// Editing without the lock could drop a row appended meanwhile, so an editor
// that cannot lock (sleeps of 4+8+16+32+64 ms for 100 ms) changes nothing.
TEST_F(CsvEditorTest, EditorThatCannotLockLeavesTheLogAlone) {
  ASSERT_TRUE(KavrixWriteFile(LogPath(), "a\r\n"));
  LUniqueFd holder(open(LogPath().c_str(), O_RDWR));
  ASSERT_EQ(flock(holder.Get(), LOCK_EX), 0);
  const auto start = std::chrono::steady_clock::now();
  {
    LCSVFileEditor editor(LogPath(), 100);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(124));
    EXPECT_FALSE(editor.Ok());
    EXPECT_FALSE(editor.HasLine());
    EXPECT_FALSE(editor.RowAccept());
    EXPECT_FALSE(editor.Commit());
  }
  EXPECT_EQ(KavrixReadFile(LogPath()), "a\r\n");
  EXPECT_EQ(Litter(), std::vector<std::string>{});
}

// With a single free descriptor the log opens but the scratch file cannot
// be made.
TEST_F(CsvEditorTest, ScratchThatCannotBeCreatedLeavesTheLogAlone) {
  ASSERT_TRUE(KavrixWriteFile(LogPath(), "a\r\nb\r\n"));
  EXPECT_EQ(InChild([&] {
              rlimit limit{64, 64};
              if (setrlimit(RLIMIT_NOFILE, &limit) != 0) return false;
              int last = -1;
              for (int fd; (fd = open("/dev/null", O_RDONLY)) >= 0;) last = fd;
              close(last);
              LCSVFileEditor editor(LogPath(), 5000);
              return !editor.Ok() && !editor.HasLine() && !editor.Commit();
            }),
            0);
  EXPECT_EQ(KavrixReadFile(LogPath()), "a\r\nb\r\n");
  EXPECT_EQ(Litter(), std::vector<std::string>{});
}

// A file size limit makes the scratch writes fail as a full disk would.
TEST_F(CsvEditorTest, FailedScratchWriteLeavesTheLogAlone) {
  std::string original;
  for (int i = 0; i < 1000; ++i) original += "\"row " + std::to_string(i) + std::string(90, '.') + "\"\r\n";
  ASSERT_TRUE(KavrixWriteFile(LogPath(), original));
  EXPECT_EQ(InChild([&] {
              signal(SIGXFSZ, SIG_IGN);
              rlimit limit{4096, 4096};
              if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return false;
              return !EditAcceptingAll(LogPath());
            }),
            0);
  EXPECT_EQ(KavrixReadFile(LogPath()), original);
  EXPECT_EQ(Litter(), std::vector<std::string>{});
}

// The process dies after part of the new content reached the scratch file:
// the log keeps its old content whole.
TEST_F(CsvEditorTest, ProcessDyingMidwayLeavesTheOldLogWhole) {
  std::string original;
  for (int i = 0; i < 5000; ++i) original += std::to_string(i) + ",\"" + std::string(40, 'r') + "\"\r\n";
  ASSERT_TRUE(KavrixWriteFile(LogPath(), original));
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  LUniqueFd ready_read(ready[0]), ready_write(ready[1]);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    LCSVFileEditor editor(LogPath(), 5000);
    for (int i = 0; i < 3000 && editor.HasLine(); ++i, editor.Next()) editor.RowAccept();
    static_cast<void>(write(ready_write.Get(), "r", 1));
    pause();
    _exit(0);
  }
  char byte;
  ASSERT_EQ(read(ready_read.Get(), &byte, 1), 1);
  kill(child, SIGKILL);
  ASSERT_EQ(waitpid(child, nullptr, 0), child);
  EXPECT_EQ(KavrixReadFile(LogPath()), original);
  EXPECT_EQ(CsvLines(LogPath()).size(), 5000u);
}

// An append that waits on the log while it is being rewritten lands in the
// new log once the editor is done, not in the old file that lost its name.
TEST_F(CsvEditorTest, AppendWaitingOnTheLockLandsInTheRewrittenLog) {
  ASSERT_TRUE(KavrixWriteFile(LogPath(), "a\r\nb\r\n"));
  LCSVFileEditor editor(LogPath(), 5000);
  ASSERT_TRUE(editor.Ok());
  struct stat old {};
  ASSERT_EQ(stat(LogPath().c_str(), &old), 0);
  bool written = false;
  std::thread appender([&] { written = LCSVWriteRow(LogPath(), {"late"}); });
  const bool waiting = WaitForOpenDescriptors(old, 2);
  for (bool more = editor.HasLine(); more; more = editor.Next()) editor.RowAccept();
  EXPECT_TRUE(editor.Commit());
  appender.join();
  ASSERT_TRUE(waiting);
  EXPECT_TRUE(written);
  EXPECT_EQ(KavrixReadFile(LogPath()), "a\nb\n\"late\"\r\n");
}

// A report that waited for the log while it was rewritten reads the new log.
TEST_F(CsvEditorTest, ReaderWaitingOnTheLockReadsTheRewrittenLog) {
  ASSERT_TRUE(KavrixWriteFile(LogPath(), "a\r\nb\r\n"));
  LCSVFileEditor editor(LogPath(), 5000);
  struct stat old {};
  ASSERT_EQ(stat(LogPath().c_str(), &old), 0);
  std::vector<std::string> lines;
  std::thread reader([&] {
    LCSVFileReader waiting_reader(LogPath(), 60000);
    while (waiting_reader.Next()) lines.push_back(waiting_reader.Line());
  });
  const bool waiting = WaitForOpenDescriptors(old, 2);
  editor.Next();
  editor.RowAccept();
  EXPECT_TRUE(editor.Commit());
  reader.join();
  ASSERT_TRUE(waiting);
  EXPECT_EQ(lines, std::vector<std::string>{"b"});
}

// A child process appends rows while the parent rewrites the log again and
// again (and a thread of the parent appends too); the child pauses halfway
// until the parent has finished a few edits, so the two certainly overlap.
TEST_F(CsvEditorTest, EditsRacingWithAppendsLoseNoRow) {
  constexpr int kChildRows = 1500;
  constexpr int kThreadRows = 500;
  int ready[2], go[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(go), 0);
  LUniqueFd ready_read(ready[0]), ready_write(ready[1]), go_read(go[0]), go_write(go[1]);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    bool all = true;
    for (int i = 0; i < kChildRows; ++i) {
      all = LCSVWriteRow(LogPath(), {"child", std::to_string(i)}) && all;
      char byte;
      if (i == kChildRows / 2 &&
          (write(ready_write.Get(), "r", 1) != 1 || read(go_read.Get(), &byte, 1) != 1)) {
        _exit(2);
      }
    }
    _exit(all ? 0 : 1);
  }
  bool thread_ok = true;
  std::thread appender([&] {
    for (int i = 0; i < kThreadRows; ++i) {
      thread_ok = LCSVWriteRow(LogPath(), {"thread", std::to_string(i)}) && thread_ok;
    }
  });
  int edits = 0, edits_since_ready = -1, status = 0;
  for (bool child_done = false; !child_done;) {
    ASSERT_TRUE(EditAcceptingAll(LogPath()));
    ++edits;
    pollfd readable{ready_read.Get(), POLLIN, 0};
    if (edits_since_ready < 0 && poll(&readable, 1, 0) == 1) edits_since_ready = 0;
    if (edits_since_ready >= 0 && ++edits_since_ready == 3) {
      ASSERT_EQ(write(go_write.Get(), "g", 1), 1);
    }
    child_done = waitpid(child, &status, WNOHANG) == child;
  }
  appender.join();
  ASSERT_TRUE(EditAcceptingAll(LogPath()));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(thread_ok);

  std::map<std::string, std::vector<int>> counts{{"child", std::vector<int>(kChildRows)},
                                                 {"thread", std::vector<int>(kThreadRows)}};
  for (const std::string& line : CsvLines(LogPath())) {
    LCSVReaderRow row(line);
    std::string who;
    row.GetCol(who);
    ASSERT_TRUE(counts.contains(who)) << line;
    ++counts[who].at(static_cast<std::size_t>(row.GetCol()));
  }
  for (const auto& [who, seen] : counts) {
    for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], 1) << who << " row " << i;
  }
  EXPECT_GT(edits, 3);
  EXPECT_EQ(Litter(), std::vector<std::string>{});
}
