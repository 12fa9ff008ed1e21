// The throttle of failed logons, driven by the fake clock: who waits how
// long, and what the real user keeps.

#include "web/session/logon_throttle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/date_time.h"
#include "support/temp_root.h"

namespace {

constexpr std::int32_t kNow = 1773144000;  // 2026-03-10 12:00:00 UTC

class LogonThrottleTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    LDateTime::SetFakeNow(kNow);
  }
  // `count` failures of `account` from `address`; the account waits returned.
  std::vector<int> Fail(int count, const std::string& account, const std::string& address) {
    std::vector<int> waits;
    for (int i = 0; i < count; ++i) waits.push_back(throttle_.Failed(account, address));
    return waits;
  }
  LKXLogonThrottle throttle_;
};

TEST_F(LogonThrottleTest, DelayDoublesAfterTheFreeFailuresUpToTheCap) {
  const std::pair<int, int> table[] = {{4, 0}, {5, 1}, {6, 2}, {9, 16}, {10, 30}, {1 << 30, 30}};
  for (const auto& [failures, seconds] : table) EXPECT_EQ(LKXLogonThrottle::DelaySeconds(failures), seconds) << failures;
}

TEST_F(LogonThrottleTest, AnAddressTakesTurnsAndAFullQueueIsRefusedUnchecked) {
  EXPECT_EQ(Fail(5, "ann@x.example", "10.0.0.1"), (std::vector<int>{0, 0, 0, 0, 0}));
  // Attempts arriving together on many connections wait one behind the other.
  std::vector<int> turns;
  for (int turn = throttle_.AddressTurn("10.0.0.1"); turn >= 0; turn = throttle_.AddressTurn("10.0.0.1")) {
    turns.push_back(turn);
  }
  ASSERT_EQ(turns.size(), static_cast<std::size_t>(kLKXLogonMaxQueueSeconds));
  EXPECT_EQ(turns.front(), 1);
  EXPECT_EQ(turns.back(), kLKXLogonMaxQueueSeconds);
  // Another address, the real user's, is not held up.
  EXPECT_EQ(throttle_.AddressTurn("10.0.0.2"), 0);
  // An address quiet for the forgetting time starts afresh.
  LDateTime::SetFakeNow(kNow + kLKXLogonMaxQueueSeconds + kLKXLogonForgetSeconds);
  EXPECT_EQ(throttle_.AddressTurn("10.0.0.1"), 0);
}

TEST_F(LogonThrottleTest, AnAccountDelaysOnlyItsFailuresAndARightPasswordClearsIt) {
  // From changing addresses, as a spread-out attack comes.
  std::vector<int> waits;
  for (int i = 0; i < 8; ++i) waits.push_back(throttle_.Failed("Ann@X.example", "10.0.1." + std::to_string(i)));
  EXPECT_EQ(waits, (std::vector<int>{0, 0, 0, 0, 0, 1, 2, 4}));
  EXPECT_EQ(throttle_.AddressTurn("10.0.1.7"), 0);  // one failure there
  throttle_.Succeeded("ann@x.example");
  EXPECT_EQ(throttle_.Failed("ann@x.example", "10.0.2.1"), 0);
}

TEST_F(LogonThrottleTest, MadeUpNamesDoNotGrowTheTablesBeyondTheLimit) {
  for (std::size_t i = 0; i <= kLKXLogonMaxTracked; ++i) {
    LDateTime::SetFakeNow(kNow + static_cast<std::int32_t>(i));
    for (int n = 0; n < (i == 0 ? 5 : 1); ++n) throttle_.Failed("u" + std::to_string(i), "10.9." + std::to_string(i));
  }
  // The oldest entry made room for the last one: its count is gone.
  EXPECT_EQ(throttle_.AddressTurn("10.9.0"), 0);
  EXPECT_EQ(throttle_.Failed("u0", "10.8.0.1"), 0);
}

}  // namespace
