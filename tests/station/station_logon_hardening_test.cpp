// The station logon under attack and on a full disk: failed logons are slowed
// down, and a logon whose web session cannot be saved is refused.

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "foundation/date_time.h"
#include "station/station_client.h"
#include "support/full_disk.h"
#include "support/log_reader.h"
#include "web/session/logon_throttle.h"
#include "web/session/weblet_session.h"

namespace {

std::mutex gWaitsMutex;  // guards gWaits
std::vector<int> gWaits;

// Records the throttle's waits instead of spending them; the fake clock
// moves on as the real one would have.
bool RecordWait(LThread*, int seconds) {
  std::lock_guard<std::mutex> lock(gWaitsMutex);
  gWaits.push_back(seconds);
  LDateTime::SetFakeNow(LDateTime::Now().value + seconds);
  return true;
}

class StationLogonHardeningTest : public StationTest {
 protected:
  void SetUp() override {
    StationTest::SetUp();
    LDateTime::SetFakeNow(1773144000);
    KXSetLogonWaitFunction(&RecordWait);
    std::lock_guard<std::mutex> lock(gWaitsMutex);
    gWaits.clear();
  }
  void TearDown() override {
    KXSetLogonWaitFunction(nullptr);
    StationTest::TearDown();
  }
  // One logon on a connection of its own; the reply's result, or -1.
  int LogonResult(const std::string& password) {
    StationClient station;
    if (!station.Open(Port())) return -1;
    station.Logon("ann@x.example", password, 0);
    return station.ReplyBytes().size() >= 16 ? station.Reply().result : -1;
  }
};

// The throttle's counts and log lines are its own test's; here that the
// station logon goes through it.
TEST_F(StationLogonHardeningTest, WrongDigestsAreSlowedDownTheRightOneStillWorks) {
  AddUser("ann@x.example", "Ann", "Sales", "pw");
  for (int attempt = 1; attempt <= 6; ++attempt) EXPECT_EQ(LogonResult("guess"), kLKXLogonRefused) << attempt;
  {
    std::lock_guard<std::mutex> lock(gWaitsMutex);
    EXPECT_FALSE(gWaits.empty());
  }
  EXPECT_EQ(LogonResult("pw"), kLKXLogonAccepted);
}

TEST_F(StationLogonHardeningTest, ALogonWhoseWebSessionCannotBeSavedIsRefusedWithoutASessionFile) {
  AddUser("ann@x.example", "Ann", "Sales", "pw");
  const std::string folder = LWebletSessionData::Folder();
  KavrixFullDisk disk;
  KAVRIX_FULL_DISK_OR_SKIP(disk, folder);
  EXPECT_TRUE(Refused("ann@x.example", "pw"));
  EXPECT_EQ(KavrixFolderEntries(folder), std::vector<std::string>{"~filler"});
  EXPECT_TRUE(StationLogged("ann@x.example logon from 127.0.0.1:", " refused: its web session could not be saved."));
}

}  // namespace
