#include "web/http/request_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "web/http/http_responses.h"

namespace {

// A parser whose machine address is fixed, counting how often it is asked.
class RequestParserTest : public ::testing::Test {
 protected:
  LHttpRequestParser MakeParser() {
    return LHttpRequestParser([this] {
      ++hostAsked_;
      return std::string("192.0.2.7");
    });
  }
  // Feeds a whole request; `used` receives the bytes consumed.
  LHttpRequestParser Parse(std::string_view raw, std::size_t* used = nullptr) {
    LHttpRequestParser parser = MakeParser();
    const std::size_t n = LHttpFeedRequest(parser, raw);
    if (used != nullptr) *used = n;
    return parser;
  }
  int hostAsked_ = 0;
};

}  // namespace

// Whole requests fed as they arrive: the step reached, the bytes left for
// the next request, the path and page name, a field and a header. Query
// fields keep their first value and come before the body's; a GET's body is
// consumed (a request hidden in it is not the next one) but gives no fields;
// lines are C strings, a NUL ends them; header names are found in any case;
// a peer that closed within the head leaves the parser waiting for the rest.
TEST_F(RequestParserTest, WhatWholeRequestsCarry) {
  const std::string hidden = "GET /admin HTTP/1.1\r\nHost: x\r\n\r\n";
  const struct {
    std::string raw;
    LHttpStep step;
    std::size_t left;
    const char* path;
    const char* page;
    const char* field;
    const char* value;
    const char* header;
    const char* headerValue;
  } cases[] = {
      {"GET / HTTP/1.1\r\nHost: example\r\n\r\nGET /next", LHttpStep::kReady, 9, "/", "", "f", "", "HOST", "example"},
      {"GET /viewhours?f=1&f=2 HTTP/1.1\r\nhost:   \r\n\r\n", LHttpStep::kReady, 0, "/viewhours", "viewhours", "f",
       "1", "Host", "192.0.2.7"},
      {"POST /leaveform?f=query HTTP/1.1\r\nContent-Type: text/plain\r\nContent-Length: 18\r\n\r\nf=body&g=two+words&",
       LHttpStep::kReady, 1, "/leaveform", "leaveform", "f", "query", "content-length", "18"},
      {"POST /leaveform HTTP/1.1\r\nContent-Length: 18\r\n\r\nf=body&g=two+words&", LHttpStep::kReady, 1,
       "/leaveform", "leaveform", "g", "two words", "", ""},
      {"GET /x?q=1 HTTP/1.1\r\nContent-Length: " + std::to_string(hidden.size()) + "\r\n\r\n" + hidden,
       LHttpStep::kReady, 0, "/x", "x", "q", "1", "Host", "192.0.2.7"},
      {"GET /\xff\xfe\x80 HTTP/1.1\r\nX-B: \xc3\xa9\x01z\r\n\r\n", LHttpStep::kReady, 0, "/\xff\xfe\x80",
       "\xff\xfe\x80", "", "", "x-b", "\xc3\xa9\x01z"},
      {std::string("GET /a\0b HTTP/1.1\r\nA: 1\0B: 2\r\n\r\n", 32), LHttpStep::kReady, 0, "/a", "a", "", "", "B", ""},
      {"GET /x HTTP/1.1\r\nHost: a\r\nCook", LHttpStep::kHeaderLine, 0, "/x", "", "", "", "Cook", ""},
      {"", LHttpStep::kRequestLine, 0, "", "", "", "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raw.substr(0, 40));
    std::size_t used = 0;
    LHttpRequestParser p = Parse(c.raw, &used);
    ASSERT_EQ(p.Step(), c.step);
    EXPECT_EQ(used, c.raw.size() - c.left);
    EXPECT_EQ(p.Request().path, c.path);
    EXPECT_EQ(p.Request().pageName, c.page);
    EXPECT_EQ(std::string(p.Request().params.GetParm(c.field)), c.value);
    EXPECT_EQ(std::string(p.Request().headers.GetParm(c.header)), c.headerValue);
  }
  hostAsked_ = 0;
  const LHttpRequestParser first = Parse(cases[0].raw);
  const LHttpRequest& r = first.Request();
  EXPECT_EQ(r.method + " " + r.url + " " + r.protocol, "GET / HTTP/1.1");
  EXPECT_EQ(hostAsked_, 0);  // asked only for a request without a Host
  EXPECT_EQ(Parse(cases[3].raw).Request().contentLength, 18);

  LHttpRequestParser none{std::function<std::string()>()};
  LHttpFeedRequest(none, "GET / HTTP/1.1\r\n\r\n");
  EXPECT_STREQ(none.Request().headers.GetParm("Host"), "0.0.0.0");
}

// Only GET and POST in their exact spelling (501); a path that climbs or does
// not start with "/" is not found (404); no header is read after either.
TEST_F(RequestParserTest, RefusedRequestLines) {
  const std::string notImplemented =
      "HTTP/1.1 501 Not Implemented\r\nConnection: close\r\nX-Content-Type-Options: nosniff\r\n\r\n";
  const std::string notFound = "HTTP/1.1 404 Not Found\r\nConnection: close\r\nX-Content-Type-Options: nosniff\r\n\r\n";
  const std::pair<const char*, const std::string&> cases[] = {
      {"get / HTTP/1.1", notImplemented},  {"HEAD / HTTP/1.1", notImplemented},
      {"GETX / HTTP/1.1", notImplemented}, {"", notImplemented},
      {"GET /a/../etc/passwd HTTP/1.1", notFound}, {"GET /%2E.%2F HTTP/1.1", notFound},
      {"GET x HTTP/1.1", notFound},        {"GET", notFound},
  };
  for (const auto& [line, answer] : cases) {
    LHttpRequestParser p = MakeParser();
    EXPECT_EQ(p.OnRequestLine(line), LHttpStep::kReject) << line;
    EXPECT_EQ(p.RejectText(), answer) << line;
    EXPECT_EQ(p.OnHeaderLine(""), LHttpStep::kReject);
  }
}

// The path is decoded and cut; a line through the line reader is cut at 259
// bytes (taking the protocol with it), a line handed over whole per token.
TEST_F(RequestParserTest, PathIsDecodedAndCut) {
  LHttpRequestParser p = MakeParser();
  ASSERT_EQ(p.OnRequestLine("GET  /help/a+b%2Fc%00d.html?x=1  HTTP/1.0 extra"), LHttpStep::kHeaderLine);
  EXPECT_EQ(p.Request().path, "/help/a b/cd.html");
  EXPECT_EQ(p.Request().url, "/help/a+b%2Fc%00d.html?x=1");
  EXPECT_EQ(p.Request().protocol, "HTTP/1.0");
  p.OnHeaderLine("");
  EXPECT_EQ(p.Request().pageName, "help/a b/cd.html");

  const std::string url = "/" + std::string(395, 'a');
  LHttpRequestParser received = Parse("GET " + url + " HTTP/1.1\r\n\r\n");
  ASSERT_EQ(received.Step(), LHttpStep::kReady);
  EXPECT_EQ(received.Request().url, url.substr(0, 255));
  EXPECT_FALSE(received.Request().keepAlive);
  LHttpRequestParser direct = MakeParser();
  direct.OnRequestLine("GET " + url + " HTTP/1.1");
  direct.OnHeaderLine("");
  EXPECT_EQ(direct.Request().pageName, std::string(258, 'a'));
}

TEST_F(RequestParserTest, HttpVersionIsAnExactDecimalFraction) {
  const std::pair<const char*, long long> cases[] = {
      {"HTTP/1.0999", 1099}, {"HTTP/.5", 500}, {"X/1.1/2.0", 1100}, {"HTTP/-1.1", -1100}, {"HTTP1.1", 0},
      {"HTTP/99999999999999999999.9", 1000000000000 + 900}};
  for (const auto& [protocol, milli] : cases) EXPECT_EQ(LHttpVersionMilli(protocol), milli) << protocol;
}

TEST_F(RequestParserTest, KeepAliveOnlyForGetOfHttp11WithoutClose) {
  const struct {
    const char* line;
    const char* headers;
    bool keep;
  } cases[] = {{"GET /s.css HTTP/1.1", "", true},
               {"GET /s.css HTTP/1.1", "connection: CLOSE\r\n", false},
               {"GET /s.css HTTP/1.1", "Connection: Keep-Alive ,  close \r\n", false},
               {"GET /s.css HTTP/1.1", "Connection: closed, unclose\r\n", true},  // tokens, not text
               {"GET /s.css HTTP/1.09", "", false},
               {"GET /s.css", "", false},
               {"POST /s.css HTTP/1.1", "", false}};
  for (const auto& c : cases) {
    LHttpRequestParser p = Parse(std::string(c.line) + "\r\n" + c.headers + "\r\n");
    ASSERT_EQ(p.Step(), LHttpStep::kReady) << c.line;
    EXPECT_EQ(p.Request().keepAlive, c.keep) << c.line << " " << c.headers;
  }
}

// Split at the first colon, cut at 259 bytes; a repeat, however it is spelt,
// keeps the last value; cookies come from "Cookie" in any case.
TEST_F(RequestParserTest, HeaderLinesAndCookies) {
  LHttpRequestParser p = MakeParser();
  p.OnRequestLine("GET / HTTP/1.1");
  const std::string lines[] = {"Accept:  \t text/html", "X Y : a:b", "Empty:", "no colon here", "Repeated: 1",
                               "REPEATED: 2", "Cr: one\rtwo", ":nameless", "N: " + std::string(300, 'v'),
                               "cookie: sess=AbC; theme=two+words"};
  for (const std::string& line : lines) {
    EXPECT_EQ(p.OnHeaderLine(line), LHttpStep::kHeaderLine);
  }
  p.OnHeaderLine("");
  const LHashTable& h = p.Request().headers;
  EXPECT_STREQ(h.GetParm("Accept"), "text/html");
  EXPECT_STREQ(h.GetParm("X Y "), "a:b");
  EXPECT_TRUE(h.TestExists("Empty"));
  EXPECT_STREQ(h.GetParm("Repeated"), "2");
  EXPECT_STREQ(h.GetParm("Cr"), "one");
  EXPECT_STREQ(h.GetParm(""), "nameless");
  EXPECT_EQ(std::string(h.GetParm("N")), std::string(259, 'v'));
  EXPECT_EQ(h.Size(), 9u);  // with the Host of this machine
  EXPECT_STREQ(p.Request().cookies.GetParm("sess"), "AbC");
  EXPECT_STREQ(p.Request().cookies.GetParm("theme"), "two words");
}

// The body's end must be certain: every Content-Length header, in any case of
// its name, must be a plain number and all must agree, and no
// Transfer-Encoding may come; otherwise the request is refused without an
// answer. Beyond the limit it is refused with a 500, whatever the method.
TEST_F(RequestParserTest, ContentLengthsMustBeNumbersThatAgreeWithinTheLimit) {
  const std::string tooLong =
      "HTTP/1.1 500 Content Length Too Long\r\nConnection: close\r\nX-Content-Type-Options: nosniff\r\n\r\n";
  const struct {
    const char* method;
    const char* headers;
    int length;  // -1: refused
    std::string answer;
  } cases[] = {
      {"POST", "", 0, ""},
      {"POST", "Content-Length:\t007 \t\r\n", 7, ""},
      {"POST", "Content-Length: 7\r\nCONTENT-LENGTH: 7\r\n", 7, ""},
      {"POST", "Content-Length: 7\r\ncontent-length: 0\r\n", -1, ""},
      {"GET", "Content-Length: 0\r\nContent-Length: 7\r\n", -1, ""},
      {"POST", "Content-Length:\r\n", -1, ""},
      {"POST", "Content-Length: +5\r\n", -1, ""},
      {"POST", "Content-Length: 5abc\r\n", -1, ""},
      {"POST", "Content-Length: 7, 7\r\n", -1, ""},
      {"POST", "Content-Length : 7\r\n", 0, ""},  // another header's name
      {"POST", "transfer-encoding: chunked\r\n", -1, ""},
      {"POST", "Content-Length: 1000000\r\n", 1000000, ""},
      {"POST", "Content-Length: 1000001\r\n", -1, tooLong},
      {"GET", "Content-Length: 99999999999999999999999\r\n", -1, tooLong},
  };
  for (const auto& c : cases) {
    const std::string raw = std::string(c.method) + " /x HTTP/1.1\r\n" + c.headers + "\r\n";
    LHttpRequestParser p = Parse(raw);
    if (c.length < 0) {
      EXPECT_EQ(p.Step(), LHttpStep::kReject) << raw;
      EXPECT_EQ(p.RejectText(), c.answer) << raw;
    } else {
      EXPECT_EQ(p.Step(), c.length > 0 ? LHttpStep::kBody : LHttpStep::kReady) << raw;
      EXPECT_EQ(p.BodyLength(), static_cast<std::size_t>(c.length)) << raw;
    }
  }
}

TEST_F(RequestParserTest, ABodyThatHasNotArrivedLeavesTheParserWaiting) {
  std::size_t used = 0;
  const std::string head = "POST /x HTTP/1.1\r\nContent-Length: 10\r\n\r\n";
  LHttpRequestParser p = Parse(head + "a=1", &used);
  EXPECT_EQ(p.Step(), LHttpStep::kBody);
  EXPECT_EQ(used, head.size());
  EXPECT_EQ(p.OnBody(std::string_view("a=1&b=2\0c=", 10)), LHttpStep::kReady);
  EXPECT_STREQ(p.Request().params.GetParm("b"), "2");
  EXPECT_FALSE(p.Request().params.TestExists("c"));
}

TEST_F(RequestParserTest, CallsOutOfOrderChangeNothing) {
  LHttpRequestParser p = MakeParser();
  EXPECT_EQ(p.OnHeaderLine("Host: x"), LHttpStep::kRequestLine);
  EXPECT_EQ(p.OnBody("a=1"), LHttpStep::kRequestLine);
  EXPECT_EQ(p.OnRequestLine("GET / HTTP/1.1"), LHttpStep::kHeaderLine);
  EXPECT_EQ(p.OnRequestLine("POST /y HTTP/1.1"), LHttpStep::kHeaderLine);
  EXPECT_EQ(p.BeginBody(), LHttpStep::kHeaderLine);
  EXPECT_EQ(p.Request().method, "GET");
  EXPECT_TRUE(p.Request().headers.Empty());
}

TEST_F(RequestParserTest, HeaderNamesAreLimitedButKnownOnesStillUpdate) {
  std::string raw = "GET / HTTP/1.1\r\nFirst: 1\r\n";
  for (int i = 0; i < 400; ++i) raw += "X-" + std::to_string(i) + ": v\r\n";
  raw += "First: 2\r\nCookie: sess=abc\r\n\r\n";
  LHttpRequestParser p = Parse(raw);
  ASSERT_EQ(p.Step(), LHttpStep::kReady);
  EXPECT_EQ(p.Request().headers.Size(), kLMaxHeaderNames + 1);  // + the Host of this machine
  EXPECT_STREQ(p.Request().headers.GetParm("First"), "2");
  EXPECT_TRUE(p.Request().cookies.Empty());
}
