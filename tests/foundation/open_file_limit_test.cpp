#include "foundation/open_file_limit.h"

#include <sys/resource.h>

#include "support/test_helpers.h"

// In a child, so that the test process keeps its own limit: a low soft limit
// goes up to the hard one; one already there stays.
TEST(OpenFileLimitTest, SoftLimitIsRaisedToTheHardLimit) {
  TestChild child([] {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_max < 128) return 2;
    const rlim_t hard = limit.rlim_max;
    limit.rlim_cur = 64;
    if (setrlimit(RLIMIT_NOFILE, &limit) != 0) return 3;
    if (LRaiseOpenFileLimit() != static_cast<long>(hard)) return 4;
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur != hard || limit.rlim_max != hard) return 5;
    return LRaiseOpenFileLimit() == static_cast<long>(hard) ? 0 : 6;
  });
  EXPECT_EQ(child.Wait(), 0);
}
