#include "web/http/http_responses.h"

#include <gtest/gtest.h>

#include "web/http/http_date.h"
#include "web/http/mime_types.h"

// The cookie is HttpOnly, and Secure over HTTPS; line breaks cannot add
// headers.
TEST(HttpResponses, RedirectsCarryTheUrlWithoutLineBreaks) {
  EXPECT_EQ(LHttpRedirectWithCookieText("labcdefgh12", "mainpage", true),
            "HTTP/1.0 302 OK\r\nSet-Cookie: sess=labcdefgh12; HttpOnly; SameSite=Lax; Secure\r\nLocation: mainpage\r\n\r\n");
  EXPECT_EQ(LHttpRedirectText("page\r\nSet-Cookie: sess=evil\r\n\r\n<script>"),
            "HTTP/1.0 302 OK\r\nLocation: pageSet-Cookie: sess=evil<script>\r\n\r\n");
  EXPECT_EQ(LHttpRedirectWithCookieText("s\n1", "a\rb", false),
            "HTTP/1.0 302 OK\r\nSet-Cookie: sess=s1; HttpOnly; SameSite=Lax\r\nLocation: ab\r\n\r\n");
}

// Every head gets "nosniff", an HTML one the framing headers too; a header
// already there is not written twice, and what is no whole head is left.
TEST(HttpResponses, SecurityHeadersGoIntoEveryHeadOnce) {
  const std::string ns = "X-Content-Type-Options: nosniff\r\n";
  const std::string frame = "X-Frame-Options: DENY\r\nContent-Security-Policy: frame-ancestors 'none'\r\n";
  const struct {
    std::string text;
    std::string result;
  } cases[] = {
      {"HTTP/1.0 302 OK\r\nLocation: x\r\n\r\n", "HTTP/1.0 302 OK\r\nLocation: x\r\n" + ns + "\r\n"},
      {"HTTP/1.1 200 OK\r\ncontent-type:  Text/HTML\r\n\r\n<p>\r\n\r\n",
       "HTTP/1.1 200 OK\r\ncontent-type:  Text/HTML\r\n" + ns + frame + "\r\n<p>\r\n\r\n"},
      {"HTTP/1.1 200 OK\r\nx-content-type-options: nosniff\r\nContent-Type: text/html\r\nX-Frame-Options: "
       "SAMEORIGIN\r\n\r\n",
       "HTTP/1.1 200 OK\r\nx-content-type-options: nosniff\r\nContent-Type: text/html\r\nX-Frame-Options: "
       "SAMEORIGIN\r\n\r\n"},
      {"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n", "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"},
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(LHttpAddSecurityHeaders(text), c.result.size() - c.text.size()) << c.text;
    EXPECT_EQ(text, c.result);
  }
}

// The whole tag must match, weak or quoted or in a list; letter case alone
// may differ in a date.
TEST(HttpResponses, ConditionalRequests) {
  const std::pair<const char*, bool> tags[] = {
      {"W/\"1700000000-1234\"", true},    {"\"1-2\", \"1700000000-1234\"", true}, {"1700000000-1234", true},
      {"\"1700000000-12345\"", false}, {"\"11700000000-1234\"", false},      {"", false}};
  for (const auto& [header, holds] : tags) EXPECT_EQ(LHttpIfNoneMatchHolds(header, "1700000000-1234"), holds) << header;
  EXPECT_FALSE(LHttpIfNoneMatchHolds("anything", ""));
  const std::string now = "Tue, 14 Nov 2023 22:13:20 GMT";
  EXPECT_TRUE(LHttpIfModifiedSinceMatches("tue, 14 nov 2023 22:13:20 gmt", now));
  EXPECT_FALSE(LHttpIfModifiedSinceMatches("Tue, 14 Nov 2023 22:13:20 GMT ", now));
}

TEST(HttpDate, UtcTextWithTwoDigitFields) {
  EXPECT_EQ(LHttpDateText(1709197507), "Thu, 29 Feb 2024 09:05:07 GMT");
  EXPECT_EQ(LHttpDateText(2147483648LL), "Tue, 19 Jan 2038 03:14:08 GMT");
}

TEST(MimeTypes, ByLoweredExtensionAfterTheLastDot) {
  const std::pair<const char*, const char*> cases[] = {
      {"help/INDEX.HTML", "text/html"}, {"a.b.Jpg", "image/jpeg"}, {".js", "text/javascript"},
      {"logo.png", "application/octet-stream"}, {"dir.html/file", "application/octet-stream"},
      {"file.", "application/octet-stream"}, {"x.jss", "application/octet-stream"},
  };
  for (const auto& [path, type] : cases) EXPECT_STREQ(LMimeTypeForPath(path), type) << path;
}
