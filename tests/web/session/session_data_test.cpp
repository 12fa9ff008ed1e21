// Session objects and their files: ids, the file format on disk, the lock
// of a changing request, bad ids and bad files, and the purge.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>

#include "foundation/date_time.h"
#include "foundation/thread.h"
#include "foundation/unique_fd.h"
#include "support/temp_root.h"
#include "web/session/session_id.h"
#include "web/session/session_lock.h"
#include "web/session/session_purge.h"
#include "web/session/weblet_session.h"

namespace {

constexpr std::int32_t kNow = 1700000000;

class SessionDataTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    LDateTime::SetFakeNow(kNow);
    folder_ = LWebletSessionData::Folder();
  }
  std::string FileOf(const std::string& id) const { return folder_ + "/" + id + ".sess"; }
  // A session file written `age` seconds before the fake now.
  void PutFile(const std::string& name, const std::string& bytes, std::int64_t age = 0) {
    const std::string path = folder_ + "/" + name;
    ASSERT_TRUE(KavrixWriteFile(path, bytes));
    const timeval times[2] = {{kNow - age, 0}, {kNow - age, 0}};
    ASSERT_EQ(::utimes(path.c_str(), times), 0);
  }
  static bool LockedByOther(const std::string& path) {
    LUniqueFd fd(::open(path.c_str(), O_RDONLY));
    return fd && ::flock(fd.Get(), LOCK_SH | LOCK_NB) != 0;
  }

  std::string folder_;
};

}  // namespace

// New ids: "l" (long) or "s" (short), eight random letters, a counter; only
// ids of that shape name files.
TEST_F(SessionDataTest, OnlyIdsOfTheGeneratedShapeNameFiles) {
  const std::string first = LWebletNewSessionId(true);
  const std::string second = LWebletNewSessionId(false);
  EXPECT_EQ(first[0], 'l');
  EXPECT_EQ(second[0], 's');
  EXPECT_EQ(std::stoul(second.substr(9)), std::stoul(first.substr(9)) + 1);
  EXPECT_NE(first.substr(1, 8), second.substr(1, 8));
  const struct {
    std::string id;
    bool allowed;
  } cases[] = {
      {first, true},         {second, true},            {"labcdefgh", false},
      {"xabcdefgh1", false}, {"labcDefgh1", false},     {"labcdefgh1x", false},
      {"l/bcdefgh1", false}, {"labcdefgh" + std::string(251, '1'), false},
  };
  for (const auto& c : cases) EXPECT_EQ(LWebletSessionIdAllowed(c.id), c.allowed) << c.id;
}

TEST_F(SessionDataTest, NewSessionIsWrittenInTheFileFormatOnFlush) {
  LWebletSessionData session;
  ASSERT_TRUE(session.CreateNewSession(true));
  EXPECT_EQ(session.Path(), FileOf(session.Id()));
  EXPECT_TRUE(LockedByOther(session.Path()));
  session.SetParm("user", "a@b.c");
  session.SetParm("k y", "v&=%\xc3\xa9");
  session.SetInt("n", -5);
  EXPECT_EQ(KavrixReadFile(session.Path()), "");
  ASSERT_TRUE(session.FlushSession());
  EXPECT_FALSE(LockedByOther(session.Path()));
  EXPECT_EQ(KavrixReadFile(session.Path()), "n=-5&k%20y=v%26%3D%25%C3%A9&user=a%40b.c");
}

// A session only read is never written back; its first change truncates the
// file under the exclusive lock, and the flush writes the whole table.
TEST_F(SessionDataTest, ReadOnlyIsNeverWrittenAndTheFirstChangeTruncatesUnderTheLock) {
  PutFile("labcdefgh1.sess", "user=a%40b.c&seluser=x&seluser=y", 100);
  {
    LWebletSessionData session;
    session.LoadSession("labcdefgh1");
    EXPECT_STREQ(session.GetParm("seluser"), "x");
    EXPECT_TRUE(session.FlushSession());
  }
  struct stat info {};
  ASSERT_EQ(::stat(FileOf("labcdefgh1").c_str(), &info), 0);
  EXPECT_EQ(info.st_mtime, kNow - 100);
  LWebletSessionData session;
  session.LoadSession("labcdefgh1");
  EXPECT_FALSE(LockedByOther(FileOf("labcdefgh1")));
  EXPECT_TRUE(session.DeleteParm("seluser"));
  EXPECT_EQ(KavrixReadFile(FileOf("labcdefgh1")), "");
  EXPECT_TRUE(LockedByOther(FileOf("labcdefgh1")));
  session.SetParm("date", "2024-01-02");
  ASSERT_TRUE(session.FlushSession());
  EXPECT_EQ(KavrixReadFile(FileOf("labcdefgh1")), "date=2024-01-02&user=a%40b.c&seluser=y");
}

// A refused or missing id gives an invalid session that keeps its values in
// memory only; a file beyond the size limit is no session.
TEST_F(SessionDataTest, RefusedMissingOrOversizedSessionsAreInvalidAndWriteNoFile) {
  for (const char* id : {"../etc/passwd", "labcdefgh1"}) {
    LWebletSessionData session;
    session.LoadSession(id);
    EXPECT_FALSE(session.IsValid()) << id;
    session.SetParm("user", "x");
    EXPECT_STREQ(session.GetParm("user"), "x");
    EXPECT_TRUE(session.FlushSession());
    EXPECT_TRUE(KavrixFolderEntries(folder_).empty()) << id;
  }
  const std::pair<std::size_t, bool> sizes[] = {{1 << 20, true}, {LWebletSessionData::kMaxFileBytes, false}};
  for (const auto& [size, valid] : sizes) {
    PutFile("labcdefgh1.sess", "user=" + std::string(size, 'v'), 10);
    LWebletSessionData session;
    session.LoadSession("labcdefgh1");
    EXPECT_EQ(session.IsValid(), valid) << size;
  }
}

TEST_F(SessionDataTest, PurgeKeepsShortSessionsSevenDaysAndLongOnesHalfAYear) {
  const struct {
    const char* name;
    std::int64_t age;
    bool kept;
  } cases[] = {
      {"sabcdefgh1.sess", kLShortSessionLifeSeconds, true},
      {"sabcdefgh2.sess", kLShortSessionLifeSeconds + 1, false},
      {"labcdefgh5.sess", kLLongSessionLifeSeconds, true},
      {"labcdefgh6.sess", kLLongSessionLifeSeconds + 1, false},
      {"xother.sess", 8 * 86400, false},
      {"labcdefgh7.txt", kLLongSessionLifeSeconds + 1, true},
      {"sabcdefgh8.sess", -3600, true},
  };
  for (const auto& c : cases) PutFile(c.name, "user=a", c.age);
  EXPECT_EQ(LWebletPurgeSessionFolder(folder_, kNow), 3);
  for (const auto& c : cases) EXPECT_EQ(KavrixFileExists(folder_ + "/" + c.name), c.kept) << c.name;
}

namespace {
class IdleThread : public LThread {
 protected:
  void ThreadFunction() override {}
};
}  // namespace

TEST_F(SessionDataTest, LockWaitIsBoundedAndEndsOnStop) {
  PutFile("labcdefgh1.sess", "");
  LUniqueFd holder(::open(FileOf("labcdefgh1").c_str(), O_RDONLY));
  LUniqueFd waiter(::open(FileOf("labcdefgh1").c_str(), O_RDONLY));
  ASSERT_EQ(::flock(holder.Get(), LOCK_EX), 0);
  EXPECT_FALSE(LSessionFileLock(waiter.Get(), LOCK_SH, 0, nullptr));
  IdleThread stopped;
  stopped.StopThreadSoon();
  EXPECT_FALSE(LSessionFileLock(waiter.Get(), LOCK_EX, 600000, &stopped));
  ASSERT_EQ(::flock(holder.Get(), LOCK_UN), 0);
  EXPECT_TRUE(LSessionFileLock(waiter.Get(), LOCK_EX, 0, nullptr));
}
