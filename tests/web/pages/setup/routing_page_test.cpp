// The routing dialog over real loopback HTTP: what it shows, every refusal
// (nothing stored), and what an accepted form stores.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "foundation/settings_sections.h"
#include "hours_pages_fixture.h"
#include "routing/routing_settings.h"
#include "web/pages/setup/https_port_field.h"
#include "web/pages/setup/routing_page.h"

namespace {

class RoutingPageTest : public OfficeTest {
 protected:
  void SetUp() override {
    OfficeTest::SetUp();
    boss_ = Session("boss");
    LSettingSetString("Routing", "StaticIPAddress", "203.0.113.9");
    LSettingSetString("Routing", "LocalPort", std::to_string(Port()));
  }

  std::string Send(const std::string& fields, const std::string& session) {
    return Post("routing", fields + "&submit=++OK++", session);
  }
  static std::string Routing(const char* key) { return LSettingGetString("Routing", key); }
  // Every key the dialog writes, to show that a refusal wrote none.
  static std::string Stored() {
    return Routing("LocalAddressMode") + "|" + Routing("PublicAddressMode") + "|" + Routing("StaticIPAddress") + "|" +
           Routing("DomainName") + "|" + Routing("LocalPort") + "|" + Routing("PublicPort") + "|" +
           Routing("HttpsPort");
  }

  // The form posted as a browser that reached the panel as panel.example.
  std::string PostAsPanelHost(const std::string& body) {
    return Exchange("POST /routing HTTP/1.0\r\nHost: panel.example:" + std::to_string(Port()) + "\r\nCookie: sess=" +
                    boss_ + "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                    std::to_string(body.size()) + "\r\n\r\n" + body);
  }

  std::string boss_;
};

TEST_F(RoutingPageTest, ShowsTheStoredAddressAndRefusalsStoreNothing) {
  const struct {
    const char *fields, *message;
  } cases[] = {
      {"101=0&102=2&103=++&105=89&rbg1=106", kLRoutingHostInvalid},
      {"101=0&102=1&103=1.2.3.256&105=89&rbg1=106", kLRoutingAddressInvalid},
      {"101=0&102=3&105=65536&rbg1=106", kLRoutingLocalPortInvalid},
      {"101=0&102=3&105=89&rbg1=107&108=0", kLRoutingPublicPortInvalid},
      // Both listeners cannot share a port.
      {"101=0&102=3&105=89&rbg1=106&109=89", kKXHttpsPortInvalid},
  };
  LSettingSetString("Routing", "PublicPort", "8080");
  EXPECT_TRUE(Contains(Visible(Get("routing", boss_)), "http://203.0.113.9:8080 (General Internet)"));
  const std::string before = Stored();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fields);
    EXPECT_TRUE(Contains(Send(c.fields, boss_), ErrorRow(c.message)));
    EXPECT_EQ(Stored(), before);
  }
}

TEST_F(RoutingPageTest, AcceptedFormsStoreModesAddressAndPorts) {
  const std::string port = std::to_string(Port());
  EXPECT_TRUE(
      Contains(Send("101=2%24x&102=2%24x&103=office.example&105=" + port + "&rbg1=106", boss_), "Location: mainpage"));
  // "Use same port" leaves "PublicPort" unset: it follows "LocalPort".
  EXPECT_EQ(Stored(), "2|2|203.0.113.9|office.example|" + port + "||");

  // Mode 3 keeps the stored address; a different router port is kept apart.
  EXPECT_TRUE(Contains(Send("101=1&102=3&103=&105=" + port + "&rbg1=107&108=65535", boss_), "Location: mainpage"));
  EXPECT_EQ(Stored(), "1|3|203.0.113.9|office.example|" + port + "|65535|");
}

}  // namespace
