#include "foundation/file_lock.h"

#include "foundation/paths.h"
#include "support/lock_pauses.h"
#include "support/test_helpers.h"

class FileLockTest : public KavrixTempRoot {};

// A held lock makes a second try fail after the documented pauses
// (timeout/32+1 doubling while below the timeout: 63+126+252+504+1008 ms for
// 2000); the caller then goes on unlocked. Shared locks do not conflict.
TEST_F(FileLockTest, TimedOutLockReturnsFailureAfterTheWaitSequence) {
  const std::string path = TempDir() + "/f";
  LUniqueFd holder(open(path.c_str(), O_RDWR | O_CREAT, 0666)), waiter(open(path.c_str(), O_RDWR));
  ASSERT_EQ(flocktimed(holder.Get(), LOCK_EX, 100), 0);
  KavrixLockPauses pauses;
  EXPECT_EQ(flocktimed(waiter.Get(), LOCK_EX, 2000), -1);
  EXPECT_EQ(pauses.Taken(), (std::vector<int>{63, 126, 252, 504, 1008}));
  EXPECT_FALSE(LFileLockGuard(waiter.Get(), LOCK_EX, 64).Locked());
  EXPECT_EQ(flocktimed(-1, LOCK_EX, 100000), -1) << "a bad descriptor fails without waiting";
}
