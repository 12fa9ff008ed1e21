#include "foundation/csv_editor.h"

#include <sys/resource.h>

#include <climits>

#include "csv_test_helpers.h"
#include "foundation/csv_writer.h"
#include "support/lock_pauses.h"

class CsvEditorTest : public KavrixTempRoot {
 protected:
  std::string LogPath() const { return TempDir() + "/2010_leave.csv"; }
  // What the temporary folder should hold: a scratch file left behind shows.
  const Lines clean_ = {"2010_leave.csv", "home"};
};

static bool EditAcceptingAll(const std::string& path) {
  LCSVFileEditor editor(path, 5000);
  for (bool more = editor.HasLine(); more; more = editor.Next()) {
    if (!editor.RowAccept()) return false;
  }
  return editor.Commit();
}

// Accepted lines end in LF, appended ones in CR LF; lines not accepted,
// after the point where the caller stopped too, are gone. With CR LF as the
// line end kept rows keep their bytes, and a written row takes the place of
// the current one.
TEST_F(CsvEditorTest, KeepsAcceptedLinesDropsTheRestAndReplacesWrittenRows) {
  ASSERT_TRUE(KavrixWriteFile(LogPath(), "\"1\"\r\n\"2\"\r\n\r\n\"3\"\n\"4\"\r\n\"5\"\r\n\"6\""));
  {
    LCSVFileEditor editor(LogPath(), 5000);
    Lines seen;
    for (bool more = editor.HasLine(); more && seen.size() < 5; more = editor.Next()) {
      seen.push_back(editor.Line());
      EXPECT_TRUE(editor.Line() == "\"2\"" || editor.Line() == "\"4\"" || editor.RowAccept());
    }
    EXPECT_EQ(seen, (Lines{"\"1\"", "\"2\"", "\"3\"", "\"4\"", "\"5\""}));
  }
  EXPECT_EQ(KavrixReadFile(LogPath()), "\"1\"\n\"3\"\n\"5\"\n");
  {
    LCSVFileEditor editor(LogPath(), 5000);
    editor.SetLineEnd("\r\n");
    for (bool more = editor.HasLine(); more; more = editor.Next()) {
      EXPECT_TRUE(editor.Line() == "\"3\"" ? editor.RowWrite("b,\"x\"") : editor.RowAccept());
    }
    EXPECT_TRUE(editor.Commit());
  }
  EXPECT_EQ(KavrixReadFile(LogPath()), "\"1\"\r\nb,\"x\"\r\n\"5\"\r\n");
  EXPECT_EQ(KavrixFolderEntries(TempDir()), clean_);
  { LCSVFileEditor editor(LogPath(), 5000); }
  EXPECT_EQ(KavrixReadFile(LogPath()), "") << "an editor that accepts nothing leaves an empty file";
}

// Editing without the lock could drop a row appended meanwhile, so an editor
// that cannot lock changes nothing.
TEST_F(CsvEditorTest, DiscardedOrUnlockedEditLeavesTheLogAlone) {
  ASSERT_TRUE(KavrixWriteFile(LogPath(), "a\r\nb\r\n"));
  {
    LCSVFileEditor editor(LogPath(), 5000);
    editor.Discard();
    EXPECT_FALSE(editor.Commit());
  }
  LUniqueFd holder = HoldLock(LogPath());
  {
    KavrixLockPauses pauses;  // the tries cost no time
    LCSVFileEditor editor(LogPath(), 100);
    EXPECT_FALSE(editor.Ok() || editor.HasLine() || editor.RowAccept() || editor.Commit());
  }
  EXPECT_EQ(KavrixReadFile(LogPath()), "a\r\nb\r\n");
  EXPECT_EQ(KavrixFolderEntries(TempDir()), clean_);
}

// A full disk (the file size limit) while writing the scratch file leaves
// the old log whole, and no scratch file behind; a rewrite keeps the log's
// mode, also where the longest file name leaves no room for a longer scratch
// name.
TEST_F(CsvEditorTest, RewritesNeverLoseTheOldLogNorItsMode) {
  std::string original;
  for (int i = 0; i < 5000; ++i) original += std::to_string(i) + ",\"" + std::string(40, 'r') + "\"\r\n";
  ASSERT_TRUE(KavrixWriteFile(LogPath(), original));
  TestChild full_disk([&] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    return setrlimit(RLIMIT_FSIZE, &limit) != 0 ? 2 : EditAcceptingAll(LogPath()) ? 1 : 0;
  });
  EXPECT_EQ(full_disk.Wait(), 0);
  EXPECT_EQ(KavrixFolderEntries(TempDir()), clean_);
  EXPECT_EQ(KavrixReadFile(LogPath()), original);
  ASSERT_EQ(chmod(LogPath().c_str(), 0640), 0);
  EXPECT_TRUE(EditAcceptingAll(LogPath()));
  EXPECT_EQ(std::filesystem::status(LogPath()).permissions(), std::filesystem::perms(0640));
  const std::string longest = TempDir() + "/" + std::string(NAME_MAX, 'n');
  ASSERT_TRUE(KavrixWriteFile(longest, "a\nb\n"));
  EXPECT_TRUE(EditAcceptingAll(longest));
  EXPECT_EQ(KavrixReadFile(longest), "a\nb\n");
}

// An append that waits on the log while it is rewritten uses the new log
// once the editor is done, not the old file that lost its name.
TEST_F(CsvEditorTest, AnAppendWaitingOnTheLockUsesTheRewrittenLog) {
  ASSERT_TRUE(KavrixWriteFile(LogPath(), "a\r\nb\r\n"));
  KavrixLockPauses pauses(true);
  LCSVFileEditor editor(LogPath(), 5000);
  bool written = false;
  std::thread appender([&] { written = LCSVWriteRow(LogPath(), {"late"}); });
  const bool waiting = pauses.WaitForPauses(1);
  editor.Next();  // "a" is dropped
  editor.RowAccept();
  EXPECT_TRUE(editor.Commit());
  pauses.Release();
  appender.join();
  ASSERT_TRUE(waiting && written);
  EXPECT_EQ(KavrixReadFile(LogPath()), "b\n\"late\"\r\n");
}
