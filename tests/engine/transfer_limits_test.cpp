// The bounds of a transfer: its pace, the shared budget of bytes in
// flight, and the deadlines the socket operations honour.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <thread>
#include <tuple>

#include "engine/bytes_in_flight.h"
#include "engine/send_pace.h"
#include "engine/socket_ops.h"
#include "socket_pair.h"
#include "support/loopback.h"

TEST(TransferPace, AllowsTheBaseAndASecondPerFloorOfBytes) {
  const std::tuple<LTransferPace, std::uint64_t, int> cases[] = {
      {{30000, 8192}, 8192, 31000}, {{30000, 8192}, 1000000, 152070}, {{0, 1000}, 1, 1}, {{0, 3}, 2, 666},
      {{-5, 0}, 2, 2000},  // no floor counts as one byte a second
      {{1, 1}, std::uint64_t{1} << 40, INT_MAX},
  };
  for (const auto& [pace, bytes, ms] : cases) EXPECT_EQ(pace.AllowedMs(bytes), ms) << bytes;
}

// The web and station tests return shares through real transfers; here the
// bounds: a share never shrinks, and no growth passes the capacity.
TEST(BytesInFlight, SharesGrowWithinTheCapacityAndComeBackWhole) {
  LBytesInFlight budget(100);
  {
    LBytesInFlightShare a(budget);
    LBytesInFlightShare b(budget);
    EXPECT_TRUE(a.GrowTo(60) && a.GrowTo(10) && b.GrowTo(40));
    EXPECT_FALSE(b.GrowTo(41) || a.GrowTo(std::size_t(-1)));
    EXPECT_EQ(b.Held() + a.Held(), 100u);
  }
  EXPECT_EQ(budget.InFlight(), 0u);
}

// A passed deadline fails a receive even with its bytes waiting.
TEST(ProcessRecvBytes, FailsOncePastItsDeadline) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  ASSERT_TRUE(KavrixSendAll(pair.peer.Get(), "abcd"));
  char got[4];
  EXPECT_EQ(ProcessRecvBytes(nullptr, pair.ours.Get(), got, 2, 5000, LRecvDeadline::InMs(0)), kLProcessFailed);
  EXPECT_EQ(ProcessRecvBytes(nullptr, pair.ours.Get(), got, 4, 5000, LRecvDeadline::InMs(60000)), kLProcessDone);
  EXPECT_EQ(std::string(got, 4), "abcd");
}

// Inside a pace scope a send that must wait for a peer that does not read
// gives up once the pace is missed; lifted, and outside any scope, it waits.
// Every web answer is sent within a pace it meets.
TEST(SendPace, AWaitBeyondThePaceFails) {
  KavrixSocketPair pair = KavrixMakeSocketPair();
  const std::string bytes(64 * 1024 * 1024, 'x');
  {
    LSendPaceScope scope({0, SIZE_MAX});
    EXPECT_EQ(ProcessSend(nullptr, pair.ours.Get(), bytes.data(), bytes.size(), 60000), kLProcessFailed);
    EXPECT_TRUE(scope.Missed());
    const LSendPaceLift lift;
    EXPECT_TRUE(LSendPaceScope::WaitAllowed());
  }
  EXPECT_TRUE(LSendPaceScope::WaitAllowed());
}
