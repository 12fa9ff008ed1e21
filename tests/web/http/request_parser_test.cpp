#include "web/http/request_parser.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

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
// lines are C strings, a NUL ends them; a peer that closed within the head
// leaves the parser waiting for the rest.
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
      {"GET / HTTP/1.1\r\nHost: example\r\n\r\nGET /next", LHttpStep::kReady, 9, "/", "", "f", "", "Host", "example"},
      {"GET /viewhours?f=1&f=2&seluser=a%40b.c HTTP/1.1\r\n\r\n", LHttpStep::kReady, 0, "/viewhours", "viewhours",
       "seluser", "a@b.c", "Host", "192.0.2.7"},
      {"GET /viewhours?f=1&f=2 HTTP/1.1\r\n\r\n", LHttpStep::kReady, 0, "/viewhours", "viewhours", "f", "1", "", ""},
      {"POST /leaveform?f=query HTTP/1.1\r\nContent-Type: text/plain\r\nContent-Length: 18\r\n\r\nf=body&g=two+words&",
       LHttpStep::kReady, 1, "/leaveform", "leaveform", "f", "query", "Content-Length", "18"},
      {"POST /leaveform HTTP/1.1\r\nContent-Length: 18\r\n\r\nf=body&g=two+words&", LHttpStep::kReady, 1,
       "/leaveform", "leaveform", "g", "two words", "", ""},
      {"GET /x?q=1 HTTP/1.1\r\nContent-Length: " + std::to_string(hidden.size()) + "\r\n\r\n" + hidden,
       LHttpStep::kReady, 0, "/x", "x", "q", "1", "Host", "192.0.2.7"},
      {"GET /\xff\xfe\x80 HTTP/1.1\r\nX-B: \xc3\xa9\x01z\r\n\r\n", LHttpStep::kReady, 0, "/\xff\xfe\x80",
       "\xff\xfe\x80", "", "", "X-B", "\xc3\xa9\x01z"},
      {std::string("GET /a\0b HTTP/1.1\r\nA: 1\0B: 2\r\n\r\n", 32), LHttpStep::kReady, 0, "/a", "a", "", "", "A", "1"},
      {std::string("GET /a\0b HTTP/1.1\r\nA: 1\0B: 2\r\n\r\n", 32), LHttpStep::kReady, 0, "/a", "a", "", "", "B", ""},
      {"GET /x HT", LHttpStep::kHeaderLine, 0, "/x", "", "", "", "", ""},
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
  // The first request above, in full.
  const LHttpRequestParser first = Parse(cases[0].raw);
  const LHttpRequest& r = first.Request();
  EXPECT_EQ(r.method + " " + r.url + " " + r.protocol, "GET / HTTP/1.1");
  EXPECT_EQ(r.versionMilli, 1100);
  EXPECT_TRUE(r.keepAlive);
  EXPECT_EQ(Parse(cases[3].raw).Request().contentLength, 18);
  EXPECT_EQ(Parse(cases[5].raw).Request().params.Size(), 1u);
  EXPECT_EQ(Parse(cases[7].raw).Request().versionMilli, 0);
  EXPECT_EQ(Parse("GET /x HT").Request().protocol, "HT");
}

// Only GET and POST in their exact spelling (501); a path that climbs or does
// not start with "/" is not found (404); no header is read after either.
TEST_F(RequestParserTest, RefusedRequestLines) {
  const std::string notImplemented = "HTTP/1.1 501 Not Implemented\r\nConnection: close\r\nX-Content-Type-Options: nosniff\r\n\r\n";
  const std::string notFound = "HTTP/1.1 404 Not Found\r\nConnection: close\r\nX-Content-Type-Options: nosniff\r\n\r\n";
  const std::pair<const char*, const std::string&> cases[] = {
      {"get / HTTP/1.1", notImplemented},  {"Get / HTTP/1.1", notImplemented},  {"PUT / HTTP/1.1", notImplemented},
      {"HEAD / HTTP/1.1", notImplemented}, {"GETX / HTTP/1.1", notImplemented}, {"", notImplemented},
      {"   ", notImplemented},             {"GET /a/../etc/passwd HTTP/1.1", notFound},
      {"GET /%2e%2e/x HTTP/1.1", notFound}, {"GET /%2E.%2F HTTP/1.1", notFound}, {"GET /a..b HTTP/1.1", notFound},
      {"GET x HTTP/1.1", notFound},        {"GET * HTTP/1.1", notFound},        {"GET", notFound},
      {"GET ?a=/ HTTP/1.1", notFound},     {"GET /.%00.x HTTP/1.1", notFound},
  };
  for (const auto& [line, answer] : cases) {
    LHttpRequestParser p = MakeParser();
    EXPECT_EQ(p.OnRequestLine(line), LHttpStep::kReject) << line;
    EXPECT_EQ(p.RejectText(), answer) << line;
    EXPECT_EQ(p.OnHeaderLine(""), LHttpStep::kReject);
  }
}

TEST_F(RequestParserTest, PathIsDecodedAndCut) {
  LHttpRequestParser p = MakeParser();
  ASSERT_EQ(p.OnRequestLine("GET  /help/a+b%2Fc%00d.html?x=1  HTTP/1.0 extra"),
            LHttpStep::kHeaderLine);
  EXPECT_EQ(p.Request().path, "/help/a b/cd.html");
  EXPECT_EQ(p.Request().url, "/help/a+b%2Fc%00d.html?x=1");
  EXPECT_EQ(p.Request().protocol, "HTTP/1.0");
  p.OnHeaderLine("");
  EXPECT_EQ(p.Request().pageName, "help/a b/cd.html");
}

TEST_F(RequestParserTest, LongRequestLineStillWorks) {
  // Received through the line reader, the line itself is cut at 259 bytes,
  // which takes the protocol with it.
  const std::string url = "/" + std::string(395, 'a');
  LHttpRequestParser received = Parse("GET " + url + " HTTP/1.1\r\n\r\n");
  ASSERT_EQ(received.Step(), LHttpStep::kReady);
  EXPECT_EQ(received.Request().url, url.substr(0, 255));
  EXPECT_EQ(received.Request().protocol, "");
  EXPECT_FALSE(received.Request().keepAlive);

  // Handed over whole, each token is cut at 259 bytes.
  LHttpRequestParser direct = MakeParser();
  ASSERT_EQ(direct.OnRequestLine("GET " + url + " HTTP/1.1"), LHttpStep::kHeaderLine);
  EXPECT_EQ(direct.Request().url, url.substr(0, 259));
  EXPECT_EQ(direct.Request().pageName.size(), 0u);  // set with the headers
  direct.OnHeaderLine("");
  EXPECT_EQ(direct.Request().pageName, std::string(258, 'a'));

  // A query string longer than the token keeps only what fits.
  LHttpRequestParser query = MakeParser();
  query.OnRequestLine("GET /?v=" + std::string(300, 'q') + " HTTP/1.1");
  EXPECT_EQ(std::string(query.Request().params.GetParm("v")), std::string(259 - 4, 'q'));
}

TEST_F(RequestParserTest, HttpVersionIsAnExactDecimalFraction) {
  const std::pair<const char*, long long> cases[] = {
      {"HTTP/1.1", 1100},  {"HTTP/1.10", 1100}, {"HTTP/1.0999", 1099}, {"HTTP/1.05", 1050},
      {"HTTP/1.0", 1000},  {"HTTP/2", 2000},    {"HTTP/.5", 500},      {"X/1.1/2.0", 1100},
      {"HTTP/-1.1", -1100}, {"HTTP/", 0},       {"HTTP/x", 0},         {"HTTP1.1", 0},
      {"HTTP/99999999999999999999.9", 1000000000000 + 900}};
  for (const auto& [protocol, milli] : cases) EXPECT_EQ(LHttpVersionMilli(protocol), milli) << protocol;
}

TEST_F(RequestParserTest, KeepAliveOnlyForGetOfHttp11WithoutClose) {
  const auto keep = [this](const std::string& requestLine, const std::string& headers) {
    LHttpRequestParser p = Parse(requestLine + "\r\n" + headers + "\r\n");
    EXPECT_EQ(p.Step(), LHttpStep::kReady) << requestLine;
    return p.Request().keepAlive;
  };
  const struct {
    const char* line;
    const char* headers;
    bool keep;
  } cases[] = {{"GET /s.css HTTP/1.1", "", true},
               {"GET /s.css HTTP/1.1", "Connection: keep-alive\r\n", true},
               {"GET /s.css HTTP/1.10", "", true},
               {"GET /s.css HTTP/2.0", "", true},
               {"GET /s.css HTTP/1.1", "Connection: Close\r\n", false},
               {"GET /s.css HTTP/1.1", "connection: CLOSE\r\n", false},
               {"GET /s.css HTTP/1.1", "CONNECTION: Keep-Alive ,  close \r\n", false},
               {"GET /s.css HTTP/1.1", "Connection: Keep-Alive\r\n", true},
               {"GET /s.css HTTP/1.1", "Connection: closed, unclose\r\n", true},  // tokens, not text
               {"GET /s.css HTTP/1.1", "Connection: close\r\n", false},
               {"GET /s.css HTTP/1.1", "Connection: keep-alive, close\r\n", false},
               {"GET /s.css HTTP/1.0", "", false},
               {"GET /s.css HTTP/1.09", "", false},
               {"GET /s.css", "", false},
               {"POST /s.css HTTP/1.1", "", false}};
  for (const auto& c : cases) EXPECT_EQ(keep(c.line, c.headers), c.keep) << c.line << " " << c.headers;
}

TEST_F(RequestParserTest, HeaderLinesSplitAtTheFirstColon) {
  LHttpRequestParser p = MakeParser();
  p.OnRequestLine("GET / HTTP/1.1");
  for (const char* line : {"Accept:  \t text/html", "X Y : a:b", "Empty:", "no colon here",
                           "Repeated: 1", "Repeated: 2", "Cr: one\rtwo", ":nameless"}) {
    EXPECT_EQ(p.OnHeaderLine(line), LHttpStep::kHeaderLine);
  }
  const LHashTable& h = p.Request().headers;
  EXPECT_STREQ(h.GetParm("Accept"), "text/html");
  EXPECT_STREQ(h.GetParm("X Y "), "a:b");
  EXPECT_TRUE(h.TestExists("Empty"));
  EXPECT_STREQ(h.GetParm("Repeated"), "2");
  EXPECT_STREQ(h.GetParm("Cr"), "one");
  EXPECT_STREQ(h.GetParm(""), "nameless");
  EXPECT_FALSE(h.TestExists("no colon here"));
  EXPECT_EQ(h.Size(), 6u);
}

TEST_F(RequestParserTest, LongHeaderValuesAreCut) {
  std::string name;
  std::string value;
  ASSERT_TRUE(LSplitHeaderLine("N: " + std::string(300, 'v'), name, value));
  EXPECT_EQ(value, std::string(259, 'v'));
  ASSERT_TRUE(LSplitHeaderLine(std::string(300, 'n') + ":v", name, value));
  EXPECT_EQ(name, std::string(259, 'n'));

  LHttpRequestParser p = Parse("GET / HTTP/1.1\r\nReferer: " + std::string(400, 'r') +
                               "\r\nHost: h\r\n\r\n");
  ASSERT_EQ(p.Step(), LHttpStep::kReady);
  EXPECT_EQ(std::string(p.Request().headers.GetParm("Referer")), std::string(250, 'r'));
  EXPECT_STREQ(p.Request().headers.GetParm("Host"), "h");
}

// Every header the server reads is found whatever the case of its name, as
// proxies and HTTP/2 front ends send them; values keep their case. A missing
// or empty Host is this machine.
TEST_F(RequestParserTest, HeaderNamesInAnyCaseAndMissingHostIsThisMachine) {
  const char* const names[] = {"Host", "Cookie", "Content-Length", "Connection", "Origin", "Referer",
                               "If-None-Match", "If-Modified-Since", "Accept-Encoding", "X-Other"};
  const auto spellings = [](std::string name) {
    std::string lower = name;
    std::string upper = name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return std::vector<std::string>{name, lower, upper};
  };
  for (const char* name : names) {
    for (const std::string& sent : spellings(name)) {
      const std::string value = std::string(name) == "Content-Length" ? "3"
                                : std::string(name) == "Connection" ? "Close"
                                : std::string(name) == "Cookie"     ? "sess=AbC"
                                                                     : "Va=Lue";
      LHttpRequestParser p = Parse("GET /x HTTP/1.1\r\n" + sent + ": " + value + "\r\n\r\nabc");
      ASSERT_EQ(p.Step(), LHttpStep::kReady) << sent;
      const LHttpRequest& r = p.Request();
      for (const std::string& asked : spellings(name)) {
        EXPECT_EQ(r.headers.GetParm(asked), value) << sent << " asked as " << asked;
      }
      EXPECT_EQ(r.contentLength, std::string(name) == "Content-Length" ? 3 : 0) << sent;
      EXPECT_EQ(r.keepAlive, std::string(name) != "Connection") << sent;
      EXPECT_EQ(std::string(r.cookies.GetParm("sess")), std::string(name) == "Cookie" ? "AbC" : "") << sent;
    }
  }
  for (const char* framing : {"transfer-encoding: chunked", "TRANSFER-ENCODING: chunked",
                              "content-length: 3\r\nContent-Length: 4"}) {
    EXPECT_EQ(Parse(std::string("POST /x HTTP/1.1\r\n") + framing + "\r\n\r\n").Step(), LHttpStep::kReject)
        << framing;
  }
  // One header however it is spelt: the last line wins, as for a repeat.
  LHttpRequestParser twice = Parse("GET / HTTP/1.1\r\nhost: first\r\nHOST: second\r\n\r\n");
  EXPECT_STREQ(twice.Request().headers.GetParm("Host"), "second");
  EXPECT_EQ(twice.Request().headers.Size(), 1u);

  LHttpRequestParser proper =
      Parse("GET / HTTP/1.1\r\nCookie: sess=abc; theme=two+words\r\n\r\n");
  EXPECT_STREQ(proper.Request().cookies.GetParm("sess"), "abc");
  EXPECT_STREQ(proper.Request().cookies.GetParm("theme"), "two words");
  LHttpRequestParser missing = Parse("GET / HTTP/1.1\r\n\r\n");
  EXPECT_STREQ(missing.Request().headers.GetParm("Host"), "192.0.2.7");
  LHttpRequestParser empty = Parse("GET / HTTP/1.1\r\nHost:   \r\n\r\n");
  EXPECT_STREQ(empty.Request().headers.GetParm("Host"), "192.0.2.7");
  EXPECT_EQ(hostAsked_, 3 * 9 + 3 + 3);

  LHttpRequestParser none{std::function<std::string()>()};
  LHttpFeedRequest(none, "GET / HTTP/1.1\r\n\r\n");
  EXPECT_STREQ(none.Request().headers.GetParm("Host"), "0.0.0.0");
}

TEST_F(RequestParserTest, ContentLengthLimit) {
  LHttpRequestParser max = Parse("POST /x HTTP/1.1\r\nContent-Length: 1000000\r\n\r\n");
  EXPECT_EQ(max.Step(), LHttpStep::kBody);
  EXPECT_EQ(max.BodyLength(), 1000000u);
  for (const char* tooLong : {"POST /x HTTP/1.1\r\nContent-Length: 1000001\r\n\r\n",
                              "POST /x HTTP/1.1\r\nContent-Length: 99999999999999999999999\r\n\r\n",
                              "GET / HTTP/1.1\r\nContent-Length: 5000000\r\n\r\n"}) {
    LHttpRequestParser p = Parse(tooLong);
    EXPECT_EQ(p.Step(), LHttpStep::kReject) << tooLong;
    EXPECT_STREQ(p.RejectText(), "HTTP/1.1 500 Content Length Too Long\r\nConnection: close\r\n"
                                 "X-Content-Type-Options: nosniff\r\n\r\n");
  }
}

// The body's end must be certain: every Content-Length header, in any case of
// its name, must be a plain number and all must agree, and no
// Transfer-Encoding may come; otherwise the request is refused without an
// answer, and the connection ends.
TEST_F(RequestParserTest, ContentLengthsMustBeNumbersThatAgree) {
  const std::pair<const char*, int> cases[] = {  // headers, body length (-1: refused)
      {"", 0},
      {"Content-Length: 0\r\n", 0},
      {"Content-Length: 7\r\n", 7},
      {"Content-Length:\t007 \t\r\n", 7},
      {"content-length: 7\r\n", 7},
      {"Content-Length: 7\r\nCONTENT-LENGTH: 7\r\n", 7},
      {"Content-Length: 7\r\nContent-Length: 8\r\n", -1},
      {"Content-Length: 7\r\ncontent-length: 0\r\n", -1},
      {"Content-Length: 0\r\nContent-Length: 7\r\n", -1},
      {"Content-Length: 7\r\nContent-Length: \r\n", -1},
      {"Content-Length:\r\n", -1},
      {"Content-Length: -5\r\n", -1},
      {"Content-Length: +5\r\n", -1},
      {"Content-Length: abc\r\n", -1},
      {"Content-Length: 5abc\r\n", -1},
      {"Content-Length: 0x10\r\n", -1},
      {"Content-Length: 1 2\r\n", -1},
      {"Content-Length: 7, 7\r\n", -1},
      {"Content-Length : 7\r\n", 0},  // another header's name, kept as it is
      {"Transfer-Encoding: chunked\r\n", -1},
      {"Content-Length: 7\r\ntransfer-encoding: identity\r\n", -1},
  };
  for (const char* method : {"POST", "GET"}) {
    for (const auto& [headers, length] : cases) {
      const std::string raw = std::string(method) + " /x HTTP/1.1\r\n" + headers + "\r\n";
      LHttpRequestParser p = Parse(raw);
      if (length < 0) {
        EXPECT_EQ(p.Step(), LHttpStep::kReject) << raw;
        EXPECT_STREQ(p.RejectText(), "") << raw;
      } else {
        EXPECT_EQ(p.Step(), length > 0 ? LHttpStep::kBody : LHttpStep::kReady) << raw;
        EXPECT_EQ(p.BodyLength(), static_cast<std::size_t>(length)) << raw;
      }
    }
  }
}

// A GET's body is consumed, so that it cannot pass for the next request, but
// it never becomes form fields.
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
  EXPECT_EQ(p.BeginBody(), LHttpStep::kRequestLine);
  EXPECT_EQ(p.OnBody("a=1"), LHttpStep::kRequestLine);
  EXPECT_STREQ(p.RejectText(), "");
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
