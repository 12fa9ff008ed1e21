// Changing and deleting manual-hours rows: exact bytes left on disk.

#include "model/manual_log_edit.h"

#include <gtest/gtest.h>

#include "support/lock_pauses.h"
#include "support/test_helpers.h"

namespace {

class ManualLogEditTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    ASSERT_EQ(mkdir(Folder().c_str(), 0777), 0);
  }
  std::string Folder() const { return TempDir() + "/user"; }
  std::string Log() const { return Folder() + "/2026-03-02_manual.csv"; }
};

LKXManualRowChange Delete(const char* start, int duration) { return {start, duration, true, false, false, ""}; }
LKXManualRowChange Change(const char* start, int duration, bool makePrivate, const char* comment) {
  return {start, duration, false, makePrivate, false, comment};
}

struct EditCase { const char* name; std::string before; std::vector<LKXManualRowChange> changes; std::string after; };

TEST_F(ManualLogEditTest, RewritesOnlyTheNamedRows) {
  const std::string two = "08:00:00,3600,0,\"a\"\r\n09:00:00,1800,2,\"b\"\r\n";
  const std::string broken = "garbage\r\n08:00:00,3600,0,\"a\"\r\n,,,\n09:00:00,abc,0,\"x\"\r";
  const EditCase cases[] = {
      {"delete one", two, {Delete("08:00:00", 3600)}, "09:00:00,1800,2,\"b\"\r\n"},
      {"duration must match too", two, {Delete("08:00:00", 3599)}, two},
      {"identical rows are both deleted", two + two, {Delete("09:00:00", 1800)},
       "08:00:00,3600,0,\"a\"\r\n08:00:00,3600,0,\"a\"\r\n"},
      {"private set, other flag bits kept", two, {Change("09:00:00", 1800, true, "said \"x\"\tnow")},
       "08:00:00,3600,0,\"a\"\r\n09:00:00,1800,3,\"said \"\"x\"\" now\"\r\n"},
      {"unchanged row keeps its bytes", "10:00:00,60,0,c\n", {Change("10:00:00", 60, false, "c")},
       "10:00:00,60,0,c\r\n"},
      {"broken rows are copied as they are", broken, {Delete("08:00:00", 3600)},
       "garbage\r\n,,,\r\n09:00:00,abc,0,\"x\"\r\n"},
      {"kept comment", "10:00:00,60,0,\"long \"\"text\"\"\"\r\n", {{"10:00:00", 60, false, true, true, "ignored"}},
       "10:00:00,60,1,\"long \"\"text\"\"\"\r\n"},
  };
  for (const EditCase& c : cases) {
    ASSERT_TRUE(KavrixWriteFile(Log(), c.before));
    EXPECT_EQ(KXEditManualLog(Log(), c.changes), LKXManualEditResult::kDone) << c.name;
    EXPECT_EQ(KavrixReadFile(Log()), c.after) << c.name;
    EXPECT_EQ(KavrixFolderEntries(Folder()), Strings({"2026-03-02_manual.csv"})) << c.name;
  }
}

TEST_F(ManualLogEditTest, DeletingTheLastRowRemovesTheLog) {
  ASSERT_TRUE(KavrixWriteFile(Log(), "23:00:00,3600,0,\"late\"\r\n\r\n"));
  EXPECT_EQ(KXEditManualLog(Log(), {Delete("23:00:00", 3600)}), LKXManualEditResult::kDone);
  EXPECT_EQ(KXEditManualLog(Log(), {Delete("23:00:00", 3600)}), LKXManualEditResult::kNoLog);
  EXPECT_FALSE(KavrixFileExists(Log()));
}

// The editor's lock is tested with the editor; here only the answer a page
// shows for it.
TEST_F(ManualLogEditTest, ALockedLogIsBusy) {
  ASSERT_TRUE(KavrixWriteFile(Log(), "08:00:00,3600,0,\"a\"\r\n"));
  LUniqueFd station = HoldLock(Log());
  KavrixLockPauses pauses;
  EXPECT_EQ(KXEditManualLog(Log(), {Delete("08:00:00", 3600)}, 50), LKXManualEditResult::kBusy);
}

}  // namespace
