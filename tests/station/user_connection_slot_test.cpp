#include "station/user_connection_slot.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "station/station_client.h"
#include "station/station_limits.h"
#include "support/log_reader.h"
#include "support/loopback.h"
#include "web/session/weblet_session.h"

namespace {

class StationConnectionLimitTest : public StationTest {};

// One logon more than the limit gets the protocol's refusal: a 16-byte
// reply with result 1 and no id, a log line, and the end of the connection.
TEST_F(StationConnectionLimitTest, TheConnectionAfterTheLimitIsRefusedAndLogged) {
  AddUser("ann@x", "Ann", "Sales", "pw");
  std::vector<std::unique_ptr<StationClient>> open;
  for (int i = 0; i < kLKXMaxConnectionsPerUser; ++i) {
    open.push_back(std::make_unique<StationClient>());
    ASSERT_TRUE(Connect(*open.back(), i % 2 ? "ANN@x" : "ann@x", i == 0 ? kLKXStationMainSession : 0)) << i;
  }
  EXPECT_TRUE(Refused("ann@x", "pw"));
  EXPECT_TRUE(StationLogged("ann@x attempted logon from 127.0.0.1:", ". 8 connections are open already."))
      << KavrixReadLogText();
  // No web session for the refused one.
  EXPECT_EQ(KavrixFolderEntries(LWebletSessionData::Folder()).size(), std::size_t(kLKXMaxConnectionsPerUser));
  // A slot comes free when its session ends (the end is noticed on the
  // server's next tick, so the logon is tried until it is accepted).
  open.front()->Close();
  ASSERT_TRUE(KavrixWaitUntil([&] {
    StationClient again;
    return again.Open(Port()) && again.Logon("ann@x", "pw") && again.Sync();
  }));
}

}  // namespace
