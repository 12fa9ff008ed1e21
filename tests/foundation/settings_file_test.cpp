#include "foundation/settings_file.h"

#include <sys/resource.h>

#include <climits>

#include "support/test_helpers.h"

class SettingsFileTest : public KavrixTempRoot {
 protected:
  std::string Path(const std::string& name = "section") const { return TempDir() + "/" + name; }
  struct stat Stat() const {
    struct stat info {};
    EXPECT_EQ(stat(Path().c_str(), &info), 0);
    return info;
  }
  void Rewrite(const std::string& path, const std::string& bytes, long nsec) {
    const timespec times[2] = {{0, UTIME_OMIT}, {1700000000, nsec}};
    ASSERT_TRUE(KavrixWriteFile(path, bytes) && utimensat(AT_FDCWD, path.c_str(), times, 0) == 0);
  }
};

// A hand-typed mixed-case key is found only without regard to case; the
// cleaning of keys and values is the parser's. Null removes a key; setting
// the value a key already has leaves the file untouched.
TEST_F(SettingsFileTest, WritesLowerCaseKeysAsKeyEqualsValueCrLf) {
  LSettingsFile file(Path());
  EXPECT_TRUE(file.SetString("gone", nullptr) && !KavrixFileExists(Path()));
  ASSERT_TRUE(file.SetString("UserName", "Bob") && file.SetString("long", "v") && file.SetString("USERNAME", "Alice"));
  EXPECT_EQ(KavrixReadFile(Path()), "username=Alice\r\nlong=v\r\n");
  EXPECT_EQ(LSettingsFile(Path()).GetString("uSeRnAmE"), "Alice");
  const struct stat before = Stat();
  EXPECT_TRUE(file.SetString("LONG", "v") && LSettingsFile(Path()).SetString("long", "v"));
  EXPECT_TRUE(Stat().st_ino == before.st_ino && Stat().st_mtim.tv_nsec == before.st_mtim.tv_nsec);
  EXPECT_TRUE(file.SetString("Long", nullptr) && KavrixReadFile(Path()) == "username=Alice\r\n");
  ASSERT_TRUE(KavrixWriteFile(Path(), "UserName=Bob\r\n"));
  EXPECT_TRUE(file.TestFieldExists("USERNAME"));
}

TEST_F(SettingsFileTest, BoolsAndIntsFollowTheirReadingRules) {
  ASSERT_TRUE(KavrixWriteFile(Path(), "empty=\r\nzeros=00\r\nno=no\r\nnum=  42x\r\nhuge=99999999999\r\ntext=abc\r\n"));
  LSettingsFile file(Path());
  EXPECT_TRUE(file.GetBool("empty", true) && file.GetBool("no", false));
  EXPECT_FALSE(file.GetBool("empty", false) || file.GetBool("zeros", true));
  for (auto [key, expected] : {std::pair{"empty", 5}, {"num", 42}, {"huge", INT_MAX}, {"text", 0}}) {
    EXPECT_EQ(file.GetInt(key, 5), expected) << key;
  }
  ASSERT_TRUE(file.SetBool("Off", false) && file.SetInt("Count", -12));
  EXPECT_TRUE(KavrixReadFile(Path()).ends_with("off=0\r\ncount=-12\r\n"));
}

// Neither an edit in place of the same size within the same second nor a
// file renamed over it with the same times and size hides behind the cache.
TEST_F(SettingsFileTest, ChangesBehindTheCacheAreSeen) {
  Rewrite(Path(), "k=1\r\n", 100);
  LSettingsFile file(Path());
  std::string seen = file.GetString("k");
  Rewrite(Path(), "k=2\r\n", 200);
  seen += file.GetString("k");
  Rewrite(Path("new"), "k=3\r\n", 200);
  ASSERT_EQ(rename(Path("new").c_str(), Path().c_str()), 0);
  EXPECT_EQ(seen + file.GetString("k"), "123");
  EXPECT_TRUE(file.SetString("j", "x") && KavrixReadFile(Path()) == "k=3\r\nj=x\r\n");
}

// A full disk (here: the file size limit) while saving leaves the old file
// whole and reports failure; a save keeps the replaced file's mode and owner.
TEST_F(SettingsFileTest, SavesNeverLoseTheOldFileNorItsModeAndOwner) {
  LSettingsFile file(Path());
  ASSERT_TRUE(file.SetString("keep", "old") && file.SetString("other", "kept"));
  TestChild child([this] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64, 64};
    LSettingsFile writer(Path());
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0 || writer.SetString("keep", std::string(200, 'n'))) return 1;
    return writer.GetString("keep") == "old" ? 0 : 2;
  });
  EXPECT_EQ(child.Wait(), 0);
  EXPECT_EQ(KavrixReadFile(Path()), "keep=old\r\nother=kept\r\n");
  EXPECT_EQ(KavrixFolderEntries(TempDir()), (Strings{"home", "section"}));
  const bool root = geteuid() == 0;  // only root can give the file away
  ASSERT_TRUE(chmod(Path().c_str(), 0604) == 0 && (!root || chown(Path().c_str(), 4321, 4322) == 0));
  ASSERT_TRUE(file.SetString("keep", "new"));
  EXPECT_EQ(std::filesystem::status(Path()).permissions(), std::filesystem::perms(0604));
  EXPECT_TRUE(!root || (Stat().st_uid == 4321 && Stat().st_gid == 4322));
}

// Sub-records live in the folder beside the record, named in lower case.
// Deleting a member keeps its own sub-record folder while that holds files,
// and removes it when empty.
TEST_F(SettingsFileTest, DeletingASubRecordKeepsItsOwnFolderWhileItHoldsFiles) {
  LSettingsRecord list(Path("userslist")), member, nested;
  ASSERT_TRUE(list.CreateSubRecord("Member", member) && member.CreateSubRecord("child", nested));
  EXPECT_TRUE(list.TestSubRecordExists("MEMBER") && !list.CreateSubRecord("member", member));
  EXPECT_TRUE(list.DeleteSubRecord("member") && !list.DeleteSubRecord("member"));
  ASSERT_TRUE(list.CreateSubRecord("second", member));
  member.OpenSubRecord("unused", nested);
  EXPECT_TRUE(list.DeleteSubRecord("second"));
  EXPECT_EQ(KavrixFolderEntries(Path("userslist") + "_"), (Strings{"member_"}));
}

// A held record answers from one reading; a write of its own lets go again.
TEST_F(SettingsFileTest, HeldReadingIgnoresLaterChangesUntilItsOwnWrite) {
  ASSERT_TRUE(KavrixWriteFile(Path(), "a=1\r\nb=1\r\n"));
  LSettingsFile held(Path());
  held.HoldReading();
  ASSERT_TRUE(LSettingsFile(Path()).SetString("a", "2"));
  EXPECT_EQ(held.GetString("a") + held.GetString("b"), "11");
  ASSERT_TRUE(held.SetString("b", "3"));
  ASSERT_TRUE(LSettingsFile(Path()).SetString("a", "4"));
  EXPECT_EQ(held.GetString("a") + held.GetString("b"), "43");
}
