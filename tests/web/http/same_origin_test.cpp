// Which host an Origin or Referer names, compared with the Host header.

#include "web/http/same_origin.h"

#include <gtest/gtest.h>

namespace {

TEST(SameOrigin, TheHostOfAnOriginOrReferer) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://evil.example", "evil.example"},
      {"http://Server.Office:8089/changepassword?x=1", "server.office:8089"},
      {"https://server:443#top", "server"},
      {"https://server:80", "server:80"},
      {"http://user:pw@server:8089/", "server:8089"},
      {"http://[::1]:8089/", "[::1]:8089"},
      {"null", ""},
      {"http:///path", ""},
  };
  for (const auto& [url, host] : cases) EXPECT_EQ(LWebletOriginHost(url), host) << url;
}

TEST(SameOrigin, TheHostHeaderInTheSameForm) {
  EXPECT_EQ(LWebletHostHeaderHost("Server.Office:80"), "server.office");
  EXPECT_EQ(LWebletHostHeaderHost("127.0.0.1:8089 "), "127.0.0.1:8089");
  // Over HTTPS the default port is 443.
  EXPECT_EQ(LWebletHostHeaderHost("Server:443", true), "server");
  EXPECT_EQ(LWebletHostHeaderHost("server:80", true), "server:80");
}

TEST(SameOrigin, WhetherTheSenderWasAnHttpsPage) {
  const std::pair<const char*, bool> cases[] = {
      {"HTTPS://server/x", true}, {"http://server:8443", false}, {"null", false},
  };
  for (const auto& [url, https] : cases) EXPECT_EQ(LWebletOriginIsHttps(url), https) << url;
}

}  // namespace
