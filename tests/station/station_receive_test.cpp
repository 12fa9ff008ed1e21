// What a logged-on station can make the server hold: screenshot bodies that
// fall silent, and pictures beyond the server-wide screenshot budget.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "station/station_client.h"
#include "station/station_limits.h"
#include "station/station_receive.h"
#include "support/log_lines.h"
#include "support/loopback.h"

namespace {

// A screenshot header (and fixed part) that declares `total` bytes.
std::string Declaration(std::uint32_t total) {
  return WithTotal(LKXBuildScreenshot({1709546400, kLKXFlagJpeg, ""}), total);
}

class StationReceiveTest : public StationTest {
 protected:
  void SetUp() override {
    StationTest::SetUp();
    AddUser("ann@x", "Ann", "Sales", "pw");
  }
};

// Each case: how much of a declared body comes before the station falls
// silent for good.
TEST_F(StationReceiveTest, ASilentBodyEndsTheSession) {
  limits = LKXStationLimits{200, kLKXMaxConnectionsPerUser};
  const struct {
    std::uint32_t total;
    std::size_t sent;
  } cases[] = {{1000, 0}, {kLKXMaxScreenshotMessage, 3 * kLKXReceivePieceBytes + 1}};
  for (const auto& c : cases) {
    // A quiet station between messages is no stalled body: it stays.
    StationClient idle, stalled;
    ASSERT_TRUE(Connect(idle, "ann@x"));
    ASSERT_TRUE(Connect(stalled, "ann@x", 0));
    ASSERT_TRUE(stalled.Send(Declaration(c.total) + std::string(c.sent, 'j')));
    EXPECT_TRUE(stalled.PeerClosed()) << c.sent;
    EXPECT_TRUE(idle.Sync()) << c.sent;
  }
}

// With the server-wide screenshot budget taken by a stalled picture, a new
// screenshot ends its session (logged once) and holds nothing; once the
// stalled one ends, pictures are taken again.
TEST_F(StationReceiveTest, ScreenshotsBeyondTheServerBudgetEndTheirSession) {
  LKXScreenshotBudget().SetCapacity(kLKXReceivePieceBytes);
  const std::string shot = LKXBuildScreenshot({1709546400, kLKXFlagJpeg, std::string(1000, 'j')});
  auto stalled = std::make_unique<StationClient>();
  ASSERT_TRUE(Connect(*stalled, "ann@x", 0));
  ASSERT_TRUE(stalled->Send(Declaration(kLKXMaxScreenshotMessage) + "j"));
  ASSERT_TRUE(KavrixWaitUntil(
      [] { return LKXScreenshotBudget().InFlight() == kLKXReceivePieceBytes; }));
  for (int i = 0; i < 2; ++i) {
    StationClient refused;
    ASSERT_TRUE(Connect(refused, "ann@x", 0));
    ASSERT_TRUE(refused.Send(shot));
    EXPECT_TRUE(refused.PeerClosed()) << i;
  }
  const std::string refusal =
      "A screenshot from ann@x was refused: the server holds as many screenshot bytes as it "
      "will (" + std::to_string(kLKXReceivePieceBytes) + ").";
  EXPECT_EQ(KavrixLogCount(refusal), 1) << KavrixReadLogText();
  stalled.reset();
  ASSERT_TRUE(KavrixWaitUntil([] { return LKXScreenshotBudget().InFlight() == 0; }));
  StationClient taken;
  ASSERT_TRUE(Connect(taken, "ann@x", 0));
  ASSERT_TRUE(taken.Send(shot));
  EXPECT_TRUE(taken.Sync());
  LKXScreenshotBudget().SetCapacity(kLKXScreenshotBytesInFlightCap);
}

}  // namespace
