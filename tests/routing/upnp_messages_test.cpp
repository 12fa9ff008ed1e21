// The socket-free texts of the router conversation, and the address ranges.

#include <gtest/gtest.h>

#include <string>

#include "routing/ip_ranges.h"
#include "routing/upnp_messages.h"

namespace {

TEST(IpRangesTest, PrivatePublicAndDottedText) {
  const struct {
    const char* text;
    bool inRange;
    bool isPrivate;
    bool isPublic;
  } cases[] = {
      {"10.0.0.1", true, true, false},       {"172.15.0.1", false, false, true},
      {"172.48.0.1", true, true, false},     {"192.168.1.1", true, true, false},
      {"192.169.1.1", false, false, true},   {"169.254.3.4", true, true, false},
      {"127.0.0.1", false, true, false},     {"127.1.0.1", false, false, false},
      {"0.0.0.0", false, false, false},      {"198.51.100.7", false, false, true},
  };
  for (const auto& c : cases) {
    const std::optional<std::uint32_t> address = LParseDottedIPv4(c.text);
    ASSERT_TRUE(address) << c.text;
    EXPECT_EQ(LIPv4Text(*address), c.text);
    EXPECT_EQ(LIsIPv4InPrivateRange(*address), c.inRange) << c.text;
    EXPECT_EQ(IsIPPrivate(*address), c.isPrivate) << c.text;
    EXPECT_EQ(LIsIPv4Public(*address), c.isPublic) << c.text;
  }
  for (const char* bad : {"", "1.2.3", "1.2.3.4.", "1.2.3.256", "1..2.3", "a.b.c.d", " 1.2.3.4",
                          "1.2.3.4 ", "0001.2.3.4", "1.2.3.-4"})
    EXPECT_FALSE(LParseDottedIPv4(bad)) << bad;
}

TEST(UPnPMessagesTest, LocationHeader) {
  const struct {
    std::string answer;
    bool found;
    std::string url;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nLOCATION: http://a/b\r\nST: x\r\n\r\n", true, "http://a/b"},
      {"HTTP/1.1 200 OK\nlocation: \thttp://a/b\nX: y", true, "http://a/b"},
      {"LOCATION: first\r\nLOCATION: second\r\n", true, "first"},
      {"HTTP/1.1 200 OK\r\nX-LOCATION: http://a/b\r\n", false, ""},
      {"HTTP/1.1 200 OK\r\nLOCATION", false, ""},
      {"LOCATION: " + std::string(400, 'u') + "\r\n", true, std::string(259, 'u')},
  };
  for (const auto& c : cases) {
    std::string url;
    EXPECT_EQ(LSSDPFindLocation(c.answer, url), c.found) << c.answer;
    EXPECT_EQ(url, c.url);
  }
}

TEST(UPnPMessagesTest, UrlAndHostSplitting) {
  std::string host, path, name;
  int port = 0;
  for (const auto& [url, split] : {std::pair{"http://192.168.1.1:5000/rootDesc.xml", "192.168.1.1|5000|/rootDesc.xml"},
                                   {"HTTP://10.0.0.1", "10.0.0.1|80|/"}}) {
    ASSERT_TRUE(LUPnPSplitURL(url, host, path) && LUPnPSplitHostPort(host, 80, name, port)) << url;
    EXPECT_EQ(name + "|" + std::to_string(port) + "|" + path, split);
  }
  EXPECT_FALSE(LUPnPSplitURL("https://a/b", host, path));
  EXPECT_FALSE(LUPnPSplitURL("http:///b", host, path));
  for (const char* bad : {"a:0", "a:65536", "a:", "a:8x", ":80", "a:123456"})
    EXPECT_FALSE(LUPnPSplitHostPort(bad, 80, name, port)) << bad;
}

TEST(UPnPMessagesTest, ControlUrlAndFieldValues) {
  const std::string description =
      "<serviceType>urn:schemas-upnp-org:service:WANCommonInterfaceConfig:1</serviceType>"
      "<controlURL>/common</controlURL>"
      "<serviceType>urn:schemas-upnp-org:service:WANPPPConnection:1</serviceType>"
      "<controlURL>/ppp?x=1&amp;y=&#x32;</controlURL>";
  std::string control;
  EXPECT_FALSE(LUPnPFindControlURL(description, "WANIPConnection:1", control));
  ASSERT_TRUE(LUPnPFindControlURL(description, "WANPPPConnection:1", control));
  EXPECT_EQ(control, "/ppp?x=1&y=2");
  EXPECT_FALSE(LUPnPFindControlURL("<serviceType>urn:schemas-upnp-org:service:WANIPConnection:1<controlURL>/unterminated",
                                   "WANIPConnection:1", control));

  std::string value;
  ASSERT_TRUE(LUPnPFieldValue("<NewExternalIPAddress xmlns=\"\">1.2.3.4</NewExternalIPAddress>", "<NewExternalIPAddress", value));
  EXPECT_EQ(value, "1.2.3.4");
  ASSERT_TRUE(LUPnPFieldValue("<NewNATEnabled>", "<NewNATEnabled", value));
  EXPECT_EQ(value, "");
  EXPECT_FALSE(LUPnPFieldValue("<NewNATEnabled", "<NewNATEnabled", value));
  ASSERT_TRUE(LUPnPFieldValue("<A>" + std::string(5000, 'v'), "<A", value));
  EXPECT_EQ(value.size(), kLUPnPMaxValue);
}

TEST(UPnPMessagesTest, EntitiesDecodeOnlyWhenWellFormed) {
  EXPECT_EQ(LXMLDecodeEntities("&lt;&gt;&amp;&quot;&apos;"), "<>&\"'");
  EXPECT_EQ(LXMLDecodeEntities("&#65;&#x42;&#xe9;&#x1F600;"), "AB\xc3\xa9\xf0\x9f\x98\x80");
  EXPECT_EQ(LXMLDecodeEntities("&#0;&#x110000;&#;&#12&bogus;&"), "&#0;&#x110000;&#;&#12&bogus;&");
  EXPECT_EQ(LXMLDecodeEntities("&amp;lt;"), "&lt;");
}

// A fault with its code and description is the real gateway's refusal in
// upnp_gateway_test.cpp.
TEST(UPnPMessagesTest, FaultText) {
  std::string text;
  EXPECT_FALSE(LUPnPFindFault("<errorCode>1</errorCode>", text));
  ASSERT_TRUE(LUPnPFindFault("<faultstring>x</faultstring>", text));
  EXPECT_EQ(text, "refused");
}

}  // namespace
