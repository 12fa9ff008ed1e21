// The engine as the service runs it (LCreateServiceEngine): start, settings
// changes, stop, on real sockets and real settings files.

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/settings_change.h"
#include "foundation/settings_sections.h"
#include "maintenance/maintenance_thread.h"
#include "service/engine_assembly.h"
#include "support/log_reader.h"
#include "support/loopback.h"
#include "support/temp_root.h"
#include "support/web_server_fixture.h"

namespace {

class MainEngineTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    port_ = KavrixFreeLoopbackPort();
    LSettingSetString("Routing", "LocalPort", std::to_string(port_));
    engine_ = LCreateServiceEngine(nullptr);
  }
  void TearDown() override {
    engine_.reset();
    KavrixTempRoot::TearDown();
  }

  // A keep-alive connection that has had one request answered.
  LUniqueFd OpenKeepAlive(std::uint16_t port) {
    LUniqueFd client = KavrixConnectLoopbackRetry(port, 10000);
    EXPECT_TRUE(RequestOn(client.Get()));
    return client;
  }
  static bool RequestOn(int fd) {
    return KavrixSendAll(fd, "GET /s.css HTTP/1.1\r\nHost: x\r\n\r\n") &&
           KavrixRecvHttpResponse(fd).rfind("HTTP/1.1 200 OK\r\n", 0) == 0;
  }

  std::uint16_t port_ = 0;
  std::unique_ptr<MainEngine> engine_;
};

}  // namespace

// A crash leaves users marked connected; the start clears them (every
// record and no gap: UsersTest). Codes other than 1 ignore Control. A
// settings change with the same port keeps connections open; with a new one
// it moves the listener and cuts them. The routing page's request is carried
// out on the engine's own thread (it may come from a connection), only while
// running. Destroying the running engine stops it.
TEST_F(MainEngineTest, StartSettingsChangesAndDestructionRunEveryPart) {
  const std::string list = SharedFolder() + "/userslist";
  ASSERT_TRUE(KavrixWriteFile(list, "maxid=1\r\n"));
  ASSERT_TRUE(std::filesystem::create_directories(list + "_"));
  ASSERT_TRUE(KavrixWriteFile(list + "_/0", "email=u0@x.com\r\nconnected=1\r\n"));
  engine_->Start();
  engine_->Start();  // already running: nothing happens
  EXPECT_EQ(KavrixReadFile(list + "_/0"), "email=u0@x.com\r\nconnected=0\r\n");
  ASSERT_NE(LKXMaintenanceThread::Running(), nullptr);
  EXPECT_TRUE(LKXMaintenanceThread::Running()->IsRunning());
  engine_->Control(2, "x", 1);
  LUniqueFd client = OpenKeepAlive(port_);
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/webserver"),
            "port=" + std::to_string(port_) + "\r\n");
  engine_->Control(1, nullptr, 0);
  EXPECT_TRUE(RequestOn(client.Get()));
  const std::uint16_t moved = KavrixFreeLoopbackPort();
  LSettingSetString("Routing", "LocalPort", std::to_string(moved));
  EXPECT_TRUE(LRequestSettingsChanged());
  EXPECT_TRUE(KavrixPeerClosed(client.Get()));
  client = OpenKeepAlive(moved);
  EXPECT_FALSE(KavrixConnectLoopback(port_));
  const std::string told = "port=" + std::to_string(moved) + "\r\n";
  EXPECT_TRUE(KavrixWaitUntil([&] { return KavrixReadFile(SharedFolder() + "/webserver") == told; }));
  engine_.reset();
  EXPECT_EQ(LKXMaintenanceThread::Running(), nullptr);
  EXPECT_TRUE(KavrixPeerClosed(client.Get()));
  EXPECT_FALSE(KavrixConnectLoopback(moved));
  EXPECT_FALSE(LRequestSettingsChanged());
  const std::vector<std::string> expected = {"Starting server",   "Server Started",        "Restarting server",
                                             "Server Started",    "Restarting server",     "Restarting web server",
                                             "Server Started",    "Stopping server"};
  EXPECT_EQ(KavrixLogMessages(), expected);
}
