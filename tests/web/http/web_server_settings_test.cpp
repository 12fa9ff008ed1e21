// The web server's ports and folders as the settings give them, and its
// reports when the port is taken.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include "engine/port_settings.h"
#include "foundation/settings_sections.h"
#include "support/log_reader.h"
#include "support/web_server_fixture.h"
#include "web/panel/access_rules.h"

namespace {

class WebServerSettingsTest : public KavrixTempRoot {};

}  // namespace

// The local port is 89 and the listening port 1089 when empty or out of
// range.
TEST_F(WebServerSettingsTest, PortsWhenEmptyOrOutOfRange) {
  const struct {
    const char* text;
    int local;                // -1: not checked
    std::uint16_t listening;  // 0: not checked
  } cases[] = {{"", 89, 1089},   {"0", -1, 1089},  {"65536", -1, 1089}, {"65537", -1, 1},
               {"80x", -1, 80},  {"8089", 8089, 0}, {"65625", 89, 0}};  // 65536 + 89
  for (const auto& c : cases) {
    LSettingSetString("Routing", "LocalPort", c.text);
    LSettingSetString("WebServer", "Port", c.text);
    if (c.listening != 0) {
      EXPECT_EQ(LWebletServer::GetWebletServerPort(), c.listening) << c.text;
    }
    if (c.local != -1) {
      EXPECT_EQ(LReadLocalPortSetting(), c.local) << c.text;
    }
  }
}

TEST_F(WebServerSettingsTest, StartStoresThePortAndUsesTheWebControlFolder) {
  const std::uint16_t port = KavrixFreeLoopbackPort();
  LSettingSetString("Routing", "LocalPort", std::to_string(port));
  LKXWebServer server(SharedFolder() + "/Web", {}, WLCheckAccess);
  server.Start();
  ASSERT_TRUE(server.WaitListening(10000));
  EXPECT_EQ(server.ConfiguredPort(), port);
  EXPECT_EQ(server.GetListenPort(), port);
  EXPECT_EQ(KavrixReadFile(SharedFolder() + "/webserver"), "port=" + std::to_string(port) + "\r\n");
  EXPECT_EQ(server.GetRootFolder(), SharedFolder() + "/webcontrol");
}

TEST_F(WebServerSettingsTest, PortInUseLogsBothLines) {
  const std::uint16_t port = KavrixFreeLoopbackPort();
  LUniqueFd holder(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const sockaddr_in address = LMakeSockaddrIPv4(INADDR_ANY, port);
  ASSERT_EQ(::bind(holder.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(holder.Get(), 1), 0);
  LSettingSetString("Routing", "LocalPort", std::to_string(port));

  LKXWebServer server(SharedFolder() + "/Web", {}, WLCheckAccess);
  server.Start();
  const std::vector<std::string> expected = {
      "Webserver cannot bind to TCP/IP port.",
      "Some other program may be using port " + std::to_string(port) + "."};
  EXPECT_TRUE(KavrixWaitUntil([&] { return KavrixLogMessages() == expected; })) << KavrixReadLogText();
}
