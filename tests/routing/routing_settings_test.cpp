// The addresses the pages and mail texts show, from the "Routing" settings.

#include <gtest/gtest.h>

#include <string>

#include "foundation/settings_sections.h"
#include "routing/host_addresses.h"
#include "routing/ip_ranges.h"
#include "routing/panel_addresses.h"
#include "routing/routing_settings.h"
#include "support/temp_root.h"

namespace {

// "private:port public:port".
std::string Text(const LKXPanelAddresses& out) {
  return out.private_address + ":" + std::to_string(out.local_port) + " " + out.public_address + ":" +
         std::to_string(out.public_port);
}

class RoutingSettingsTest : public KavrixTempRoot {
 protected:
  static std::string Public() {
    std::string out;
    LNetRoutingGetPublicAddress(out);
    return out;
  }
  static std::string Public(int mode) {
    std::string out = "stale";
    LNetRoutingGetPublicAddress(mode, out);
    return out;
  }
};

TEST_F(RoutingSettingsTest, PublicAddressByMode) {
  ASSERT_TRUE(LNetRoutingSetPublicAddress(0, "198.51.100.4"));
  ASSERT_TRUE(LNetRoutingSetPublicAddress(2, "office.example"));
  ASSERT_TRUE(LNetRoutingSetPublicAddress(3, "ignored.example"));
  EXPECT_EQ(Public(0) + "|" + Public(1) + "|" + Public(2) + "|" + Public(3),
            "198.51.100.4|198.51.100.4|office.example|");
  LSettingSetString("Routing", "PublicAddressMode", "2");
  EXPECT_EQ(Public(), "office.example");
  LNetRoutingSetPublicAddress(1, std::string(300, 'a'));
  EXPECT_EQ(Public(1).size(), 259u);
  EXPECT_EQ(LNetRoutingExampleURL("a.example", 80), "http://a.example");
  EXPECT_EQ(LNetRoutingExampleURL("a.example", 89), "http://a.example:89");
}

// With nothing stored, this computer's own first public address, else its
// first private one.
TEST(RoutingAddresses, FirstPublicAndFirstPrivateInterfaceAddress) {
  EXPECT_EQ(LFirstPublicAddress({0x7F000001, 0x0A000001, 0, 0xC6336507, 0x08080808}), 0xC6336507u);
  EXPECT_EQ(LFirstPrivateAddress({0x7F000001, 0xC6336507, 0xA9FE0001, 0x0A000001}), 0xA9FE0001u);
}

// Links that others open must not lead to this computer's own loopback or
// to no address at all: those become the computer's name. Anything else is
// kept as stored, names included.
TEST(PanelAddresses, UnreachableAddressesBecomeTheHostName) {
  const struct {
    const char* address;
    bool unreachable;
  } cases[] = {
      {"", true},          {"0.0.0.0", true},         {"0.1.2.3", true},  {"127.9.9.9", true},
      {"LocalHost", true}, {"office.example", false}, {"1.0.0.0", false}, {"128.0.0.1", false},
  };
  for (const auto& c : cases) {
    const std::string expected = c.unreachable ? "pc.office.example" : c.address;
    EXPECT_EQ(Text(KXReachablePanelAddresses({c.address, 8089, c.address, 80}, "pc.office.example")),
              expected + ":8089 " + expected + ":80") << c.address;
  }
}

// A router port that was never set is the server's own port; one that was
// set stays, whatever the server's port.
TEST_F(RoutingSettingsTest, PanelAddressesFromTheSettings) {
  LSettingSetString("Routing", "LocalAddressMode", "4");
  LSettingSetString("Routing", "PublicAddressMode", "1");
  LSettingSetString("Routing", "StaticIPAddress", "203.0.113.9");
  LSettingSetString("Routing", "LocalPort", "8089");
  EXPECT_EQ(Text(KXReadPanelAddresses()), "203.0.113.9:8089 203.0.113.9:8089");
  LSettingSetString("Routing", "PublicPort", "89");
  EXPECT_EQ(Text(KXReadPanelAddresses()), "203.0.113.9:8089 203.0.113.9:89");
}

}  // namespace
