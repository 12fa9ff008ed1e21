#include "web/http/http_responses.h"

#include <gtest/gtest.h>

#include "web/http/http_date.h"
#include "web/http/mime_types.h"

TEST(HttpResponses, RedirectsInsertTheUrlAsItIsWithoutLineBreaks) {
  EXPECT_EQ(LHttpRedirectText("viewhours?seluser=a@b.c&x=%20"),
            "HTTP/1.0 302 OK\r\nLocation: viewhours?seluser=a@b.c&x=%20\r\n\r\n");
  EXPECT_EQ(LHttpRedirectWithCookieText("labcdefgh12", "mainpage", false),
            "HTTP/1.0 302 OK\r\nSet-Cookie: sess=labcdefgh12; HttpOnly; SameSite=Lax\r\nLocation: mainpage\r\n\r\n");
  // Over HTTPS the browser is told never to send it in clear text.
  EXPECT_EQ(LHttpRedirectWithCookieText("labcdefgh12", "mainpage", true),
            "HTTP/1.0 302 OK\r\nSet-Cookie: sess=labcdefgh12; HttpOnly; SameSite=Lax; Secure\r\nLocation: mainpage\r\n\r\n");
  // Line breaks cannot add headers.
  EXPECT_EQ(LHttpRedirectText("page\r\nSet-Cookie: sess=evil\r\n\r\n<script>"),
            "HTTP/1.0 302 OK\r\nLocation: pageSet-Cookie: sess=evil<script>\r\n\r\n");
  EXPECT_EQ(LHttpRedirectWithCookieText("s\n1", "a\rb", false),
            "HTTP/1.0 302 OK\r\nSet-Cookie: sess=s1; HttpOnly; SameSite=Lax\r\nLocation: ab\r\n\r\n");
  EXPECT_EQ(LHttpHeaderSafe(std::string_view("\r\n\0\xff", 4)), std::string_view("\0\xff", 2));
}

TEST(HttpResponses, FileHeaderAndEntityTag) {
  EXPECT_EQ(LHttpEntityTag(1700000000, 1234), "1700000000-1234");
  EXPECT_EQ(LHttpEntityTag(-5, 0), "-5-0");
  EXPECT_EQ(LHttpFileHeader(1234, "text/css", "Tue, 14 Nov 2023 22:13:20 GMT", "1700000000-1234"),
            "HTTP/1.1 200 OK\r\nContent-Length: 1234\r\nContent-Type: text/css\r\n"
            "Last-Modified: Tue, 14 Nov 2023 22:13:20 GMT\r\nETag: \"1700000000-1234\"\r\n"
            "X-Content-Type-Options: nosniff\r\n\r\n");
  EXPECT_NE(LHttpFileHeader(3000000000LL, "a", "b", "c").find("Content-Length: 3000000000\r\n"),
            std::string::npos);
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
      {"HTTP/1.1 304 Not Modified\r\n\r\n", "HTTP/1.1 304 Not Modified\r\n" + ns + "\r\n"},
      {"HTTP/1.1 200 OK\r\ncontent-type:  Text/HTML\r\n\r\n<p>\r\n\r\n",
       "HTTP/1.1 200 OK\r\ncontent-type:  Text/HTML\r\n" + ns + frame + "\r\n<p>\r\n\r\n"},
      {"HTTP/1.1 200 OK\r\nContent-Type: text/csv\r\n\r\n-1,=2",
       "HTTP/1.1 200 OK\r\nContent-Type: text/csv\r\n" + ns + "\r\n-1,=2"},
      {"HTTP/1.1 200 OK\r\nx-content-type-options: nosniff\r\nContent-Type: text/html\r\nX-Frame-Options: "
       "SAMEORIGIN\r\n\r\n",
       "HTTP/1.1 200 OK\r\nx-content-type-options: nosniff\r\nContent-Type: text/html\r\nX-Frame-Options: "
       "SAMEORIGIN\r\n\r\n"},
      {"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n", "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"},
      {"body without a head\r\n\r\n", "body without a head\r\n\r\n"},
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(LHttpAddSecurityHeaders(text), c.result.size() - c.text.size()) << c.text;
    EXPECT_EQ(text, c.result);
  }
}

TEST(HttpResponses, IfNoneMatchNeedsTheWholeTag) {
  const std::string tag = LHttpEntityTag(1700000000, 1234);
  EXPECT_TRUE(LHttpIfNoneMatchHolds("\"1700000000-1234\"", tag));
  EXPECT_TRUE(LHttpIfNoneMatchHolds("W/\"1700000000-1234\"", tag));
  EXPECT_TRUE(LHttpIfNoneMatchHolds("\"1-2\", \"1700000000-1234\"", tag));
  EXPECT_TRUE(LHttpIfNoneMatchHolds("1700000000-1234", tag));
  // The file grew or is another one whose tag merely contains this one.
  EXPECT_FALSE(LHttpIfNoneMatchHolds("\"1700000000-12345\"", tag));
  EXPECT_FALSE(LHttpIfNoneMatchHolds("\"11700000000-1234\"", tag));
  EXPECT_FALSE(LHttpIfNoneMatchHolds("\"-1700000000-1234\"", tag));
  EXPECT_FALSE(LHttpIfNoneMatchHolds("\"1700000000-1235\"", tag));
  EXPECT_FALSE(LHttpIfNoneMatchHolds("", tag));
  EXPECT_FALSE(LHttpIfNoneMatchHolds("anything", ""));
}

TEST(HttpResponses, IfModifiedSinceIgnoresCaseOnly) {
  const std::string now = "Tue, 14 Nov 2023 22:13:20 GMT";
  EXPECT_TRUE(LHttpIfModifiedSinceMatches("tue, 14 nov 2023 22:13:20 gmt", now));
  EXPECT_FALSE(LHttpIfModifiedSinceMatches("Tue, 14 Nov 2023 22:13:21 GMT", now));
  EXPECT_FALSE(LHttpIfModifiedSinceMatches("Tue, 14 Nov 2023 22:13:20 GMT ", now));
  EXPECT_FALSE(LHttpIfModifiedSinceMatches("", now));
}

TEST(HttpDate, UtcTextWithTwoDigitFields) {
  EXPECT_EQ(LHttpDateText(1700000000), "Tue, 14 Nov 2023 22:13:20 GMT");
  EXPECT_EQ(LHttpDateText(946684800), "Sat, 01 Jan 2000 00:00:00 GMT");
  EXPECT_EQ(LHttpDateText(1709197507), "Thu, 29 Feb 2024 09:05:07 GMT");
  EXPECT_EQ(LHttpDateText(2147483648LL), "Tue, 19 Jan 2038 03:14:08 GMT");
}

TEST(MimeTypes, ByLoweredExtensionAfterTheLastDot) {
  const std::pair<const char*, const char*> cases[] = {
      {"index.html", "text/html"}, {"help/INDEX.HTML", "text/html"}, {"s.css", "text/css"},
      {"a.b.Jpg", "image/jpeg"}, {"cal.gif", "image/gif"}, {"syslog.txt", "text/plain"},
      {"sorttable.js", "text/javascript"}, {".js", "text/javascript"}, {"setup.exe", "application/octet-stream"},
      {"logo.png", "application/octet-stream"}, {"README", "application/octet-stream"},
      {"dir.html/file", "application/octet-stream"}, {"file.", "application/octet-stream"},
      {"x.jss", "application/octet-stream"},
  };
  for (const auto& [path, type] : cases) EXPECT_STREQ(LMimeTypeForPath(path), type) << path;
}
