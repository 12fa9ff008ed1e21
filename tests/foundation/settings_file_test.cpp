#include "foundation/settings_file.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <climits>
#include <filesystem>

#include "foundation/file_lock.h"
#include "foundation/unique_fd.h"
#include "fork_helpers.h"
#include "support/temp_root.h"

namespace {

class SettingsFileTest : public KavrixTempRoot {
 protected:
  std::string Path(const std::string& name = "section") const { return TempDir() + "/" + name; }

  struct stat Stat(const std::string& path) const {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info;
  }

  // Files in the temporary folder other than the fixture's own.
  int CountFiles() const {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TempDir())) {
      const std::string name = entry.path().filename();
      count += (name == "root" || name == "home") ? 0 : 1;
    }
    return count;
  }

  static void SetModificationTime(const std::string& path, time_t sec, long nsec) {
    const timespec times[2] = {{0, UTIME_OMIT}, {sec, nsec}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  }
};

}  // namespace

TEST_F(SettingsFileTest, WritesLowerCaseKeysAsKeyEqualsValueCrLf) {
  LSettingsFile file(Path());
  EXPECT_TRUE(file.SetString("UserName", "Bob"));
  EXPECT_TRUE(file.SetString("LocalPort", "89"));
  EXPECT_TRUE(file.SetString("USERNAME", "Alice"));
  EXPECT_EQ(KavrixReadFile(Path()), "username=Alice\r\nlocalport=89\r\n");
  EXPECT_EQ(file.GetString("uSeRnAmE"), "Alice");
  EXPECT_EQ(LSettingsFile(Path()).GetString("UserName"), "Alice");
}

TEST_F(SettingsFileTest, HandTypedMixedCaseKeyIsFoundOnlyByTestFieldExists) {
  ASSERT_TRUE(KavrixWriteFile(Path(), "UserName=Bob\r\n"));
  LSettingsFile file(Path());
  EXPECT_TRUE(file.TestFieldExists("username"));
  EXPECT_TRUE(file.TestFieldExists("USERNAME"));
  EXPECT_EQ(file.GetString("UserName", "none"), "none");
  std::string out;
  EXPECT_FALSE(file.GetString("username", "dflt", out));
  EXPECT_EQ(out, "dflt");
  EXPECT_FALSE(file.TestFieldExists("user"));
}

TEST_F(SettingsFileTest, ValuesAreStoredCutTo259Bytes) {
  LSettingsFile file(Path());
  const std::string v259(259, 'v');
  ASSERT_TRUE(file.SetString("exact", v259));
  ASSERT_TRUE(file.SetString("long", v259 + "XYZ"));
  EXPECT_EQ(KavrixReadFile(Path()), "exact=" + v259 + "\r\nlong=" + v259 + "\r\n");
  EXPECT_EQ(LSettingsFile(Path()).GetString("long"), v259);
  // A long key stores cut and is found again by the same long key.
  const std::string k300(300, 'K');
  ASSERT_TRUE(file.SetString(k300, "x"));
  EXPECT_EQ(LSettingsFile(Path()).GetString(k300), "x");
  EXPECT_EQ(LSettingsFile(Path()).GetString(std::string(259, 'k')), "x");
  // The default is cut as well.
  EXPECT_EQ(file.GetString("missing", std::string(260, 'd')), std::string(259, 'd'));
}

TEST_F(SettingsFileTest, SettingTheSameValueDoesNotTouchTheFile) {
  LSettingsFile file(Path());
  ASSERT_TRUE(file.SetString("a", "1"));
  const struct stat before = Stat(Path());
  EXPECT_TRUE(file.SetString("A", "1"));
  EXPECT_TRUE(LSettingsFile(Path()).SetString("a", "1"));
  const struct stat after = Stat(Path());
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(after.st_ctim.tv_nsec, before.st_ctim.tv_nsec);
}

TEST_F(SettingsFileTest, NullRemovesAKeyAndDoesNotCreateAMissingFile) {
  LSettingsFile file(Path());
  EXPECT_TRUE(file.SetString("gone", nullptr));
  EXPECT_FALSE(KavrixFileExists(Path()));
  ASSERT_TRUE(file.SetString("a", "1"));
  ASSERT_TRUE(file.SetString("b", "2"));
  EXPECT_TRUE(file.SetString("A", nullptr));
  EXPECT_EQ(KavrixReadFile(Path()), "b=2\r\n");
  EXPECT_TRUE(file.SetString("b", nullptr));
  EXPECT_TRUE(KavrixFileExists(Path()));
  EXPECT_EQ(KavrixReadFile(Path()), "");
  EXPECT_EQ(CountFiles(), 1);  // no temporary file left behind
}

// A value from a web form must not add keys to a record.
TEST_F(SettingsFileTest, LineBreaksInKeysAndValuesCannotAddKeys) {
  LSettingsFile file(Path());
  ASSERT_TRUE(file.SetString("Name", "Bob\r\naccessadmin=1"));
  ASSERT_TRUE(file.SetString("note", "==starts with equals"));
  EXPECT_FALSE(file.SetString("", "x"));
  EXPECT_FALSE(file.SetString("=x", "y"));
  EXPECT_EQ(KavrixReadFile(Path()), "name=Bob\r\nnote=starts with equals\r\n");
  LSettingsFile reader(Path());
  EXPECT_FALSE(reader.TestFieldExists("accessadmin"));
  EXPECT_EQ(reader.GetString("note"), file.GetString("note"));
}

TEST_F(SettingsFileTest, BoolsAndIntsFollowTheirReadingRules) {
  ASSERT_TRUE(KavrixWriteFile(Path(), "empty=\r\nzero=0\r\nzeros=00\r\nno=no\r\nnum=  42x\r\n"
                                      "neg=-7\r\nhuge=99999999999\r\ntext=abc\r\n"));
  LSettingsFile file(Path());
  EXPECT_TRUE(file.GetBool("empty", true));
  EXPECT_FALSE(file.GetBool("empty", false));
  EXPECT_TRUE(file.GetBool("missing", true));
  EXPECT_FALSE(file.GetBool("zero", true));
  EXPECT_FALSE(file.GetBool("zeros", true));
  EXPECT_TRUE(file.GetBool("no", false));
  EXPECT_EQ(file.GetInt("empty", 5), 5);
  EXPECT_EQ(file.GetInt("missing", 6), 6);
  EXPECT_EQ(file.GetInt("num", 0), 42);
  EXPECT_EQ(file.GetInt("neg", 0), -7);
  EXPECT_EQ(file.GetInt("huge", 0), INT_MAX);
  EXPECT_EQ(file.GetInt("text", 9), 0);
  ASSERT_TRUE(file.SetBool("Flag", true));
  ASSERT_TRUE(file.SetBool("Off", false));
  ASSERT_TRUE(file.SetInt("Count", -12));
  const std::string bytes = KavrixReadFile(Path());
  EXPECT_EQ(bytes.substr(bytes.size() - 26), "flag=1\r\noff=0\r\ncount=-12\r\n");
}

TEST_F(SettingsFileTest, MissingFileReadsAsDefaultsAndKeepsWhatWasLoaded) {
  LSettingsFile file(Path());
  EXPECT_EQ(file.GetString("a", "dflt"), "dflt");
  EXPECT_FALSE(file.TestFieldExists("a"));
  ASSERT_TRUE(KavrixWriteFile(Path(), "a=1\r\n"));
  EXPECT_EQ(file.GetString("a"), "1");
  ASSERT_EQ(unlink(Path().c_str()), 0);
  // The list already in memory answers while the file is gone ...
  EXPECT_EQ(file.GetString("a"), "1");
  // ... but a copy takes only the path and starts with nothing.
  LSettingsFile copy(file);
  EXPECT_EQ(copy.GetPath(), Path());
  EXPECT_EQ(copy.GetString("a", "none"), "none");
  LSettingsFile assigned;
  assigned = file;
  EXPECT_EQ(assigned.GetString("a", "none"), "none");
  file.ChangeFilePath(Path("other"));
  EXPECT_EQ(file.GetString("a", "none"), "none");
  EXPECT_EQ(file.GetPath(), Path("other"));
}

TEST_F(SettingsFileTest, ExternalEditOfTheSameSizeInTheSameSecondIsSeen) {
  ASSERT_TRUE(KavrixWriteFile(Path(), "k=1\r\n"));
  SetModificationTime(Path(), 1700000000, 100);
  LSettingsFile file(Path());
  EXPECT_EQ(file.GetString("k"), "1");
  const ino_t inode = Stat(Path()).st_ino;
  ASSERT_TRUE(KavrixWriteFile(Path(), "k=2\r\n"));  // in place: same inode, same size
  SetModificationTime(Path(), 1700000000, 200);
  ASSERT_EQ(Stat(Path()).st_ino, inode);
  EXPECT_EQ(file.GetString("k"), "2");
  EXPECT_TRUE(file.SetString("j", "x"));
  EXPECT_EQ(KavrixReadFile(Path()), "k=2\r\nj=x\r\n");
}

TEST_F(SettingsFileTest, FileReplacedByOneWithTheSameTimesAndSizeIsSeen) {
  ASSERT_TRUE(KavrixWriteFile(Path(), "k=1\r\n"));
  SetModificationTime(Path(), 1700000000, 0);
  LSettingsFile file(Path());
  EXPECT_EQ(file.GetString("k"), "1");
  ASSERT_TRUE(KavrixWriteFile(Path("new"), "k=2\r\n"));
  SetModificationTime(Path("new"), 1700000000, 0);
  ASSERT_EQ(rename(Path("new").c_str(), Path().c_str()), 0);
  EXPECT_EQ(file.GetString("k"), "2");
}

TEST_F(SettingsFileTest, AnotherProcessesWriteIsSeenOnTheNextAccess) {
  LSettingsFile file(Path());
  ASSERT_TRUE(file.SetString("k", "1"));
  EXPECT_EQ(file.GetString("k"), "1");
  TestChild child([this] { return LSettingsFile(Path()).SetString("k", "2") ? 0 : 1; });
  ASSERT_EQ(child.Wait(), 0);
  EXPECT_EQ(file.GetString("k"), "2");
  EXPECT_TRUE(file.SetString("k", "3"));
  EXPECT_EQ(KavrixReadFile(Path()), "k=3\r\n");
}

TEST_F(SettingsFileTest, LoadAndReloadIfChangedReadThroughADescriptor) {
  ASSERT_TRUE(KavrixWriteFile(Path(), "a=1\r\n"));
  LUniqueFd fd(open(Path().c_str(), O_RDONLY));
  LSettingsFile file(Path("unrelated"));
  ASSERT_TRUE(file.Load(fd.Get()));
  EXPECT_TRUE(file.TestFieldExists("a"));
  ASSERT_TRUE(file.ReloadIfChanged(fd.Get()));
  EXPECT_FALSE(file.Load(-1));
}

// A folder that cannot be opened: a path through a regular file fails for
// root as well (chmod would not stop root).
TEST_F(SettingsFileTest, PathThroughARegularFileFailsCleanly) {
  ASSERT_TRUE(KavrixWriteFile(Path("plain"), "x"));
  LSettingsFile file(Path("plain") + "/sub");
  EXPECT_FALSE(file.SetString("a", "1"));
  EXPECT_TRUE(file.SetString("a", nullptr));  // nothing to remove
  EXPECT_EQ(file.GetString("a", "dflt"), "dflt");
  EXPECT_FALSE(file.TestFieldExists("a"));
  LSettingsFile sub;
  file.OpenSubRecord("x", sub);
  EXPECT_FALSE(file.CreateSubRecord("x", sub));
  EXPECT_FALSE(sub.SetString("a", "1"));
}

// A full disk (here: the file size limit) while saving leaves the old file
// whole, reports failure, and leaves no temporary file.
TEST_F(SettingsFileTest, FailedWriteLeavesTheOldFileIntact) {
  LSettingsFile file(Path());
  ASSERT_TRUE(file.SetString("keep", "old"));
  ASSERT_TRUE(file.SetString("other", "kept"));
  const std::string before = KavrixReadFile(Path());
  TestChild child([this] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64, 64};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
    LSettingsFile writer(Path());
    if (writer.SetString("keep", std::string(200, 'n'))) return 1;
    return writer.GetString("keep") == "old" ? 0 : 3;
  });
  EXPECT_EQ(child.Wait(), 0);
  EXPECT_EQ(KavrixReadFile(Path()), before);
  EXPECT_EQ(file.GetString("keep"), "old");
  EXPECT_EQ(CountFiles(), 1);
}

TEST_F(SettingsFileTest, SaveKeepsTheModeAndOwnerOfTheReplacedFile) {
  LSettingsFile file(Path());
  ASSERT_TRUE(file.SetString("a", "1"));
  ASSERT_EQ(chmod(Path().c_str(), 0604), 0);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(Path().c_str(), 4321, 4322), 0);
  }
  ASSERT_TRUE(file.SetString("a", "2"));
  const struct stat info = Stat(Path());
  EXPECT_EQ(info.st_mode & 07777, 0604u);
  if (root) {
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 4322u);
  }
}

// The timed lock gives up and the operation goes ahead: a stuck peer must
// not stop the office.
TEST_F(SettingsFileTest, LockHeldByAnotherProcessDelaysButDoesNotStopAnUpdate) {
  ASSERT_TRUE(LSettingsFile(Path()).SetString("a", "1"));
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  LUniqueFd ready_read(ready[0]), ready_write(ready[1]);
  int done[2];
  ASSERT_EQ(pipe(done), 0);
  LUniqueFd done_read(done[0]), done_write(done[1]);
  TestChild holder([&] {
    LUniqueFd fd(open(Path().c_str(), O_RDWR));
    if (flock(fd.Get(), LOCK_EX) != 0) return 1;
    ready_write.Reset();  // tells the parent the lock is held
    done_write.Reset();
    char byte;
    while (read(done_read.Get(), &byte, 1) < 0) {
    }
    return 0;
  });
  holder.Release();
  ready_write.Reset();
  done_read.Reset();
  char byte;
  ASSERT_EQ(read(ready_read.Get(), &byte, 1), 0);  // EOF once the child holds the lock

  const auto start = std::chrono::steady_clock::now();
  LSettingsFile writer(Path());
  EXPECT_TRUE(writer.SetString("b", "2"));
  const auto waited = std::chrono::steady_clock::now() - start;
  // 3000 ms lock: sleeps of 94, 188, 376, 752 and 1504 ms before giving up.
  EXPECT_GE(waited, std::chrono::milliseconds(94 + 188 + 376 + 752 + 1504));
  done_write.Reset();
  EXPECT_EQ(holder.Wait(), 0);
  EXPECT_EQ(KavrixReadFile(Path()), "a=1\r\nb=2\r\n");
}

TEST_F(SettingsFileTest, SubRecordsLiveInTheFolderBesideTheRecord) {
  LSettingsRecord list(Path("userslist"));
  LSettingsRecord member;
  list.OpenSubRecord("Member", member);
  EXPECT_EQ(member.GetPath(), Path("userslist") + "_/member");
  EXPECT_TRUE(KavrixFileExists(Path("userslist") + "_"));
  EXPECT_FALSE(KavrixFileExists(member.GetPath()));
  EXPECT_FALSE(list.TestSubRecordExists("member"));

  EXPECT_TRUE(list.CreateSubRecord("MEMBER", member));
  EXPECT_TRUE(list.TestSubRecordExists("Member"));
  EXPECT_EQ(KavrixReadFile(member.GetPath()), "");
  EXPECT_FALSE(list.CreateSubRecord("member", member));  // exists already
  ASSERT_TRUE(member.SetString("Email", "a@b.c"));
  EXPECT_EQ(KavrixReadFile(Path("userslist") + "_/member"), "email=a@b.c\r\n");

  // Deleting a member keeps its own sub-record folder while that holds files.
  LSettingsRecord nested;
  ASSERT_TRUE(member.CreateSubRecord("child", nested));
  const std::string first = member.GetPath();
  EXPECT_TRUE(list.DeleteSubRecord("member"));
  EXPECT_FALSE(KavrixFileExists(first));
  EXPECT_TRUE(KavrixFileExists(first + "_/child"));
  EXPECT_FALSE(list.DeleteSubRecord("member"));

  // ... and removes it when empty.
  ASSERT_TRUE(list.CreateSubRecord("second", member));
  member.OpenSubRecord("unused", nested);
  ASSERT_TRUE(KavrixFileExists(member.GetPath() + "_"));
  EXPECT_TRUE(list.DeleteSubRecord("second"));
  EXPECT_FALSE(list.TestSubRecordExists("second"));
  EXPECT_FALSE(KavrixFileExists(member.GetPath() + "_"));
}
