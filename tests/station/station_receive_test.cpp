// What a logged-on station can make the server hold: screenshot headers
// that declare the largest picture and then stall, and bodies that fall
// silent. The server runs in this process, so its memory is this process's.

#include <arpa/inet.h>
#include <dirent.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "station/server_connection.h"
#include "station/station_client.h"
#include "station/station_limits.h"
#include "station/station_pages.h"
#include "station/station_receive.h"
#include "support/log_reader.h"
#include "support/loopback.h"

namespace {

long ResidentKiB() {
  const std::string status = KavrixReadFile("/proc/self/status");
  const std::size_t at = status.find("\nVmRSS:");
  return at == std::string::npos ? -1 : std::stol(status.substr(at + 7));
}

// Whether the server's thread has taken every byte the client sent: none
// waits in the client's send queue, none unread at the server's end.
bool ServerTookAll(int clientFd, int serverFd) {
  int unsent = -1, unread = -1;
  return ioctl(clientFd, TIOCOUTQ, &unsent) == 0 && ioctl(serverFd, FIONREAD, &unread) == 0 && unsent == 0 &&
         unread == 0;
}

// A screenshot header (and fixed part) that declares `total` bytes.
std::string Declaration(std::uint32_t total) {
  return WithTotal(LKXBuildScreenshot({1709546400, kLKXFlagJpeg, ""}), total);
}

class StationReceiveTest : public StationTest {};

TEST_F(StationReceiveTest, FiftyStalledScreenshotDeclarationsHoldOnlyWhatArrived) {
  constexpr int kUsers = 10;
  constexpr int kPerUser = 5;
  constexpr std::size_t kSentBytes = 100 * 1024;
  for (int u = 0; u < kUsers; ++u) AddUser("u" + std::to_string(u) + "@x", "U", "T", "pw");
  std::vector<std::unique_ptr<StationClient>> stations;
  std::vector<int> serverEnds;
  for (int i = 0; i < kUsers * kPerUser; ++i) {
    stations.push_back(std::make_unique<StationClient>());
    ASSERT_TRUE(Connect(*stations.back(), "u" + std::to_string(i % kUsers) + "@x", 0)) << i;
    serverEnds.push_back(StationServerEnd(stations.back()->Fd()));
    ASSERT_GE(serverEnds.back(), 0) << i;
  }
  const long before = ResidentKiB();
  const std::string body(kSentBytes, 'j');
  for (auto& station : stations) ASSERT_TRUE(station->Send(Declaration(kLKXMaxScreenshotMessage) + body));
  ASSERT_TRUE(KavrixWaitUntil([&] {
    for (std::size_t i = 0; i < stations.size(); ++i) {
      if (!ServerTookAll(stations[i]->Fd(), serverEnds[i])) return false;
    }
    return true;
  }));
  EXPECT_LT(ResidentKiB() - before, 50 * 1024) << "KiB";
}

// Each case: how much of a declared body comes before the station falls
// silent for good.
TEST_F(StationReceiveTest, ASilentBodyEndsTheSession) {
  limits = LKXStationLimits{200, kLKXMaxConnectionsPerUser};
  AddUser("ann@x", "Ann", "Sales", "pw");
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
  AddUser("ann@x", "Ann", "Sales", "pw");
  const std::string shot = LKXBuildScreenshot({1709546400, kLKXFlagJpeg, std::string(1000, 'j')});
  auto stalled = std::make_unique<StationClient>();
  ASSERT_TRUE(Connect(*stalled, "ann@x", 0));
  ASSERT_TRUE(stalled->Send(Declaration(kLKXMaxScreenshotMessage) + "j"));
  ASSERT_TRUE(KavrixWaitUntil([] { return LKXScreenshotBudget().InFlight() == kLKXReceivePieceBytes; }));
  for (int i = 0; i < 2; ++i) {
    StationClient refused;
    ASSERT_TRUE(Connect(refused, "ann@x", 0));
    ASSERT_TRUE(refused.Send(shot));
    EXPECT_TRUE(refused.PeerClosed()) << i;
  }
  int lines = 0;
  for (const std::string& message : KavrixLogMessages()) {
    lines += message.rfind("A screenshot from ann@x was refused: the server holds as many screenshot bytes", 0) == 0;
  }
  EXPECT_EQ(lines, 1) << KavrixReadLogText();
  stalled.reset();
  ASSERT_TRUE(KavrixWaitUntil([] { return LKXScreenshotBudget().InFlight() == 0; }));
  StationClient taken;
  ASSERT_TRUE(Connect(taken, "ann@x", 0));
  ASSERT_TRUE(taken.Send(shot));
  EXPECT_TRUE(taken.Sync());
  LKXScreenshotBudget().SetCapacity(kLKXScreenshotBytesInFlightCap);
}

}  // namespace
